#include "EmfPlayer.h"

#include <cmath>

namespace emfdoc {
namespace detail {
namespace {

std::optional<Object> stockObject(uint32_t index)
{
    Object o;
    switch (index) {
    case U_WHITE_BRUSH:
    case U_LTGRAY_BRUSH:
    case U_GRAY_BRUSH:
    case U_DKGRAY_BRUSH:
    case U_BLACK_BRUSH: {
        static const QColor colours[] = {Qt::white, QColor(0xc0, 0xc0, 0xc0), QColor(0x80, 0x80, 0x80),
                                         QColor(0x40, 0x40, 0x40), Qt::black};
        o.kind = Object::Brush;
        o.brush = BrushDef{U_BS_SOLID, colours[index - U_WHITE_BRUSH], 0};
        return o;
    }
    case U_NULL_BRUSH:
        o.kind = Object::Brush;
        o.brush = BrushDef{U_BS_NULL, Qt::black, 0};
        return o;
    case U_WHITE_PEN:
    case U_BLACK_PEN:
    case U_NULL_PEN:
        o.kind = Object::Pen;
        o.pen = PenDef{index == U_NULL_PEN ? uint32_t{U_PS_NULL} : uint32_t{U_PS_SOLID}, 0,
                       index == U_WHITE_PEN ? Qt::white : Qt::black};
        return o;
    case U_OEM_FIXED_FONT:
    case U_ANSI_FIXED_FONT:
    case U_ANSI_VAR_FONT:
    case U_SYSTEM_FONT:
    case U_DEVICE_DEFAULT_FONT:
    case U_SYSTEM_FIXED_FONT:
    case U_DEFAULT_GUI_FONT:
        o.kind = Object::Font;
        return o;
    default:
        return std::nullopt; // palettes and unknown stock objects change nothing
    }
}

// The area a GDI clip rectangle covers: its right and bottom edges lie outside.
QRegion clipArea(const QRect& r)
{
    const auto clamp = [](int v) { return std::clamp(v, -kMaxClipCoordinate, kMaxClipCoordinate); };
    const QRect box(QPoint(clamp(r.left()), clamp(r.top())), QPoint(clamp(r.right()) - 1, clamp(r.bottom()) - 1));
    return box.isValid() ? QRegion(box) : QRegion();
}

} // namespace

Player::Player(const Document& doc, QPainter* painter, const QRectF& target)
    : m_doc(doc), m_painter(painter), m_target(target), m_bounds(doc.bounds),
      m_sx(target.width() / (double(doc.bounds.right()) - doc.bounds.left() + 1.0)),
      m_sy(target.height() / (double(doc.bounds.bottom()) - doc.bounds.top() + 1.0)),
      m_callerClips(painter->hasClipping()), m_callerClip(m_callerClips ? painter->clipPath() : QPainterPath()),
      m_objects(doc.handleCount)
{}

void Player::run()
{
    applyClip();
    for (const Command& command : m_doc.commands)
        std::visit(*this, command);
}

void Player::store(uint32_t index, Object object)
{
    if (index < m_objects.size())
        m_objects[index] = std::move(object);
}

void Player::operator()(const SelectObject& c)
{
    std::optional<Object> object;
    if (c.index & U_STOCK_OBJECT)
        object = stockObject(c.index);
    else if (c.index < m_objects.size() && m_objects[c.index].kind != Object::None)
        object = m_objects[c.index];
    if (!object)
        return; // as GDI does, a failed select leaves the selection alone
    switch (object->kind) {
    case Object::Pen:
        m_dc.pen = object->pen;
        break;
    case Object::Brush:
        m_dc.brush = object->brush;
        break;
    case Object::Font:
        m_dc.font = object->font;
        break;
    case Object::None:
        break;
    }
}

void Player::operator()(const DeleteObject& c)
{
    if (c.index < m_objects.size())
        m_objects[c.index] = Object{};
}

void Player::operator()(const SetMode& c)
{
    switch (c.what) {
    case SetMode::TextAlign:
        m_dc.textAlign = c.value;
        break;
    case SetMode::BackgroundMode:
        m_dc.backgroundMode = c.value;
        break;
    case SetMode::FillMode:
        m_dc.fillRule = c.value == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    }
}

void Player::operator()(const SetColour& c)
{
    (c.what == SetColour::Text ? m_dc.textColour : m_dc.backgroundColour) = c.colour;
}

QPen Player::qtPen() const
{
    const uint32_t style = m_dc.pen.style & U_PS_STYLE_MASK;
    if (style == U_PS_NULL)
        return Qt::NoPen;
    QPen pen(m_dc.pen.colour);
    // Width 0 is one device pixel, which is what Qt's cosmetic width 0 draws.
    pen.setWidthF(m_dc.pen.width <= 0 ? 0.0 : std::min(m_dc.pen.width * std::sqrt(m_sx * m_sy), kMaxPenWidth));
    switch (style) {
    case U_PS_DASH:
        pen.setStyle(Qt::DashLine);
        break;
    case U_PS_DOT:
    case U_PS_ALTERNATE:
    case U_PS_USERSTYLE:
        pen.setStyle(Qt::DotLine);
        break;
    case U_PS_DASHDOT:
        pen.setStyle(Qt::DashDotLine);
        break;
    case U_PS_DASHDOTDOT:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        break;
    }
    switch (m_dc.pen.style & U_PS_ENDCAP_MASK) {
    case U_PS_ENDCAP_SQUARE:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case U_PS_ENDCAP_FLAT:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (m_dc.pen.style & U_PS_JOIN_MASK) {
    case U_PS_JOIN_BEVEL:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case U_PS_JOIN_MITER:
        pen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QBrush Player::qtBrush() const
{
    switch (m_dc.brush.style) {
    case U_BS_SOLID:
        return QBrush(m_dc.brush.colour);
    case U_BS_HATCHED:
        switch (m_dc.brush.hatch) {
        case U_HS_HORIZONTAL:
            return QBrush(m_dc.brush.colour, Qt::HorPattern);
        case U_HS_VERTICAL:
            return QBrush(m_dc.brush.colour, Qt::VerPattern);
        case U_HS_FDIAGONAL:
            return QBrush(m_dc.brush.colour, Qt::FDiagPattern);
        case U_HS_BDIAGONAL:
            return QBrush(m_dc.brush.colour, Qt::BDiagPattern);
        case U_HS_CROSS:
            return QBrush(m_dc.brush.colour, Qt::CrossPattern);
        case U_HS_DIAGCROSS:
            return QBrush(m_dc.brush.colour, Qt::DiagCrossPattern);
        default:
            return QBrush(m_dc.brush.colour);
        }
    default:
        return Qt::NoBrush; // hollow, and the bitmap brushes this player does not draw
    }
}

void Player::operator()(const Poly& c)
{
    QPolygonF all;
    all.reserve(static_cast<qsizetype>(c.points.size()));
    for (const QPoint& p : c.points)
        all.append(map(p));
    const bool filled = c.kind == Poly::Polygon || c.kind == Poly::PolyPolygon;
    m_painter->setPen(qtPen());
    m_painter->setBrush(filled ? qtBrush() : QBrush(Qt::NoBrush));
    QPainterPath figures;
    figures.setFillRule(m_dc.fillRule);
    qsizetype start = 0;
    for (const uint32_t count : c.counts) {
        const QPolygonF figure = all.mid(start, count);
        start += count;
        if (figure.size() < 2)
            continue;
        if (!filled)
            m_painter->drawPolyline(figure);
        else if (c.kind == Poly::Polygon)
            m_painter->drawPolygon(figure, m_dc.fillRule);
        else {
            figures.addPolygon(figure);
            figures.closeSubpath();
        }
    }
    if (!figures.isEmpty())
        m_painter->drawPath(figures);
}

void Player::operator()(const Rectangle& c)
{
    m_painter->setPen(qtPen());
    m_painter->setBrush(qtBrush());
    m_painter->drawRect(mapRect(c.box).normalized());
}

QRegion Player::wholePicture() const
{
    return QRegion(m_bounds);
}

void Player::operator()(const IntersectClip& c)
{
    m_dc.clip = m_dc.clip.value_or(wholePicture()).intersected(clipArea(c.box));
    applyClip();
}

void Player::operator()(const SelectClipRegion& c)
{
    QRegion region;
    for (const QRect& r : c.rects)
        region += clipArea(r);
    if (c.mode == U_RGN_COPY) {
        m_dc.clip = c.rects.empty() ? std::nullopt : std::optional<QRegion>(region);
    } else {
        const QRegion current = m_dc.clip.value_or(wholePicture());
        switch (c.mode) {
        case U_RGN_AND:
            m_dc.clip = current.intersected(region);
            break;
        case U_RGN_OR:
            m_dc.clip = current.united(region);
            break;
        case U_RGN_XOR:
            m_dc.clip = current.xored(region);
            break;
        case U_RGN_DIFF:
            m_dc.clip = current.subtracted(region);
            break;
        default:
            return;
        }
    }
    applyClip();
}

void Player::applyClip()
{
    // Everything stays within the target and within whatever clip the caller
    // had set; the file's own clip narrows that further.
    if (m_callerClips) {
        m_painter->setClipPath(m_callerClip, Qt::ReplaceClip);
        m_painter->setClipRect(m_target, Qt::IntersectClip);
    } else {
        m_painter->setClipRect(m_target, Qt::ReplaceClip);
    }
    if (!m_dc.clip)
        return;
    if (m_dc.clip->rectCount() == 1) {
        m_painter->setClipRect(
            mapRect(QRect(m_dc.clip->boundingRect().topLeft(), m_dc.clip->boundingRect().bottomRight() + QPoint(1, 1))),
            Qt::IntersectClip);
        return;
    }
    QPainterPath path;
    for (const QRect& r : *m_dc.clip)
        path.addRect(mapRect(QRect(r.topLeft(), r.bottomRight() + QPoint(1, 1))));
    m_painter->setClipPath(path, Qt::IntersectClip);
}

void Player::operator()(const SaveState&)
{
    if (m_saved.size() < kMaxSavedStates)
        m_saved.push_back(m_dc);
}

void Player::operator()(const RestoreState& c)
{
    // Negative: that many levels back; positive: the n-th saved state.
    std::size_t keep = 0;
    if (c.relative < 0 && std::size_t(-int64_t(c.relative)) <= m_saved.size())
        keep = m_saved.size() - std::size_t(-int64_t(c.relative));
    else if (c.relative > 0 && std::size_t(c.relative) <= m_saved.size())
        keep = std::size_t(c.relative) - 1;
    else
        return;
    m_dc = m_saved[keep];
    m_saved.resize(keep);
    applyClip();
}

} // namespace detail

void play(const Document& document, QPainter* painter, const QRectF& target)
{
    painter->save();
    detail::Player(document, painter, target).run();
    painter->restore();
}

} // namespace emfdoc
