#pragma once

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

// A metafile as a second, independent reader sees it: the SVG that the
// emf2svg converter writes for it, reduced to what the tests compare.
struct SvgShape
{
    QString element;             // path, rect, ellipse, text, ...
    std::vector<QPointF> points; // every coordinate it reaches, in the SVG's user units
    bool stroked = false;
    double strokeWidth = 0; // user units; meaningful when stroked
    QColor stroke;
    QColor fill; // invalid when not filled
};

struct SvgPicture
{
    QSizeF size;    // the width and height attributes of the root element
    QRectF viewBox; // user space; the size's rectangle when the root names none
    std::vector<SvgShape> shapes;
    QString error; // why the SVG could not be read completely; empty when it could
};

// Reads the shapes drawn by an SVG as emf2svg writes it: paths of straight and
// cubic segments, rectangles, ellipses, polylines, polygons, lines and texts,
// under groups that may carry transforms. Shapes inside definitions (clip
// paths) are not drawn and are left out; a drawn shape keeps its whole
// geometry whatever clips it, so that a shape placed wrongly shows even where
// a clip hides it. Anything it cannot follow is
// reported in error rather than skipped, so that a test never passes on a
// picture it did not read.
SvgPicture readSvg(const QByteArray& svg);

// Runs emf2svg-conv on the metafile bytes and returns the SVG it wrote; on
// failure returns an empty array and says why in error.
QByteArray convertWithEmf2Svg(const QByteArray& emf, QString* error);
