#include "EmfRecordWriter.h"

#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Enough for the pens of twenty series, the axes, the grid and a few fonts,
// while keeping the file's handle table small.
constexpr std::size_t kMaxLiveObjects = 48;

U_COLORREF colourRef(uint32_t colour)
{
    return colorref3_set(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

U_RECTL rectL(const EmfRect& r)
{
    return U_RECTL{r.left, r.top, r.right, r.bottom};
}

U_RECTL boundsOf(const std::vector<QPoint>& points)
{
    U_RECTL b{std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(),
              std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()};
    for (const QPoint& p : points) {
        b.left = std::min<int32_t>(b.left, p.x());
        b.top = std::min<int32_t>(b.top, p.y());
        b.right = std::max<int32_t>(b.right, p.x());
        b.bottom = std::max<int32_t>(b.bottom, p.y());
    }
    return b;
}

bool fits16(const std::vector<QPoint>& points)
{
    return std::all_of(points.begin(), points.end(), [](const QPoint& p) {
        return p.x() >= std::numeric_limits<int16_t>::min() && p.x() <= std::numeric_limits<int16_t>::max() &&
               p.y() >= std::numeric_limits<int16_t>::min() && p.y() <= std::numeric_limits<int16_t>::max();
    });
}

std::vector<U_POINT16> points16(const std::vector<QPoint>& points)
{
    std::vector<U_POINT16> out;
    out.reserve(points.size());
    for (const QPoint& p : points)
        out.push_back(point16_set(static_cast<int16_t>(p.x()), static_cast<int16_t>(p.y())));
    return out;
}

std::vector<U_POINTL> points32(const std::vector<QPoint>& points)
{
    std::vector<U_POINTL> out;
    out.reserve(points.size());
    for (const QPoint& p : points)
        out.push_back(point32_set(p.x(), p.y()));
    return out;
}

bool isOurObject(uint32_t handle)
{
    return handle != 0 && !(handle & U_STOCK_OBJECT);
}

} // namespace

EmfRecordWriter::EmfRecordWriter() = default;

EmfRecordWriter::~EmfRecordWriter()
{
    if (m_handles)
        emf_htable_free(&m_handles);
}

void EmfRecordWriter::start(QSize pixelSize, int unitsPerPixel)
{
    m_out.clear();
    m_records = 0;
    m_cache.clear();
    m_useCounter = 0;
    m_selectedPen = m_selectedBrush = m_selectedFont = 0;
    m_clip = EmfClip{};
    m_textColour = 0;         // black, the device context's default
    m_fillMode = U_ALTERNATE; // the device context's default
    m_error.clear();
    if (m_handles)
        emf_htable_free(&m_handles);
    if (emf_htable_create(64, 32, &m_handles) != 0) {
        m_handles = nullptr;
        fail(QStringLiteral("out of memory"));
        return;
    }
    if (pixelSize.isEmpty()) {
        fail(QStringLiteral("the picture has no area"));
        return;
    }

    // 96 dpi: the frame, in hundredths of a millimetre, gives the picture the
    // physical size it has on screen.
    const int32_t w = pixelSize.width() * unitsPerPixel;
    const int32_t h = pixelSize.height() * unitsPerPixel;
    const U_RECTL bounds{0, 0, w - 1, h - 1};
    const U_RECTL frame{0, 0, static_cast<int32_t>(std::lround(pixelSize.width() * 2540.0 / 96.0)) - 1,
                        static_cast<int32_t>(std::lround(pixelSize.height() * 2540.0 / 96.0)) - 1};
    const U_SIZEL device{w, h};
    // A picture's pixel size is an int, so its millimetres fit one as well.
    const U_SIZEL millimetres{
        std::max<int32_t>(1, static_cast<int32_t>(std::lround(pixelSize.width() * 25.4 / 96.0))),
        std::max<int32_t>(1, static_cast<int32_t>(std::lround(pixelSize.height() * 25.4 / 96.0)))};
    char* header = U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, device, millimetres, 0);
    if (header) {
        // Whole millimetres are too coarse for a reader that scales by the
        // reference device; the micrometre field carries the exact size.
        auto* fields = reinterpret_cast<U_EMRHEADER*>(header);
        fields->szlMicrometers.cx = static_cast<int32_t>(std::lround(pixelSize.width() * 25400.0 / 96.0));
        fields->szlMicrometers.cy = static_cast<int32_t>(std::lround(pixelSize.height() * 25400.0 / 96.0));
    }
    append(header);
    // Qt draws text without a background and hands over the baseline origin.
    append(U_EMRSETBKMODE_set(U_TRANSPARENT));
    append(U_EMRSETTEXTALIGN_set(U_TA_BASELINE | U_TA_LEFT));
}

