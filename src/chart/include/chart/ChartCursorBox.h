#pragma once

#include <QColor>
#include <QFont>
#include <QGraphicsItem>
#include <QHash>
#include <QList>
#include <QStaticText>
#include <QString>

// The box of the mouse read-out: rows of a label at the left and a value at
// the right, each row in its own colour, on a dark ground with a light frame.
// Texts are laid out once and kept, so a box that only shows other numbers
// costs little more than the glyphs it draws.
class ChartCursorBox : public QGraphicsItem
{
public:
    struct Row
    {
        QString label;
        QString value;
        QColor colour;
        friend bool operator==(const Row&, const Row&) = default;
    };

    // Type below this never shrinks further, however many rows there are.
    static constexpr int SmallestPixels = 7;

    explicit ChartCursorBox(QGraphicsItem* parent = nullptr);

    // Shows rows in font, made smaller (down to SmallestPixels) until they fit
    // into room; whatever still does not fit is cut off at room's edges.
    void setRows(const QList<Row>& rows, const QFont& font, QSizeF room);
    const QList<Row>& rows() const { return m_rows; }
    // The type the rows are shown in (font, or smaller when room was short).
    const QFont& shownFont() const { return m_font; }
    // True when even the smallest type did not fit and the box is cut.
    bool isCut() const { return m_cut; }
    // Whether a row in colour is laid on a light ground (dark colours), so
    // that every row can be read whatever its colour.
    static bool standsOnLight(const QColor& colour);

    QRectF boundingRect() const override { return {QPointF(0, 0), m_size}; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    // s laid out in the shown type, kept for the next time (shared, cheap to copy).
    QStaticText text(const QString& s);

    QList<Row> m_rows;
    QFont m_baseFont;
    QFont m_font;
    QSizeF m_room;
    QSizeF m_size;
    qreal m_rowHeight = 0;
    qreal m_labelWidth = 0;
    qreal m_valueWidth = 0;
    bool m_cut = false;
    // Laid-out texts in m_font: the titles and the numbers met so far.
    QHash<QString, QStaticText> m_texts;
};
