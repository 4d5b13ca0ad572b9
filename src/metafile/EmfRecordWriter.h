#pragma once

#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>

#include <uemf.h>

#include <cstdint>
#include <vector>

// GDI-level descriptions of the objects a record stream selects. Two equal
// descriptions share one object in the file.
struct EmfPen
{
    bool null = true;    // the stock null pen: nothing is stroked
    uint32_t style = 0;  // PS_GEOMETRIC with the PS_* style, end cap and join bits
    int32_t width = 0;   // logical units, at least 1
    uint32_t colour = 0; // 0x00BBGGRR
    bool operator==(const EmfPen&) const = default;
};

struct EmfBrush
{
    bool null = true;    // the stock null brush: nothing is filled
    uint32_t style = 0;  // BS_SOLID or BS_HATCHED
    uint32_t colour = 0; // 0x00BBGGRR
    uint32_t hatch = 0;  // HS_* when hatched
    bool operator==(const EmfBrush&) const = default;
};

struct EmfFont
{
    int32_t height = 0;     // negative: em height in logical units
    int32_t escapement = 0; // tenths of a degree, counter-clockwise
    int32_t weight = 400;
    bool italic = false;
    QString face; // at most 31 UTF-16 units are kept
    bool operator==(const EmfFont&) const = default;
};

// A rectangle as GDI records hold it, in logical units.
struct EmfRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const EmfRect&) const = default;
};

// The clip as the file states it: none, or one rectangle whose right and bottom
// edges lie outside it.
struct EmfClip
{
    bool enabled = false;
    EmfRect rect;
    bool operator==(const EmfClip&) const = default;
};

// Assembles EMF records with libUEMF into an in-memory file. It tracks what the
// file has selected (pen, brush, font, clip, colours, modes) and writes a
// record only when a drawing call needs something else. Pens, brushes and fonts
// are kept in a small cache of live objects so that switching back and forth
// between series costs one select record, not a create and a delete.
//
// libUEMF's own file tracker opens the target file at the start and writes into
// it as it goes, so a failure would leave a half-written file; the records are
// therefore collected here and the finished bytes handed back, for the caller to
// write atomically.
class EmfRecordWriter
{
public:
    EmfRecordWriter();
    ~EmfRecordWriter();
    EmfRecordWriter(const EmfRecordWriter&) = delete;
    EmfRecordWriter& operator=(const EmfRecordWriter&) = delete;

    // Starts a picture of pixelSize pixels at 96 dpi, written with
    // unitsPerPixel logical units per pixel.
    void start(QSize pixelSize, int unitsPerPixel);
    // Deselects and deletes every object, appends the end-of-file record and
    // completes the header. Returns the file, or an empty array on failure.
    QByteArray finish();

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

    void usePen(const EmfPen& pen);
    void useBrush(const EmfBrush& brush);
    void useFont(const EmfFont& font);
    void useClip(const EmfClip& clip);
    void useTextColour(uint32_t colour);
    void useFillMode(uint32_t mode); // U_ALTERNATE or U_WINDING

    // Points in logical units; the 16-bit record forms are used whenever every
    // coordinate fits.
    void polyline(const std::vector<QPoint>& points);
    void polygon(const std::vector<QPoint>& points);
    void polyPolyline(const std::vector<QPoint>& points, const std::vector<uint32_t>& counts);
    void polyPolygon(const std::vector<QPoint>& points, const std::vector<uint32_t>& counts);
    void rectangle(const EmfRect& rect);
    // Text at a baseline origin with one advance per UTF-16 unit.
    void text(QPoint origin, const QString& text, const std::vector<int32_t>& advances, const EmfRect& bounds);

private:
    enum class Kind { Pen, Brush, Font };
    struct CachedObject
    {
        Kind kind;
        EmfPen pen;
        EmfBrush brush;
        EmfFont font;
        uint32_t handle = 0;
        uint64_t lastUse = 0;
    };

    void append(char* record);
    void fail(const QString& why);
    uint32_t objectFor(Kind kind, const EmfPen* pen, const EmfBrush* brush, const EmfFont* font);
    char* createRecord(const CachedObject& object, uint32_t* handle);
    void evictOne();
    void select(uint32_t handle, uint32_t& selected);
    void writePoly(uint32_t kind16, uint32_t kind32, const std::vector<QPoint>& points);
    void writePolyPoly(uint32_t kind16, uint32_t kind32, const std::vector<QPoint>& points,
                       const std::vector<uint32_t>& counts);

    QByteArray m_out;
    uint32_t m_records = 0;
    EMFHANDLES* m_handles = nullptr;
    std::vector<CachedObject> m_cache;
    uint64_t m_useCounter = 0;
    uint32_t m_selectedPen = 0;
    uint32_t m_selectedBrush = 0;
    uint32_t m_selectedFont = 0;
    EmfClip m_clip;
    uint32_t m_textColour = 0;
    uint32_t m_fillMode = 0;
    QString m_error;
};
