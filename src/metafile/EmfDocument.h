#pragma once

#include "common/IoResult.h"

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

class QPainter;
class QRectF;

// The records of an enhanced metafile that the player draws, decoded and
// checked once when the file is loaded. Playing never touches the file's bytes
// again, so nothing a file says can make the player read outside it.
namespace emfdoc {

struct PenDef
{
    uint32_t style = 0; // PS_* style, end cap and join bits
    int32_t width = 0;  // logical units; 0 is one device pixel (a cosmetic pen)
    QColor colour;
};

struct BrushDef
{
    uint32_t style = 0; // BS_*
    QColor colour;
    uint32_t hatch = 0;
};

struct FontDef
{
    int32_t height = 0;     // < 0 em height, > 0 cell height, 0 default
    int32_t escapement = 0; // tenths of a degree, counter-clockwise
    int32_t weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

struct Poly
{
    enum Kind { Polyline, Polygon, PolyPolyline, PolyPolygon };
    Kind kind = Polyline;
    std::vector<QPoint> points;
    std::vector<uint32_t> counts; // one per figure; sums to points.size()
};

struct Rectangle
{
    QRect box; // QRect(QPoint(left, top), QPoint(right, bottom)) as the record states it
};

struct Text
{
    QPoint origin;
    QString text;
    std::vector<int32_t> advances; // one per UTF-16 unit
    uint32_t options = 0;          // ETO_*
    QRect box;                     // opaque or clip rectangle when the options ask for it
};

struct CreatePen
{
    uint32_t index;
    PenDef pen;
};
struct CreateBrush
{
    uint32_t index;
    BrushDef brush;
};
struct CreateFont
{
    uint32_t index;
    FontDef font;
};
struct SelectObject
{
    uint32_t index; // a table index or a stock object
};
struct DeleteObject
{
    uint32_t index;
};

struct SetMode
{
    enum What { TextAlign, BackgroundMode, FillMode };
    What what;
    uint32_t value;
};
struct SetColour
{
    enum What { Text, Background };
    What what;
    QColor colour;
};

struct IntersectClip
{
    QRect box; // right and bottom edges excluded, as GDI has it
};
struct SelectClipRegion
{
    uint32_t mode;            // RGN_*
    std::vector<QRect> rects; // empty with RGN_COPY: no clip
};

struct SaveState
{
};
struct RestoreState
{
    int32_t relative;
};

using Command = std::variant<Poly, Rectangle, Text, CreatePen, CreateBrush, CreateFont, SelectObject, DeleteObject,
                             SetMode, SetColour, IntersectClip, SelectClipRegion, SaveState, RestoreState>;

struct Document
{
    QRect bounds;             // the header's bounds, inclusive, in logical units
    uint32_t handleCount = 0; // object table size; index 0 is reserved
    std::vector<Command> commands;
};

// Files larger than this are refused before they are read: a chart takes tens
// of kilobytes, and every record costs memory once decoded.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

// Checks and decodes a whole file. Every record must be whole (at least 8
// bytes, a multiple of 4, within the file) and pass libUEMF's record check,
// object indices must lie within the header's handle count, and an end-of-file
// record must be present. Records the player does not draw are skipped.
IoResult parse(const QByteArray& bytes, Document* document);

// Draws the document onto painter, its bounds stretched to fill target.
void play(const Document& document, QPainter* painter, const QRectF& target);

} // namespace emfdoc
