#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <array>

class QFont;
class QPaintDevice;
class QPainter;
struct DetailRow;

// The texts of the printed page: where each stands and the size it is set in.
// Each kind keeps its designed size unless, at that size, its inked glyphs
// would come within ClearancePoints of another text or of the frame around the
// page; then that kind alone is set smaller, in half points, down to
// SmallestPoints. What still runs over the frame at that size is cut with an
// ellipsis.
struct PrintedTexts
{
    enum Kind { Title, Details, Notice, KindCount };
    static constexpr std::array<qreal, KindCount> DesignedPoints{20, 12, 8};
    static constexpr qreal SmallestPoints = 6;
    // Glyphs closer than this (0.18 mm) print as touching.
    static constexpr qreal ClearancePoints = 0.5;

    // A text placed by the top-left corner of its line, in device pixels.
    struct Placed
    {
        QString text;
        QPointF topLeft;
    };
    std::array<QList<Placed>, KindCount> texts;
    std::array<qreal, KindCount> points = DesignedPoints;
};

// A position on the page given as a fraction of W or H, in whole device
// pixels as every position on the page is: truncated toward zero.
inline int pagePixel(double fraction, int extent)
{
    return static_cast<int>(fraction * extent);
}

// The title, the detail rows and the maker's notice at their places on a page
// of W + 1 by H + 1 pixels, at their designed sizes.
PrintedTexts placePrintedTexts(int W, int H, const QString& title, const QList<DetailRow>& rows);

// Chooses the sizes: the detail block first, then the title (clear of the
// block), then the notice, each as large as the rule above allows. font gives
// the face; device the resolution the page is printed at.
void fitPrintedTexts(PrintedTexts& page, const QFont& font, const QPaintDevice* device, int W, int H);

// Draws the texts in the painter's font face at their chosen sizes.
void drawPrintedTexts(QPainter& painter, const PrintedTexts& page, int W, int H);
