#include "EmfDocument.h"
#include "EmfRecordChecks.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace emfdoc {
namespace {

using detail::libraryChecks;
using detail::penIsWhole;
using detail::Record;
using detail::textCoreIsWhole;

bool readPoints(const Record& r, uint64_t offset, uint64_t count, bool wide, std::vector<QPoint>* out)
{
    const uint64_t each = wide ? 2 * sizeof(int32_t) : 2 * sizeof(int16_t);
    if (count > r.size() / each || !r.has(offset, count * each))
        return false;
    out->reserve(count);
    for (uint64_t i = 0; i < count; ++i, offset += each) {
        if (wide)
            out->emplace_back(r.get<int32_t>(offset), r.get<int32_t>(offset + 4));
        else
            out->emplace_back(r.get<int16_t>(offset), r.get<int16_t>(offset + 2));
    }
    return true;
}

class Parser
{
public:
    explicit Parser(Document* document) : m_doc(document) {}

    // Empty when the record is good; otherwise why it is not.
    QString header(const Record& r, qint64 fileSize);
    QString decode(uint32_t type, const Record& r);

private:
    QString poly(const Record& r, Poly::Kind kind, bool wide);
    QString polyPoly(const Record& r, Poly::Kind kind, bool wide);
    QString text(const Record& r);
    QString extPen(const Record& r);
    QString font(const Record& r);
    QString clipRegion(const Record& r);
    bool validIndex(uint32_t index) const { return index > 0 && index < m_doc->handleCount; }
    QString badIndex(uint32_t index) const
    {
        return QStringLiteral("object index %1 is outside the object table of %2 entries")
            .arg(index)
            .arg(m_doc->handleCount);
    }

