#pragma once

#include "common/IoResult.h"

#include <QByteArray>
#include <QRect>
#include <QRectF>
#include <QString>

#include <memory>

class QPainter;
namespace emfdoc {
struct Document;
}

// An enhanced metafile read back for drawing: what EmfPaintDevice writes
// (extended pens, and the plain pens of files written before, brushes, fonts,
// stock objects, polylines, polygons and their multi-figure forms in 16 and 32
// bits, rectangles, Unicode text, rectangular and region clips, saved and
// restored states, text alignment, colours and background mode). Records of
// other kinds are skipped.
//
// Loading checks the whole file before anything can be drawn: every record
// must be whole (at least 8 bytes, a multiple of 4, within the file) and pass
// libUEMF's record check and this reader's own field checks, object indices
// must lie within the header's handle count, and the file must end with an
// end-of-file record. A file that fails is refused as a whole, with the reason,
// so a damaged or hostile file is never half drawn; files over 16 MiB are
// refused unread.
class EmfPicture
{
public:
    EmfPicture();
    ~EmfPicture();
    EmfPicture(const EmfPicture&);
    EmfPicture& operator=(const EmfPicture&);

    // Replaces the picture with the one in bytes (any bytes are safe to pass).
    // On failure the picture is null and the result says why.
    IoResult load(const QByteArray& bytes);
    // As load(), with the file's contents; a file that cannot be read is
    // reported with the system's reason.
    IoResult loadFile(const QString& path);

    bool isNull() const { return !m_document; }
    // The header's bounds in logical units (inclusive); empty when null.
    QRect bounds() const;

    // Draws the picture with its bounds stretched to fill target, in the
    // painter's current coordinates, without keeping the aspect ratio. Nothing
    // is drawn outside target, and the painter's state is left as it was.
    // Returns false, drawing nothing, for a null picture, an inactive painter
    // or a target without area.
    bool play(QPainter* painter, const QRectF& target) const;

private:
    std::shared_ptr<const emfdoc::Document> m_document;
};