QByteArray EmfRecordWriter::finish()
{
    if (!failed()) {
        if (isOurObject(m_selectedPen))
            select(U_BLACK_PEN, m_selectedPen);
        if (isOurObject(m_selectedBrush))
            select(U_WHITE_BRUSH, m_selectedBrush);
        if (isOurObject(m_selectedFont))
            select(U_DEVICE_DEFAULT_FONT, m_selectedFont);
        for (CachedObject& object : m_cache) {
            uint32_t handle = object.handle;
            append(deleteobject_set(&handle, m_handles));
        }
        m_cache.clear();
        EMFTRACK track{}; // only consulted for the file length; nSizeLast must equal the record size
        append(U_EMREOF_set(0, nullptr, &track));
    }
    if (failed() || m_out.size() < static_cast<qsizetype>(sizeof(U_EMRHEADER))) {
        if (!failed())
            fail(QStringLiteral("no header was written"));
        m_out.clear();
        return {};
    }
    auto* header = reinterpret_cast<U_EMRHEADER*>(m_out.data());
    header->nBytes = static_cast<uint32_t>(m_out.size());
    header->nRecords = m_records;
    header->nHandles = static_cast<uint16_t>(m_handles->peak + 1);
    header->nPalEntries = 0;
    QByteArray out;
    out.swap(m_out);
    return out;
}

void EmfRecordWriter::fail(const QString& why)
{
    if (m_error.isEmpty())
        m_error = why;
}

void EmfRecordWriter::append(char* record)
{
    if (!record) {
        fail(QStringLiteral("out of memory"));
        return;
    }
    uint32_t size = 0;
    std::memcpy(&size, record + 4, sizeof size);
    if (!failed()) {
        if (static_cast<quint64>(m_out.size()) + size > std::numeric_limits<uint32_t>::max())
            fail(QStringLiteral("the picture is too large for an enhanced metafile"));
        else {
            m_out.append(record, static_cast<qsizetype>(size));
            ++m_records;
        }
    }
    std::free(record);
}

void EmfRecordWriter::select(uint32_t handle, uint32_t& selected)
{
    if (failed() || selected == handle)
        return;
    append(selectobject_set(handle, m_handles));
    selected = handle;
}

void EmfRecordWriter::usePen(const EmfPen& pen)
{
    select(pen.null ? U_NULL_PEN : objectFor(Kind::Pen, &pen, nullptr, nullptr), m_selectedPen);
}

void EmfRecordWriter::useBrush(const EmfBrush& brush)
{
    select(brush.null ? U_NULL_BRUSH : objectFor(Kind::Brush, nullptr, &brush, nullptr), m_selectedBrush);
}

void EmfRecordWriter::useFont(const EmfFont& font)
{
    select(objectFor(Kind::Font, nullptr, nullptr, &font), m_selectedFont);
}

uint32_t EmfRecordWriter::objectFor(Kind kind, const EmfPen* pen, const EmfBrush* brush, const EmfFont* font)
{
    if (failed())
        return 0;
    for (CachedObject& object : m_cache) {
        if (object.kind != kind)
            continue;
        if ((pen && object.pen == *pen) || (brush && object.brush == *brush) || (font && object.font == *font)) {
            object.lastUse = ++m_useCounter;
            return object.handle;
        }
    }
    if (m_cache.size() >= kMaxLiveObjects)
        evictOne();
    CachedObject object{kind, pen ? *pen : EmfPen{}, brush ? *brush : EmfBrush{}, font ? *font : EmfFont{},
                        0,    ++m_useCounter};
    append(createRecord(object, &object.handle));
    if (failed())
        return 0;
    m_cache.push_back(object);
    return object.handle;
}