    Document* m_doc;
};

QString Parser::header(const Record& r, qint64 fileSize)
{
    if (r.size() < U_SIZE_EMRHEADER_MIN)
        return QStringLiteral("the header record is too short");
    if (r.get<uint32_t>(offsetof(U_EMRHEADER, dSignature)) != U_ENHMETA_SIGNATURE)
        return QStringLiteral("the header lacks the enhanced metafile signature");
    if (r.get<uint32_t>(offsetof(U_EMRHEADER, nBytes)) > static_cast<quint64>(fileSize))
        return QStringLiteral("the file is shorter than its header states (truncated)");
    const QRect bounds = r.rect(offsetof(U_EMRHEADER, rclBounds));
    if (bounds.right() < bounds.left() || bounds.bottom() < bounds.top())
        return QStringLiteral("the picture has no area");
    // Far beyond any real picture; keeps the picture's width within an int.
    constexpr int limit = 1 << 30;
    if (std::max({std::abs(int64_t{bounds.left()}), std::abs(int64_t{bounds.top()}), std::abs(int64_t{bounds.right()}),
                  std::abs(int64_t{bounds.bottom()})}) > limit)
        return QStringLiteral("the picture's bounds are out of range");
    m_doc->bounds = bounds;
    m_doc->handleCount = r.get<uint16_t>(offsetof(U_EMRHEADER, nHandles));
    return {};
}

QString Parser::poly(const Record& r, Poly::Kind kind, bool wide)
{
    // The 16- and 32-bit forms share the layout up to the points.
    if (!r.has(0, U_SIZE_EMRPOLYLINE16))
        return QStringLiteral("the record is too short");
    Poly p{kind, {}, {}};
    const auto count = r.get<uint32_t>(offsetof(U_EMRPOLYLINE16, cpts));
    if (!readPoints(r, offsetof(U_EMRPOLYLINE16, apts), count, wide, &p.points))
        return QStringLiteral("its %1 points run past the record").arg(count);
    p.counts.push_back(count);
    m_doc->commands.emplace_back(std::move(p));
    return {};
}

QString Parser::polyPoly(const Record& r, Poly::Kind kind, bool wide)
{
    if (!r.has(0, U_SIZE_EMRPOLYPOLYLINE16))
        return QStringLiteral("the record is too short");
    const auto figures = r.get<uint32_t>(offsetof(U_EMRPOLYPOLYLINE16, nPolys));
    const auto total = r.get<uint32_t>(offsetof(U_EMRPOLYPOLYLINE16, cpts));
    const uint64_t countsAt = offsetof(U_EMRPOLYPOLYLINE16, aPolyCounts);
    if (figures > r.size() / 4 || !r.has(countsAt, uint64_t{figures} * 4))
        return QStringLiteral("its %1 figure counts run past the record").arg(figures);
    Poly p{kind, {}, {}};
    uint64_t sum = 0;
    for (uint32_t i = 0; i < figures; ++i) {
        p.counts.push_back(r.get<uint32_t>(countsAt + uint64_t{i} * 4));
        sum += p.counts.back();
    }
    if (sum != total)
        return QStringLiteral("its figure counts add up to %1 points, not the %2 it states").arg(sum).arg(total);
    if (!readPoints(r, countsAt + uint64_t{figures} * 4, total, wide, &p.points))
        return QStringLiteral("its %1 points run past the record").arg(total);
    m_doc->commands.emplace_back(std::move(p));
    return {};
}

QString Parser::text(const Record& r)
{
    constexpr uint64_t t = offsetof(U_EMREXTTEXTOUTW, emrtext);
    Text cmd;
    cmd.origin = QPoint(r.get<int32_t>(t + offsetof(U_EMRTEXT, ptlReference)),
                        r.get<int32_t>(t + offsetof(U_EMRTEXT, ptlReference) + 4));
    const auto chars = r.get<uint32_t>(t + offsetof(U_EMRTEXT, nChars));
    const auto stringAt = r.get<uint32_t>(t + offsetof(U_EMRTEXT, offString));
    cmd.options = r.get<uint32_t>(t + offsetof(U_EMRTEXT, fOptions));
    uint64_t dxOffsetAt = sizeof(U_EMREXTTEXTOUTW);
    if (!(cmd.options & U_ETO_NO_RECT)) {
        cmd.box = r.rect(dxOffsetAt);
        dxOffsetAt += sizeof(U_RECTL);
    }
    const auto dxAt = r.get<uint32_t>(dxOffsetAt);
    const uint64_t dxPerChar = (cmd.options & U_ETO_PDY) ? 2 : 1;
    if (!r.has(stringAt, uint64_t{chars} * 2))
        return QStringLiteral("its %1 characters run past the record").arg(chars);
    if (chars > 0 && !r.has(dxAt, uint64_t{chars} * 4 * dxPerChar))
        return QStringLiteral("its character advances run past the record");
    cmd.text.resize(chars);
    std::memcpy(cmd.text.data(), r.data() + stringAt, uint64_t{chars} * 2);
    cmd.advances.reserve(chars);
    for (uint64_t i = 0; i < chars; ++i)
        cmd.advances.push_back(r.get<int32_t>(dxAt + i * 4 * dxPerChar));
    m_doc->commands.emplace_back(std::move(cmd));
    return {};
}

QString Parser::extPen(const Record& r)
{
    const auto index = r.get<uint32_t>(offsetof(U_EMREXTCREATEPEN, ihPen));
    if (!validIndex(index))
        return badIndex(index);
    constexpr uint64_t elp = offsetof(U_EMREXTCREATEPEN, elp);
    PenDef pen;
    pen.style = r.get<uint32_t>(elp + offsetof(U_EXTLOGPEN, elpPenStyle));
    pen.colour = r.colour(elp + offsetof(U_EXTLOGPEN, elpColor));
    // A geometric pen is as wide as it says in logical units; a cosmetic one is
    // one device pixel whatever it says.
    if ((pen.style & U_PS_TYPE_MASK) == U_PS_GEOMETRIC)
        pen.width =
            static_cast<int32_t>(std::min<uint32_t>(r.get<uint32_t>(elp + offsetof(U_EXTLOGPEN, elpWidth)), INT32_MAX));
    // A hollow brush strokes nothing. Hatched and bitmap brushes are drawn in
    // the pen's colour; the player does not fill lines with patterns.
    if (r.get<uint32_t>(elp + offsetof(U_EXTLOGPEN, elpBrushStyle)) == U_BS_NULL)
        pen.style = (pen.style & ~uint32_t{U_PS_STYLE_MASK}) | U_PS_NULL;
    m_doc->commands.emplace_back(CreatePen{index, pen});
    return {};
}

QString Parser::font(const Record& r)
{
    if (!r.has(0, U_SIZE_EMREXTCREATEFONTINDIRECTW_LOGFONT))
        return QStringLiteral("the record is too short");
    const auto index = r.get<uint32_t>(offsetof(U_EMREXTCREATEFONTINDIRECTW, ihFont));
    if (!validIndex(index))
        return badIndex(index);
    constexpr uint64_t lf = offsetof(U_EMREXTCREATEFONTINDIRECTW, elfw) + offsetof(U_LOGFONT_PANOSE, elfLogFont);
    FontDef f;
    f.height = r.get<int32_t>(lf + offsetof(U_LOGFONT, lfHeight));
    f.escapement = r.get<int32_t>(lf + offsetof(U_LOGFONT, lfEscapement));
    f.weight = r.get<int32_t>(lf + offsetof(U_LOGFONT, lfWeight));
    f.italic = r.get<uint8_t>(lf + offsetof(U_LOGFONT, lfItalic)) != 0;
    f.underline = r.get<uint8_t>(lf + offsetof(U_LOGFONT, lfUnderline)) != 0;
    f.strikeOut = r.get<uint8_t>(lf + offsetof(U_LOGFONT, lfStrikeOut)) != 0;
    for (int i = 0; i < U_LF_FACESIZE; ++i) {
        const auto unit = r.get<uint16_t>(lf + offsetof(U_LOGFONT, lfFaceName) + 2 * i);
        if (unit == 0)
            break;
        f.face.append(QChar(unit));
    }
    m_doc->commands.emplace_back(CreateFont{index, f});
    return {};
}

QString Parser::clipRegion(const Record& r)
{
    if (!r.has(0, U_SIZE_EMREXTSELECTCLIPRGN))
        return QStringLiteral("the record is too short");
    const auto dataSize = r.get<uint32_t>(offsetof(U_EMREXTSELECTCLIPRGN, cbRgnData));
    SelectClipRegion cmd{r.get<uint32_t>(offsetof(U_EMREXTSELECTCLIPRGN, iMode)), {}};
    const uint64_t rgn = offsetof(U_EMREXTSELECTCLIPRGN, RgnData);
    if (dataSize > 0) {
        if (dataSize < sizeof(U_RGNDATAHEADER) || !r.has(rgn, dataSize))
            return QStringLiteral("its region data runs past the record");
        const auto count = r.get<uint32_t>(rgn + offsetof(U_RGNDATAHEADER, nCount));
        const uint64_t rectsAt = rgn + sizeof(U_RGNDATAHEADER);
        if (uint64_t{count} * sizeof(U_RECTL) > dataSize - sizeof(U_RGNDATAHEADER))
            return QStringLiteral("its %1 region rectangles run past the record").arg(count);
        // Uniting thousands of rectangles costs more than the clip is worth.
        if (count > 4096)
            cmd.rects.push_back(r.rect(rgn + offsetof(U_RGNDATAHEADER, rclBounds)));
        else
            for (uint64_t i = 0; i < count; ++i)
                cmd.rects.push_back(r.rect(rectsAt + i * sizeof(U_RECTL)));
    }
    m_doc->commands.emplace_back(std::move(cmd));
    return {};
}

// NOLINTNEXTLINE(readability-function-size): one case per record type, each with the length check it needs
QString Parser::decode(uint32_t type, const Record& r)
{
    const auto need = [&r](uint64_t bytes) { return r.has(0, bytes); };
    QString tooShort = QStringLiteral("the record is too short");
    switch (type) {
    case U_EMR_POLYLINE16:
        return poly(r, Poly::Polyline, false);
    case U_EMR_POLYGON16:
        return poly(r, Poly::Polygon, false);
    case U_EMR_POLYLINE:
        return poly(r, Poly::Polyline, true);
    case U_EMR_POLYGON:
        return poly(r, Poly::Polygon, true);
    case U_EMR_POLYPOLYLINE16:
        return polyPoly(r, Poly::PolyPolyline, false);
    case U_EMR_POLYPOLYGON16:
        return polyPoly(r, Poly::PolyPolygon, false);
    case U_EMR_POLYPOLYLINE:
        return polyPoly(r, Poly::PolyPolyline, true);
    case U_EMR_POLYPOLYGON:
        return polyPoly(r, Poly::PolyPolygon, true);
    case U_EMR_EXTTEXTOUTW:
        return text(r);
    case U_EMR_EXTCREATEFONTINDIRECTW:
        return font(r);
    case U_EMR_EXTSELECTCLIPRGN:
        return clipRegion(r);
    case U_EMR_RECTANGLE:
        if (!need(U_SIZE_EMRRECTANGLE))
            return tooShort;
        m_doc->commands.emplace_back(Rectangle{r.rect(offsetof(U_EMRRECTANGLE, rclBox))});
        return {};
    case U_EMR_CREATEPEN: {
        if (!need(U_SIZE_EMRCREATEPEN))
            return tooShort;
        const auto index = r.get<uint32_t>(offsetof(U_EMRCREATEPEN, ihPen));
        if (!validIndex(index))
            return badIndex(index);
        constexpr uint64_t lp = offsetof(U_EMRCREATEPEN, lopn);
        m_doc->commands.emplace_back(CreatePen{index, PenDef{r.get<uint32_t>(lp + offsetof(U_LOGPEN, lopnStyle)),
                                                             r.get<int32_t>(lp + offsetof(U_LOGPEN, lopnWidth)),
                                                             r.colour(lp + offsetof(U_LOGPEN, lopnColor))}});
        return {};
    }
    case U_EMR_EXTCREATEPEN:
        return extPen(r);
    case U_EMR_CREATEBRUSHINDIRECT: {
        if (!need(U_SIZE_EMRCREATEBRUSHINDIRECT))
            return tooShort;
        const auto index = r.get<uint32_t>(offsetof(U_EMRCREATEBRUSHINDIRECT, ihBrush));
        if (!validIndex(index))
            return badIndex(index);
        constexpr uint64_t lb = offsetof(U_EMRCREATEBRUSHINDIRECT, lb);
        m_doc->commands.emplace_back(CreateBrush{index, BrushDef{r.get<uint32_t>(lb + offsetof(U_LOGBRUSH, lbStyle)),
                                                                 r.colour(lb + offsetof(U_LOGBRUSH, lbColor)),
                                                                 r.get<uint32_t>(lb + offsetof(U_LOGBRUSH, lbHatch))}});
        return {};
    }
    case U_EMR_SELECTOBJECT:
    case U_EMR_DELETEOBJECT: {
        if (!need(U_SIZE_EMRSELECTOBJECT))
            return tooShort;
        const auto index = r.get<uint32_t>(offsetof(U_EMRSELECTOBJECT, ihObject));
        if (index & U_STOCK_OBJECT) {
            // Stock objects cannot be deleted; a delete of one is ignored.
            if (type == U_EMR_SELECTOBJECT)
                m_doc->commands.emplace_back(SelectObject{index});
            return {};
        }
        if (!validIndex(index))
            return badIndex(index);
        if (type == U_EMR_SELECTOBJECT)
            m_doc->commands.emplace_back(SelectObject{index});
        else
            m_doc->commands.emplace_back(DeleteObject{index});
        return {};
    }
    case U_EMR_SETTEXTALIGN:
    case U_EMR_SETBKMODE:
    case U_EMR_SETPOLYFILLMODE: {
        if (!need(U_SIZE_EMRSETTEXTALIGN))
            return tooShort;
        const SetMode::What what = type == U_EMR_SETTEXTALIGN ? SetMode::TextAlign
                                   : type == U_EMR_SETBKMODE  ? SetMode::BackgroundMode
                                                              : SetMode::FillMode;
        m_doc->commands.emplace_back(SetMode{what, r.get<uint32_t>(offsetof(U_EMRSETTEXTALIGN, iMode))});
        return {};
    }
    case U_EMR_SETTEXTCOLOR:
    case U_EMR_SETBKCOLOR:
        if (!need(U_SIZE_EMRSETTEXTCOLOR))
            return tooShort;
        m_doc->commands.emplace_back(SetColour{type == U_EMR_SETTEXTCOLOR ? SetColour::Text : SetColour::Background,
                                               r.colour(offsetof(U_EMRSETTEXTCOLOR, crColor))});
        return {};
    case U_EMR_INTERSECTCLIPRECT:
        if (!need(U_SIZE_EMRINTERSECTCLIPRECT))
            return tooShort;
        m_doc->commands.emplace_back(IntersectClip{r.rect(offsetof(U_EMRINTERSECTCLIPRECT, rclClip))});
        return {};
    case U_EMR_SAVEDC:
        m_doc->commands.emplace_back(SaveState{});
        return {};
    case U_EMR_RESTOREDC:
        if (!need(U_SIZE_EMRRESTOREDC))
            return tooShort;
        m_doc->commands.emplace_back(RestoreState{r.get<int32_t>(offsetof(U_EMRRESTOREDC, iRelative))});
        return {};
    default:
        return {}; // not drawn by this player
    }
}

IoResult failure(const QString& why)
{
    return IoResult::failure(why.toStdString());
}

IoResult damaged(uint32_t type, qint64 offset, const QString& why)
{
    return failure(QStringLiteral("damaged record of type %1 at byte %2: %3").arg(type).arg(offset).arg(why));
}

} // namespace

