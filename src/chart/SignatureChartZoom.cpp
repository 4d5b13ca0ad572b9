// Zooming the signature chart: a rectangle dragged with the left mouse button
// becomes the new view, reached in a few animation steps; a right click, or a
// rectangle dragged toward the top left, goes back to the full view.
#include "chart/SignatureChart.h"

#include <QCategoryAxis>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTimer>

namespace {

// A drag shorter than this either way is a click, not a rectangle.
constexpr int MinDragPixels = 4;

} // namespace

SignatureChart::View SignatureChart::currentView() const
{
    return {m_bottom->min(), m_bottom->max(), m_left->min(), m_left->max()};
}

SignatureChart::View SignatureChart::fullView() const
{
    const AxisScale s = loadScale();
    return {m_bottomMin, m_bottomMax, s.lo, s.hi};
}

void SignatureChart::showView(const View& v)
{
    // Each axis range set on its own recomputes every curve's geometry; a zoom
    // into the matching rectangle of the plot moves both axes in one go, which
    // halves the cost of an animation step.
    const View now = currentView();
    const QRectF plot = m_chart->plotArea();
    if (plot.isEmpty() || !(now.x1 > now.x0) || !(now.y1 > now.y0)) {
        setAxisRange(m_bottom, v.x0, v.x1);
        setAxisRange(m_left, v.y0, v.y1);
        return;
    }
    const double sx = plot.width() / (now.x1 - now.x0);
    const double sy = plot.height() / (now.y1 - now.y0);
    m_chart->zoomIn(QRectF(QPointF(plot.left() + (v.x0 - now.x0) * sx, plot.top() + (now.y1 - v.y1) * sy),
                           QPointF(plot.left() + (v.x1 - now.x0) * sx, plot.top() + (now.y1 - v.y0) * sy)));
}

bool SignatureChart::isZoomAnimating() const
{
    return m_zoomTimer->isActive();
}

void SignatureChart::zoomTo(double xMin, double xMax, double yMin, double yMax)
{
    if (xMin > xMax)
        std::swap(xMin, xMax);
    if (yMin > yMax)
        std::swap(yMin, yMax);
    if (!(xMax > xMin) || !(yMax > yMin))
        return;
    m_zoomed = true;
    startAnimation({xMin, xMax, yMin, yMax}, true);
}

void SignatureChart::resetZoom()
{
    if (!m_zoomed)
        return;
    startAnimation(fullView(), false);
}

void SignatureChart::startAnimation(const View& target, bool zoomedAtEnd)
{
    m_zoomFrom = currentView();
    m_zoomTarget = target;
    m_zoomedAtEnd = zoomedAtEnd;
    m_zoomStep = 0;
    m_zoomTimer->start();
}

void SignatureChart::animationStep()
{
    ++m_zoomStep;
    const double t = static_cast<double>(m_zoomStep) / ZoomSteps;
    auto at = [t](double from, double to) { return from + (to - from) * t; };
    if (m_zoomStep < ZoomSteps) {
        showView({at(m_zoomFrom.x0, m_zoomTarget.x0), at(m_zoomFrom.x1, m_zoomTarget.x1),
                  at(m_zoomFrom.y0, m_zoomTarget.y0), at(m_zoomFrom.y1, m_zoomTarget.y1)});
        return;
    }
    m_zoomTimer->stop();
    if (m_zoomedAtEnd) {
        showView(m_zoomTarget);
    } else {
        // Back at the full view the left axis follows the curves again.
        m_zoomed = false;
        setAxisRange(m_bottom, m_bottomMin, m_bottomMax);
        followCurves();
    }
    emit zoomSettled();
}

QPointF SignatureChart::valueAt(QPointF pixel) const
{
    const QRectF plot = m_chart->plotArea();
    const View v = currentView();
    return {v.x0 + (pixel.x() - plot.left()) / plot.width() * (v.x1 - v.x0),
            v.y1 - (pixel.y() - plot.top()) / plot.height() * (v.y1 - v.y0)};
}

void SignatureChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_chart->plotArea().contains(event->position())) {
        m_dragging = true;
        m_bandOrigin = event->position().toPoint();
        m_band->setGeometry(QRect(m_bandOrigin, QSize()));
        m_band->show();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        event->accept(); // the release goes back to the full view
        return;
    }
    QChartView::mousePressEvent(event);
}

void SignatureChart::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        const QRect plot = m_chart->plotArea().toAlignedRect();
        m_band->setGeometry(QRect(m_bandOrigin, event->position().toPoint()).normalized() & plot);
        event->accept();
        return;
    }
    // Nothing in the chart answers a hovering mouse, yet the scene would test
    // it against the outline of every curve on each move and repaint a whole
    // curve whenever the mouse crossed it; the read-out needs none of that.
    if (event->buttons() == Qt::NoButton) {
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void SignatureChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_band->hide();
        const QPoint end = event->position().toPoint();
        const QPoint d = end - m_bandOrigin;
        if (std::abs(d.x()) >= MinDragPixels && std::abs(d.y()) >= MinDragPixels) {
            if (d.x() < 0 && d.y() < 0) {
                resetZoom();
            } else {
                const QRectF r = QRectF(QPointF(m_bandOrigin), QPointF(end)).normalized() & m_chart->plotArea();
                const QPointF topLeft = valueAt(r.topLeft());
                const QPointF bottomRight = valueAt(r.bottomRight());
                zoomTo(topLeft.x(), bottomRight.x(), bottomRight.y(), topLeft.y());
            }
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) {
        resetZoom();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}