char* EmfRecordWriter::createRecord(const CachedObject& object, uint32_t* handle)
{
    switch (object.kind) {
    case Kind::Pen: {
        // An extended pen: the plain pen record has no way to say geometric,
        // and readers that keep to the format draw it one pixel wide.
        PU_EXTLOGPEN pen = extlogpen_set(object.pen.style, static_cast<uint32_t>(object.pen.width), U_BS_SOLID,
                                         colourRef(object.pen.colour), 0, 0, nullptr);
        if (!pen)
            return nullptr;
        char* record = extcreatepen_set(handle, m_handles, nullptr, 0, nullptr, pen);
        std::free(pen);
        return record;
    }
    case Kind::Brush: {
        const U_LOGBRUSH brush =
            logbrush_set(object.brush.style, colourRef(object.brush.colour), static_cast<int32_t>(object.brush.hatch));
        return createbrushindirect_set(handle, m_handles, brush);
    }
    case Kind::Font: {
        uint16_t face[U_LF_FACESIZE] = {};
        const QString name = object.font.face.left(U_LF_FACESIZE - 1);
        std::memcpy(face, name.utf16(), static_cast<std::size_t>(name.size()) * sizeof(uint16_t));
        const U_LOGFONT font =
            logfont_set(object.font.height, 0, object.font.escapement, object.font.escapement, object.font.weight,
                        object.font.italic ? 1 : 0, 0, 0, U_DEFAULT_CHARSET, U_OUT_TT_PRECIS, U_CLIP_DEFAULT_PRECIS,
                        U_DEFAULT_QUALITY, U_DEFAULT_PITCH | U_FF_DONTCARE, face);
        return extcreatefontindirectw_set(handle, m_handles, reinterpret_cast<const char*>(&font), nullptr);
    }
    }
    return nullptr;
}

void EmfRecordWriter::evictOne()
{
    auto victim = m_cache.end();
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
        const bool selected =
            it->handle == m_selectedPen || it->handle == m_selectedBrush || it->handle == m_selectedFont;
        if (!selected && (victim == m_cache.end() || it->lastUse < victim->lastUse))
            victim = it;
    }
    if (victim == m_cache.end())
        return;
    uint32_t handle = victim->handle;
    append(deleteobject_set(&handle, m_handles));
    m_cache.erase(victim);
}

void EmfRecordWriter::useClip(const EmfClip& clip)
{
    if (failed() || clip == m_clip)
        return;
    // A region-less RGN_COPY resets the clip; every reader honours that,
    // whereas some ignore the rectangles of a region that replaces the clip.
    auto* reset = static_cast<char*>(std::malloc(U_SIZE_EMREXTSELECTCLIPRGN));
    if (reset) {
        const uint32_t fields[4] = {U_EMR_EXTSELECTCLIPRGN, U_SIZE_EMREXTSELECTCLIPRGN, 0, U_RGN_COPY};
        std::memcpy(reset, fields, sizeof fields);
    }
    append(reset);
    if (clip.enabled)
        append(U_EMRINTERSECTCLIPRECT_set(rectL(clip.rect)));
    m_clip = clip;
}

void EmfRecordWriter::useTextColour(uint32_t colour)
{
    if (failed() || colour == m_textColour)
        return;
    append(U_EMRSETTEXTCOLOR_set(colourRef(colour)));
    m_textColour = colour;
}

void EmfRecordWriter::useFillMode(uint32_t mode)
{
    if (failed() || mode == m_fillMode)
        return;
    append(U_EMRSETPOLYFILLMODE_set(mode));
    m_fillMode = mode;
}

