#pragma once

#include "chart/AxisLabels.h"
#include "chart/ExportColours.h"

#include <QChartView>
#include <QImage>
#include <QList>
#include <QPointF>

#include <array>

class ChartCursor;
class QCategoryAxis;
class QLineSeries;
class QRubberBand;
class QTimer;

// The load chart of the signature display: twenty line series (five waves of
// four channels) over a fixed angle range, a left axis that follows the curves
// shown, an unused right axis, a legend, and zooming by dragging a rectangle.
// Everything the display, its printout and its bitmap export do with the chart
// goes through here.
class SignatureChart : public QChartView
{
    Q_OBJECT
public:
    static constexpr int SeriesCount = 20;
    static_assert(ExportColours::SeriesCount == SeriesCount);
    // Zooming moves to the dragged rectangle in this many animation steps.
    static constexpr int ZoomSteps = 3;
    static constexpr int ZoomStepMs = 30;
    // Smallest distance between two value labels of the left axis.
    static constexpr double MinLoadStep = 0.001;
    // A bottom range narrower than this is widened to it.
    static constexpr double MinBottomSpan = 1e-10;

    explicit SignatureChart(QWidget* parent = nullptr);
    ~SignatureChart() override;

    // Series index of wave (1..5) and channel (1..4).
    static constexpr int seriesIndex(int wave, int channel) { return 4 * (wave - 1) + (channel - 1); }
    // The line colour the series of index (0..19) is drawn in on screen.
    static QColor seriesColour(int index);
    // Its colour on white paper, in a file or on a page: the screen colour
    // where that stands out on white, a darker shade of it where it would not.
    static QColor paperColour(int index);

    QLineSeries* series(int index) const { return m_series.at(static_cast<std::size_t>(index)); }
    // Replaces all points of a series at once.
    void replacePoints(int index, const QList<QPointF>& points);
    // An active series is drawn and has its legend entry; an inactive one has neither.
    bool isActive(int index) const;
    void setActive(int index, bool active);
    qreal lineWidth(int index) const;
    void setLineWidth(int index, qreal width);

    // Fixes the bottom axis to [min, max]; the two are swapped when min is the
    // larger, and a range narrower than MinBottomSpan becomes min .. min + MinBottomSpan.
    // Ends any zoom.
    void setBottomRange(double min, double max);
    // The fixed range, whatever the zoom shows.
    double bottomMin() const { return m_bottomMin; }
    double bottomMax() const { return m_bottomMax; }

    QCategoryAxis* bottomAxis() const { return m_bottom; }
    QCategoryAxis* leftAxis() const { return m_left; }
    QCategoryAxis* rightAxis() const { return m_right; }

    bool isLegendVisible() const;
    void setLegendVisible(bool visible);

    // Moves the view to a rectangle given in axis values (x: angle, y: load),
    // animated in ZoomSteps steps.
    void zoomTo(double xMin, double xMax, double yMin, double yMax);
    // Back to the full view: the fixed bottom range, the left axis following the curves.
    void resetZoom();
    bool isZoomed() const { return m_zoomed; }
    bool isZoomAnimating() const;

    // The thirteen colours the chart wears differently in a file, as shown now.
    ExportColours exportColours() const;
    void setExportColours(const ExportColours& colours);

    // The read-out that follows the mouse over the plot.
    ChartCursor* readout() const { return m_cursor; }

    // Draws the chart as it stands, at the size it has on screen, into target
    // of any paint device (a bitmap, a metafile, a page). The mouse read-out
    // is left out: it is never part of a file.
    void renderChart(QPainter* painter, const QRectF& target);
    // The chart at its on-screen size as a bitmap.
    QImage renderImage();

signals:
    // The view reached the rectangle of a zoom, or the full view after a reset.
    void zoomSettled();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct View
    {
        double x0, x1, y0, y1;
    };
    void buildChart();
    void buildAxes();
    void buildSeries();
    // The left axis scale that fits the active curves inside the bottom range.
    AxisScale loadScale() const;
    void followCurves();
    void setAxisRange(QCategoryAxis* axis, double lo, double hi);
    void relabel(QCategoryAxis* axis);
    void showView(const View& v);
    View currentView() const;
    View fullView() const;
    void startAnimation(const View& target, bool zoomedAtEnd);
    void animationStep();
    QPointF valueAt(QPointF pixel) const;
    void layoutForRender();

    QChart* m_chart = nullptr;
    QCategoryAxis* m_bottom = nullptr;
    QCategoryAxis* m_left = nullptr;
    QCategoryAxis* m_right = nullptr;
    std::array<QLineSeries*, SeriesCount> m_series{};

    double m_bottomMin = 0;
    double m_bottomMax = 1;
    double m_loadStep = 0.2;
    bool m_zoomed = false;
    bool m_relabelling = false;

    QTimer* m_zoomTimer = nullptr;
    View m_zoomFrom{};
    View m_zoomTarget{};
    int m_zoomStep = 0;
    bool m_zoomedAtEnd = false;

    ChartCursor* m_cursor = nullptr;

    QRubberBand* m_band = nullptr;
    QPoint m_bandOrigin;
    bool m_dragging = false;
};
