#include "chart/ChartCursorBox.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Opaque colours: a box blended over the curves would be harder to read and
// dearer to draw. The curves' colours run from white to navy, so no one ground
// suits every row: a row whose colour reads better on light stands on light.
const QColor GroundColour(24, 24, 24);
const QColor LightGroundColour(224, 224, 224);
const QColor FrameColour(192, 192, 192);
constexpr qreal Padding = 4;
constexpr qreal ColumnGap = 12;
// Numbers met while the mouse wanders; enough for every value of several
// passes over a curve, few enough to stay small.
constexpr qsizetype MaxKeptTexts = 2048;

// Relative luminance as used for contrast ratios (sRGB, 0 black .. 1 white).
double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

bool ChartCursorBox::standsOnLight(const QColor& colour)
{
    return contrast(colour, LightGroundColour) > contrast(colour, GroundColour);
}

ChartCursorBox::ChartCursorBox(QGraphicsItem* parent) : QGraphicsItem(parent)
{
    setAcceptedMouseButtons(Qt::NoButton);
    setAcceptHoverEvents(false);
}

QStaticText ChartCursorBox::text(const QString& s)
{
    auto it = m_texts.find(s);
    if (it == m_texts.end()) {
        if (m_texts.size() >= MaxKeptTexts)
            m_texts.clear();
        QStaticText laidOut(s);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), m_font);
        it = m_texts.insert(s, laidOut);
    }
    return *it;
}

void ChartCursorBox::setRows(const QList<Row>& rows, const QFont& font, QSizeF room)
{
    if (rows == m_rows && font == m_baseFont && room == m_room)
        return;
    // The type only needs choosing again when the rows may no longer fit.
    if (font != m_baseFont || rows.size() != m_rows.size() || room.height() != m_room.height()) {
        m_baseFont = font;
        QFont shown = font;
        int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
        for (;; --pixels) {
            shown.setPixelSize(pixels);
            m_rowHeight = std::ceil(QFontMetricsF(shown).height());
            if (pixels <= SmallestPixels ||
                2 * Padding + static_cast<qreal>(rows.size()) * m_rowHeight <= room.height())
                break;
        }
        if (shown != m_font) {
            m_font = shown;
            m_texts.clear();
        }
    }
    m_rows = rows;
    m_room = room;

    m_labelWidth = 0;
    m_valueWidth = 0;
    for (const Row& r : rows) {
        m_labelWidth = std::max(m_labelWidth, text(r.label).size().width());
        m_valueWidth = std::max(m_valueWidth, text(r.value).size().width());
    }
    const QSizeF full(std::ceil(2 * Padding + m_labelWidth + ColumnGap + m_valueWidth),
                      2 * Padding + static_cast<qreal>(rows.size()) * m_rowHeight);
    const QSizeF size = full.boundedTo(room);
    m_cut = size != full;
    if (size != m_size) {
        prepareGeometryChange();
        m_size = size;
    }
    update();
}

void ChartCursorBox::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QRectF frame = boundingRect();
    if (m_cut)
        painter->setClipRect(frame, Qt::IntersectClip);
    painter->setPen(QPen(FrameColour, 1));
    painter->setBrush(GroundColour);
    painter->drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->setFont(m_font);
    const qreal valueRight = frame.width() - Padding;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const Row& r = m_rows[i];
        const qreal top = Padding + static_cast<qreal>(i) * m_rowHeight;
        const QStaticText label = text(r.label);
        const QStaticText value = text(r.value);
        if (standsOnLight(r.colour))
            painter->fillRect(QRectF(1, top, frame.width() - 2, m_rowHeight), LightGroundColour);
        painter->setPen(r.colour);
        painter->drawStaticText(QPointF(Padding, top + (m_rowHeight - label.size().height()) / 2), label);
        painter->drawStaticText(
            QPointF(valueRight - value.size().width(), top + (m_rowHeight - value.size().height()) / 2), value);
    }
}
