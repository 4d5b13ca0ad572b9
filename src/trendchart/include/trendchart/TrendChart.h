#pragma once

#include "trendchart/TrendEnvelope.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QRubberBand;
struct TrendLayout;

// The number of load channels every stroke has.
inline constexpr int TrendChannels = 4;

// One stroke of the press: one row of the trend table.
struct TrendStroke
{
    double x = 0; // stroke count, or seconds since 1970 in civil time (no zone), as the axis says
    std::array<float, TrendChannels> peak{}; // NaN: no value, not drawn
    std::array<bool, TrendChannels> outOfLimits{};
};

enum class TrendAxis { StrokeCount, Timestamp };

// Per channel; a line is drawn only for a value that is set.
struct TrendLimits
{
    std::array<std::optional<double>, TrendChannels> target, low, high;
};

// The axis ranges the chart shows.
struct TrendRange
{
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
};

// The peak loads of up to a few hundred thousand strokes against stroke count
// or time, four channels, drawn by the widget itself: each pixel column shows
// the lowest to highest value that fell into it, so a paint costs one pass over
// the strokes and a few lines per column however many strokes there are.
// Strokes out of their limits and selected strokes are marked on top. Drag a
// rectangle to zoom into it; a right click, or a rectangle dragged toward the
// top left, shows everything again. Channels are numbered 0 to 3.
class TrendChart : public QWidget
{
    Q_OBJECT
public:
    // How near (in pixels) the mouse must come to a point to name or pick it.
    static constexpr double PickRadius = 6;

    explicit TrendChart(QWidget* parent = nullptr);
    ~TrendChart() override;

    // The colour channel (0..3) is drawn in, the display's first wave's colours
    // as they stand on white.
    static QColor channelColour(int channel);

    void setAxis(TrendAxis axis);
    TrendAxis axis() const { return m_axis; }
    // Replaces every stroke and shows them all; a stroke's index is its id.
    void setStrokes(std::vector<TrendStroke> strokes);
    // Adds strokes after the last one, with the next ids, keeping any zoom.
    // Costs time in the size of the batch; the repaint follows once.
    void appendStrokes(std::span<const TrendStroke> strokes);
    int strokeCount() const { return static_cast<int>(m_x.size()); }
    void setLimits(const TrendLimits& limits);
    void setChannelVisible(int channel, bool visible);
    bool isChannelVisible(int channel) const;
    // Strokes shown highlighted; ids without a stroke are ignored.
    void setSelected(std::vector<int> ids);
    // The strokes drawn as selected, as set.
    const std::vector<std::int32_t>& selected() const { return m_selected; }
    // The text the tooltip shows for a stroke; without it, "Stroke <id>".
    void setStrokeName(std::function<QString(int id)> name);

    void zoomTo(const TrendRange& range);
    void resetZoom();
    bool isZoomed() const { return m_zoom.has_value(); }
    // What the axes show now: the zoom, or everything with a little room.
    TrendRange visibleRange() const;
    // The plot's rectangle in the widget at its present size.
    QRect plotArea() const;
    // The stroke whose point is nearest to pos (widget coordinates), if one
    // of a shown channel lies within PickRadius; -1 otherwise.
    int strokeAt(QPoint pos) const;

    // Draws the chart as it stands into target of any paint device.
    void renderChart(QPainter& painter, const QRect& target) const;
    // Saves the chart at its present size as PNG, SVG or PDF, chosen by the
    // name's extension. The file appears complete or not at all; a link at the
    // name is replaced, never written through. On failure says why in error.
    bool exportTo(const QString& path, QString* error) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A click (press and release in one place) near the point of a stroke.
    void strokeClicked(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    TrendRange fullRange() const;
    void addStrokes(std::span<const TrendStroke> strokes);
    void viewChanged();
    bool isShown(int channel) const { return m_visible[static_cast<std::size_t>(channel)]; }
    QString strokeText(int id) const;
    void paintAxes(QPainter& painter, const QRect& target, const TrendLayout& layout, const TrendRange& range) const;
    void paintData(QPainter& painter, const QRect& plot, const TrendRange& range) const;
    // A channel drawn per pixel column: for more strokes than columns.
    void paintEnvelope(QPainter& painter, const QRect& plot, const TrendRange& range, const TrendColumns& columns,
                       int channel) const;
    void paintMarkers(QPainter& painter, const QRect& plot, const TrendRange& range) const;
    void paintLimits(QPainter& painter, const QRect& plot, const TrendRange& range) const;
    void paintLegend(QPainter& painter, const QRect& target, double pad) const;

    TrendAxis m_axis = TrendAxis::StrokeCount;
    // Strokes by field, so that a pass over one channel reads only its values.
    std::vector<double> m_x;
    std::array<std::vector<float>, TrendChannels> m_peak;
    std::vector<std::uint8_t> m_outFlags; // bit c: channel c out of limits
    std::vector<std::int32_t> m_outIds;   // strokes with any bit set, ascending
    std::vector<std::int32_t> m_selected; // as set; checked against the strokes when drawn
    // Extent of the finite values, kept up to date as batches arrive.
    double m_xMin = 0, m_xMax = 0;
    bool m_hasX = false;
    std::array<float, TrendChannels> m_yMin{}, m_yMax{};
    std::array<bool, TrendChannels> m_hasY{};

    TrendLimits m_limits;
    std::array<bool, TrendChannels> m_visible{true, true, true, true};
    std::function<QString(int)> m_strokeName;
    std::optional<TrendRange> m_zoom;

    // The mouse's lookup, built on first use after the data, view or size changed.
    mutable TrendColumnIndex m_index;
    mutable bool m_indexValid = false;

    QRubberBand* m_band = nullptr;
    QPoint m_pressPos;
    bool m_pressed = false;
};
