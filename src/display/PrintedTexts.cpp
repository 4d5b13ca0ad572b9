#include "PrintedTexts.h"

#include "display/WavePrintPage.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

QFont sized(QFont font, qreal points)
{
    font.setPointSizeF(points);
    return font;
}

// The inked area of each text that draws anything, in device pixels.
QList<QRectF> inkOf(const QList<PrintedTexts::Placed>& texts, const QFont& font, const QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    QList<QRectF> ink;
    for (const PrintedTexts::Placed& t : texts) {
        const QRectF r = metrics.tightBoundingRect(t.text);
        if (!r.isEmpty())
            ink << r.translated(t.topLeft.x(), t.topLeft.y() + metrics.ascent());
    }
    return ink;
}

// Every area inside the frame, and no two closer than clearance, among
// themselves or to the areas already placed.
bool standsClear(const QList<QRectF>& ink, const QList<QRectF>& placed, const QRectF& inside, qreal clearance)
{
    for (qsizetype i = 0; i < ink.size(); ++i) {
        if (!inside.contains(ink[i]))
            return false;
        const QRectF grown = ink[i].adjusted(-clearance, -clearance, clearance, clearance);
        for (qsizetype j = i + 1; j < ink.size(); ++j)
            if (grown.intersects(ink[j]))
                return false;
        for (const QRectF& other : placed)
            if (grown.intersects(other))
                return false;
    }
    return true;
}

qreal clearancePixels(const QPaintDevice* device)
{
    return PrintedTexts::ClearancePoints * device->logicalDpiY() / 72.0;
}

QRectF insideFrame(int W, int H, qreal clearance)
{
    return QRectF(0, 0, W, H).adjusted(clearance, clearance, -clearance, -clearance);
}

} // namespace

PrintedTexts placePrintedTexts(int W, int H, const QString& title, const QList<DetailRow>& rows)
{
    PrintedTexts page;
    // The title starts further left the longer it is, so that a typical one
    // sits near the middle of the page.
    const auto n = static_cast<double>(title.size());
    page.texts[PrintedTexts::Title] << PrintedTexts::Placed{
        title, QPointF(pagePixel(0.55 - 0.01 * n, W), pagePixel(0.025, H))};
    for (const DetailRow& row : rows) {
        const int y = pagePixel(row.y, H);
        page.texts[PrintedTexts::Details] << PrintedTexts::Placed{row.label, QPointF(pagePixel(0.07, W), y)}
                                          << PrintedTexts::Placed{row.value, QPointF(pagePixel(0.15, W), y)};
    }
    page.texts[PrintedTexts::Notice] << PrintedTexts::Placed{QString::fromLatin1(MakersNotice),
                                                             QPointF(pagePixel(0.63, W), pagePixel(0.985, H))};
    return page;
}

void fitPrintedTexts(PrintedTexts& page, const QFont& font, const QPaintDevice* device, int W, int H)
{
    const qreal clearance = clearancePixels(device);
    const QRectF inside = insideFrame(W, H, clearance);
    QList<QRectF> placed;
    for (const auto kind : {PrintedTexts::Details, PrintedTexts::Title, PrintedTexts::Notice}) {
        const QList<PrintedTexts::Placed>& texts = page.texts[kind];
        qreal points = PrintedTexts::DesignedPoints[kind];
        QList<QRectF> ink = inkOf(texts, sized(font, points), device);
        while (points > PrintedTexts::SmallestPoints && !standsClear(ink, placed, inside, clearance)) {
            points -= 0.5;
            ink = inkOf(texts, sized(font, points), device);
        }
        page.points[kind] = points;
        placed << ink;
    }
}

void drawPrintedTexts(QPainter& painter, const PrintedTexts& page, int W, int H)
{
    const QFont face = painter.font();
    const qreal right = insideFrame(W, H, clearancePixels(painter.device())).right();
    for (int kind = 0; kind < PrintedTexts::KindCount; ++kind) {
        painter.setFont(sized(face, page.points[kind]));
        const QFontMetricsF metrics(painter.font(), painter.device());
        for (const PrintedTexts::Placed& t : page.texts[kind]) {
            // Cut only what would cross the frame even at the smallest size.
            QString shown = t.text;
            if (t.topLeft.x() + metrics.tightBoundingRect(t.text).right() > right)
                shown = metrics.elidedText(t.text, Qt::ElideRight, right - t.topLeft.x());
            painter.drawText(QPointF(t.topLeft.x(), t.topLeft.y() + metrics.ascent()), shown);
        }
    }
}
