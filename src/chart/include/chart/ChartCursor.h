#pragma once

#include <QColor>
#include <QGraphicsObject>
#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

class ChartCursorBox;
class QGraphicsLineItem;
class SignatureChart;

// What the read-out shows for one position of the mouse: the angle under it
// and, for every curve shown whose window reaches that angle, the load of the
// curve point nearest to it. Waves recorded with different windows share the
// axis, so a curve may well have nothing at the angle under the mouse.
struct CursorReading
{
    struct Row
    {
        int index = 0; // series index, 0..19
        QString title;
        QColor colour;
        double load = 0;
    };
    double angle = 0;
    QList<Row> rows;
};

// The mouse read-out of the signature chart: a thin vertical line under the
// mouse and, beside it, a box with the angle and the load of every curve shown
// there, each in its curve's colour. It lives in the chart's scene above
// everything else, and only the rectangle it leaves and enters is repainted
// when the mouse moves. The chart as drawn on screen is kept in a pixmap, so
// that rectangle is a copy: a mouse move neither rebuilds nor redraws a curve.
//
// It stays inside the plot (so the legend at its right is never covered),
// disappears when the mouse leaves the plot or while a button is held (the
// zoom rectangle speaks then), follows the axes as they zoom, and is never
// part of a rendering into a file (see Suppressed).
class ChartCursor : public QGraphicsObject
{
    Q_OBJECT
public:
    // Added to view's scene; it watches view's viewport for the mouse (turning
    // on mouse tracking), puts the screen cache on view's chart and has view
    // repaint one bounding rectangle per change.
    explicit ChartCursor(SignatureChart* view);
    ~ChartCursor() override;

    // Hides the read-out, and sets the screen cache aside, for as long as it
    // lives, whatever the mouse does.
    class Suppressed
    {
    public:
        explicit Suppressed(ChartCursor* cursor);
        ~Suppressed();
        Suppressed(const Suppressed&) = delete;
        Suppressed& operator=(const Suppressed&) = delete;

    private:
        ChartCursor* m_cursor;
    };

    bool isShown() const;
    // The values last shown (meaningful while shown).
    const CursorReading& reading() const { return m_reading; }
    // Where the line and the box are, in scene coordinates.
    QLineF lineInScene() const;
    QRectF boxInScene() const;
    // The box itself, with the rows it shows.
    const ChartCursorBox* box() const { return m_box; }

    // The load text of a row and of the angle: one decimal, the same in every locale.
    static QString formatValue(double value);
    // Index of the point whose X lies nearest to x, in a list of any order; the
    // first of equally near points wins. Nothing for an empty list, or when
    // no X can be compared (not a number).
    static std::optional<qsizetype> nearestPoint(const QList<QPointF>& points, double x);
    // Whether a curve reaches angle. Its points are evenly spaced samples, each
    // standing for the step that follows it, so a curve covers its record's
    // whole window: from its first point to one step past its last, rising or
    // falling. A curve of no width (every point at one angle) reaches only that
    // angle, within rounding.
    static bool reaches(const QList<QPointF>& points, double angle);
    // The reading of the active series of chart that reach angle.
    static CursorReading readingAt(const SignatureChart& chart, double angle);

    QRectF boundingRect() const override { return {}; }
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ScreenCache;
    void refresh();
    void watchChart();

    SignatureChart* m_view;
    QGraphicsLineItem* m_line = nullptr;
    ChartCursorBox* m_box = nullptr;
    ScreenCache* m_cache = nullptr;
    CursorReading m_reading;

    QPointF m_mouse;      // last position over the viewport, in viewport coordinates
    bool m_over = false;  // the mouse is over the viewport
    bool m_held = false;  // a mouse button is held
    int m_suppressed = 0; // nesting depth of Suppressed
};