void EmfRecordWriter::writePoly(uint32_t kind16, uint32_t kind32, const std::vector<QPoint>& points)
{
    if (failed() || points.size() < 2)
        return;
    const U_RECTL bounds = boundsOf(points);
    const auto count = static_cast<uint32_t>(points.size());
    if (fits16(points)) {
        const std::vector<U_POINT16> p = points16(points);
        append(kind16 == U_EMR_POLYGON16 ? U_EMRPOLYGON16_set(bounds, count, p.data())
                                         : U_EMRPOLYLINE16_set(bounds, count, p.data()));
    } else {
        const std::vector<U_POINTL> p = points32(points);
        append(kind32 == U_EMR_POLYGON ? U_EMRPOLYGON_set(bounds, count, p.data())
                                       : U_EMRPOLYLINE_set(bounds, count, p.data()));
    }
}

void EmfRecordWriter::writePolyPoly(uint32_t kind16, uint32_t kind32, const std::vector<QPoint>& points,
                                    const std::vector<uint32_t>& counts)
{
    if (failed() || points.size() < 2 || counts.empty())
        return;
    const U_RECTL bounds = boundsOf(points);
    const auto total = static_cast<uint32_t>(points.size());
    const auto polys = static_cast<uint32_t>(counts.size());
    if (fits16(points)) {
        const std::vector<U_POINT16> p = points16(points);
        append(kind16 == U_EMR_POLYPOLYGON16 ? U_EMRPOLYPOLYGON16_set(bounds, polys, counts.data(), total, p.data())
                                             : U_EMRPOLYPOLYLINE16_set(bounds, polys, counts.data(), total, p.data()));
    } else {
        const std::vector<U_POINTL> p = points32(points);
        append(kind32 == U_EMR_POLYPOLYGON ? U_EMRPOLYPOLYGON_set(bounds, polys, counts.data(), total, p.data())
                                           : U_EMRPOLYPOLYLINE_set(bounds, polys, counts.data(), total, p.data()));
    }
}

void EmfRecordWriter::polyline(const std::vector<QPoint>& points)
{
    writePoly(U_EMR_POLYLINE16, U_EMR_POLYLINE, points);
}

void EmfRecordWriter::polygon(const std::vector<QPoint>& points)
{
    writePoly(U_EMR_POLYGON16, U_EMR_POLYGON, points);
}

void EmfRecordWriter::polyPolyline(const std::vector<QPoint>& points, const std::vector<uint32_t>& counts)
{
    writePolyPoly(U_EMR_POLYPOLYLINE16, U_EMR_POLYPOLYLINE, points, counts);
}

void EmfRecordWriter::polyPolygon(const std::vector<QPoint>& points, const std::vector<uint32_t>& counts)
{
    writePolyPoly(U_EMR_POLYPOLYGON16, U_EMR_POLYPOLYGON, points, counts);
}

void EmfRecordWriter::rectangle(const EmfRect& rect)
{
    if (!failed())
        append(U_EMRRECTANGLE_set(rectL(rect)));
}

void EmfRecordWriter::text(QPoint origin, const QString& text, const std::vector<int32_t>& advances,
                           const EmfRect& bounds)
{
    if (failed() || text.isEmpty() || advances.size() != static_cast<std::size_t>(text.size()))
        return;
    std::vector<uint16_t> units(text.utf16(), text.utf16() + text.size());
    std::vector<uint32_t> dx(advances.begin(), advances.end());
    char* emrText = emrtext_set(point32_set(origin.x(), origin.y()), static_cast<U_NUM_STR>(units.size()), 2,
                                units.data(), U_ETO_NONE, U_RECTL{0, 0, -1, -1}, dx.data());
    if (!emrText) {
        fail(QStringLiteral("out of memory"));
        return;
    }
    append(U_EMREXTTEXTOUTW_set(rectL(bounds), U_GM_COMPATIBLE, 0.0f, 0.0f, reinterpret_cast<PU_EMRTEXT>(emrText)));
    std::free(emrText);
}
