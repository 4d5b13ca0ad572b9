#include "EmfPaintEngine.h"

#include "EmfQtStyle.h"
#include "metafile/EmfPaintDevice.h"

#include <uemf.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDpi = 96.0;
constexpr double kPi = 3.14159265358979323846;
// Far beyond any chart, and still leaves room in a 32-bit coordinate.
constexpr double kCoordinateLimit = 1.0e9;
// Keeps a joined polyline within one modest record.
constexpr std::size_t kMaxPolylinePoints = 16000;

int32_t toUnit(double pixels)
{
    return static_cast<int32_t>(
        std::llround(std::clamp(pixels * EmfPaintEngine::kUnitsPerPixel, -kCoordinateLimit, kCoordinateLimit)));
}

EmfRect unitRect(const QRectF& device)
{
    return EmfRect{toUnit(device.left()), toUnit(device.top()), toUnit(device.right()), toUnit(device.bottom())};
}

} // namespace

EmfPaintEngine::EmfPaintEngine(EmfPaintDevice* device) : QPaintEngine(AllFeatures), m_device(device) {}

bool EmfPaintEngine::begin(QPaintDevice*)
{
    m_writer.start(m_device->size(), kUnitsPerPixel);
    m_device->setResult({}, {}, 0);
    m_transformDirty = m_penDirty = m_brushDirty = m_clipDirty = true;
    m_pending = PendingLine{};
    m_droppedImages = 0;
    if (m_writer.failed()) {
        m_device->setResult({}, m_writer.error(), 0);
        return false;
    }
    return true;
}

bool EmfPaintEngine::end()
{
    flushPending();
    QByteArray data = m_writer.finish();
    const bool ok = !data.isEmpty();
    m_device->setResult(std::move(data), m_writer.error(), m_droppedImages);
    return ok;
}

void EmfPaintEngine::updateState(const QPaintEngineState& changed)
{
    // Converted lazily: QPainter changes its state far more often than it draws.
    const DirtyFlags flags = changed.state();
    if (flags & DirtyTransform)
        m_transformDirty = m_penDirty = true;
    if (flags & (DirtyPen | DirtyOpacity))
        m_penDirty = true;
    if (flags & (DirtyBrush | DirtyOpacity))
        m_brushDirty = true;
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled))
        m_clipDirty = true;
}

void EmfPaintEngine::refreshState()
{
    if (m_transformDirty) {
        m_transform = state->transform();
        m_scale = std::sqrt(std::abs(m_transform.determinant()));
        if (!std::isfinite(m_scale))
            m_scale = 1.0;
        m_transformDirty = false;
        m_clipDirty = true;
    }
    if (m_penDirty) {
        m_pen = toEmfPen(state->pen(), state->opacity(), m_scale * kUnitsPerPixel);
        m_penDirty = false;
    }
    if (m_brushDirty) {
        m_brush = toEmfBrush(state->brush(), state->opacity());
        m_brushDirty = false;
    }
    if (m_clipDirty) {
        m_clip = currentClip();
        m_clipDirty = false;
    }
}

EmfClip EmfPaintEngine::currentClip() const
{
    // The painter keeps the clip in device space; its bounding rectangle, mapped
    // back to the device, is what a metafile can state everywhere.
    const QPainter* p = painter();
    if (!p || !p->hasClipping())
        return {};
    return EmfClip{true, unitRect(m_transform.mapRect(p->clipBoundingRect()))};
}

bool EmfPaintEngine::toUnits(const QPointF& logical, QPoint* out) const
{
    return deviceToUnits(m_transform.map(logical), out);
}

bool EmfPaintEngine::deviceToUnits(const QPointF& device, QPoint* out)
{
    if (!std::isfinite(device.x()) || !std::isfinite(device.y()))
        return false;
    *out = QPoint(toUnit(device.x()), toUnit(device.y()));
    return true;
}

bool EmfPaintEngine::toUnits(const QPointF* points, int count, std::vector<QPoint>* out) const
{
    out->clear();
    out->reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        QPoint p;
        if (!toUnits(points[i], &p))
            return false;
        out->push_back(p);
    }
    return true;
}

void EmfPaintEngine::continueLine(const std::vector<QPoint>& points)
{
    if (points.size() < 2)
        return;
    const bool joins = !m_pending.points.empty() && m_pending.pen == m_pen && m_pending.clip == m_clip &&
                       m_pending.points.back() == points.front() &&
                       m_pending.points.size() + points.size() <= kMaxPolylinePoints;
    if (joins) {
        m_pending.points.insert(m_pending.points.end(), points.begin() + 1, points.end());
        return;
    }
    flushPending();
    m_pending.points = points;
    m_pending.pen = m_pen;
    m_pending.clip = m_clip;
}

void EmfPaintEngine::flushPending()
{
    if (m_pending.points.size() >= 2) {
        m_writer.useClip(m_pending.clip);
        m_writer.usePen(m_pending.pen);
        m_writer.polyline(m_pending.points);
    }
    m_pending.points.clear();
}

void EmfPaintEngine::prepareShape(const EmfPen& pen)
{
    m_writer.useClip(m_clip);
    m_writer.usePen(pen);
    m_writer.useBrush(m_brush);
}

void EmfPaintEngine::drawLines(const QLineF* lines, int lineCount)
{
    refreshState();
    if (m_pen.null)
        return;
    std::vector<QPoint> segment(2);
    for (int i = 0; i < lineCount; ++i) {
        if (toUnits(lines[i].p1(), &segment[0]) && toUnits(lines[i].p2(), &segment[1]))
            continueLine(segment);
    }
}

void EmfPaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode)
{
    refreshState();
    std::vector<QPoint> units;
    if (!toUnits(points, pointCount, &units))
        return;
    if (mode == PolylineMode) {
        if (!m_pen.null)
            continueLine(units);
        return;
    }
    flushPending();
    if (m_pen.null && m_brush.null)
        return;
    m_writer.useFillMode(mode == OddEvenMode ? U_ALTERNATE : U_WINDING);
    prepareShape(m_pen);
    m_writer.polygon(units);
}

void EmfPaintEngine::drawRects(const QRectF* rects, int rectCount)
{
    refreshState();
    flushPending();
    if (m_pen.null && m_brush.null)
        return;
    prepareShape(m_pen);
    const bool axisAligned = m_transform.type() <= QTransform::TxScale;
    for (int i = 0; i < rectCount; ++i) {
        if (axisAligned) {
            const QRectF device = m_transform.mapRect(rects[i].normalized());
            if (std::isfinite(device.left()) && std::isfinite(device.top()) && std::isfinite(device.right()) &&
                std::isfinite(device.bottom()))
                m_writer.rectangle(unitRect(device));
            continue;
        }
        const QPointF corners[4] = {rects[i].topLeft(), rects[i].topRight(), rects[i].bottomRight(),
                                    rects[i].bottomLeft()};
        std::vector<QPoint> units;
        if (toUnits(corners, 4, &units))
            m_writer.polygon(units);
    }
}

void EmfPaintEngine::drawPath(const QPainterPath& path)
{
    refreshState();
    flushPending();
    if (m_pen.null && m_brush.null)
        return;
    // Curves are flattened in device space, so that a scaled painter gets as
    // many points as the curve needs there; each subpath becomes one polygon
    // or polyline. The polygons are already mapped: the painter's transform
    // (a chart item's position, say) must not be applied to them again.
    std::vector<QPoint> points;
    std::vector<uint32_t> counts;
    bool allClosed = true;
    for (const QPolygonF& polygon : path.toSubpathPolygons(m_transform)) {
        if (polygon.size() < 2)
            continue;
        const std::size_t first = points.size();
        for (const QPointF& device : polygon) {
            QPoint unit;
            if (!deviceToUnits(device, &unit))
                return;
            points.push_back(unit);
        }
        allClosed = allClosed && polygon.isClosed();
        counts.push_back(static_cast<uint32_t>(points.size() - first));
    }
    if (counts.empty())
        return;
    if (!m_brush.null) {
        // A polygon closes itself when stroked, so open subpaths are filled
        // without a pen and stroked apart.
        m_writer.useFillMode(path.fillRule() == Qt::WindingFill ? U_WINDING : U_ALTERNATE);
        prepareShape(allClosed ? m_pen : EmfPen{});
        if (counts.size() == 1)
            m_writer.polygon(points);
        else
            m_writer.polyPolygon(points, counts);
        if (allClosed)
            return;
    }
    if (m_pen.null)
        return;
    m_writer.useClip(m_clip);
    m_writer.usePen(m_pen);
    if (counts.size() == 1)
        m_writer.polyline(points);
    else
        m_writer.polyPolyline(points, counts);
}

QString EmfPaintEngine::faceOf(const QFont& font)
{
    // The family that actually renders, so that a reader finds the same face.
    const QString key = font.key();
    if (key != m_lastFontKey) {
        m_lastFontKey = key;
        m_lastFace = QFontInfo(font).family();
    }
    return m_lastFace;
}

void EmfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem)
{
    refreshState();
    flushPending();
    const QString text = textItem.text();
    QPoint origin;
    if (text.isEmpty() || m_pen.null || !toUnits(p, &origin))
        return;

    const QFont font = textItem.font();
    const double pixelSize = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kDpi / 72.0;
    const double unitsPerLogical = m_scale * kUnitsPerPixel;
    EmfFont emfFont;
    // A negative height is the em height, which is what Qt's pixel size means;
    // a positive one would be the cell height and make the text smaller.
    emfFont.height = -std::max<int32_t>(1, toUnit(pixelSize * m_scale));
    const double degrees = -std::atan2(m_transform.m12(), m_transform.m11()) * 180.0 / kPi;
    emfFont.escapement = static_cast<int32_t>(std::lround(degrees * 10.0)) % 3600;
    if (emfFont.escapement < 0)
        emfFont.escapement += 3600;
    emfFont.weight = std::clamp(static_cast<int>(font.weight()), 100, 900);
    emfFont.italic = font.italic();
    emfFont.face = faceOf(font);

    // One advance per UTF-16 unit, from where each character starts in the
    // laid-out string; the second half of a surrogate pair advances by 0.
    const QFontMetricsF metrics(font, m_device);
    std::vector<int32_t> advances(static_cast<std::size_t>(text.size()), 0);
    int64_t previous = 0;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate())
            continue;
        const int64_t position = std::llround(metrics.horizontalAdvance(text, static_cast<int>(i)) * unitsPerLogical);
        advances[static_cast<std::size_t>(start)] = static_cast<int32_t>(position - previous);
        previous = position;
        start = i;
    }

    const QRectF box(p.x(), p.y() - textItem.ascent(), textItem.width(), textItem.ascent() + textItem.descent());
    m_writer.useClip(m_clip);
    m_writer.useFont(emfFont);
    m_writer.useTextColour(m_pen.colour);
    m_writer.text(origin, text, advances, unitRect(m_transform.mapRect(box)));
}

void EmfPaintEngine::drawPixmap(const QRectF&, const QPixmap&, const QRectF&)
{
    ++m_droppedImages;
}

void EmfPaintEngine::drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags)
{
    ++m_droppedImages;
}