IoResult parse(const QByteArray& bytes, Document* document)
{
    *document = Document{};
    const qint64 total = bytes.size();
    if (total > kMaxFileBytes)
        return failure(QStringLiteral("the file is larger than %1 bytes").arg(kMaxFileBytes));
    if (total < static_cast<qint64>(U_SIZE_EMRHEADER_MIN))
        return failure(QStringLiteral("the file is too short to be an enhanced metafile"));
    // libUEMF reads records through structure pointers, which needs the
    // alignment a fresh allocation gives.
    const QByteArray aligned = reinterpret_cast<quintptr>(bytes.constData()) % alignof(uint32_t) == 0
                                   ? bytes
                                   : QByteArray(bytes.constData(), bytes.size());
    const char* base = aligned.constData();
    Parser parser(document);

    qint64 offset = 0;
    for (bool first = true;; first = false) {
        if (total - offset < static_cast<qint64>(sizeof(U_EMR)))
            return failure(offset == total ? QStringLiteral("the file has no end-of-file record (truncated)")
                                           : QStringLiteral("the file ends inside a record (truncated)"));
        uint32_t type = 0;
        uint32_t size = 0;
        std::memcpy(&type, base + offset, sizeof type);
        std::memcpy(&size, base + offset + 4, sizeof size);
        if (size < sizeof(U_EMR) || size % 4 != 0)
            return damaged(type, offset, QStringLiteral("impossible record size of %1 bytes").arg(size));
        if (size > total - offset)
            return damaged(type, offset, QStringLiteral("the record runs past the end of the file (truncated)"));
        const Record record(base + offset, size);

        if (first != (type == U_EMR_HEADER))
            return first ? failure(QStringLiteral("not an enhanced metafile (no header record)"))
                         : damaged(type, offset, QStringLiteral("a second header"));
        if ((type == U_EMR_EXTTEXTOUTW || type == U_EMR_EXTTEXTOUTA) && !textCoreIsWhole(record))
            return damaged(type, offset, QStringLiteral("the record is too short"));
        if (type == U_EMR_EXTCREATEPEN && !penIsWhole(record))
            return damaged(type, offset, QStringLiteral("its pen runs past the record"));
        if (libraryChecks(type) && !U_emf_record_safe(record.data()))
            return damaged(type, offset, QStringLiteral("its contents run past the record"));

        const QString why = first ? parser.header(record, total) : parser.decode(type, record);
        if (!why.isEmpty())
            return first ? failure(why) : damaged(type, offset, why);
        if (type == U_EMR_EOF)
            return IoResult::success(); // anything after the end is not part of the picture
        offset += size;
    }
}

} // namespace emfdoc
