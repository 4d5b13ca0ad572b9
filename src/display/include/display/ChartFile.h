#pragma once

#include <QImage>
#include <QSize>

class QString;
class SignatureChart;

// Writes chart as it is drawn now (its curves, axes, legend, the channels
// hidden and the lines made bold, the zoom) in paper colours to path, in the
// format its extension names, whatever its case: .png, .svg, .pdf (one page
// the chart's size), .bmp or .emf. size is the picture's size in pixels; an
// empty size takes the chart's size on screen. The chart is laid out at that
// size for the picture, so texts keep their sizes instead of being stretched,
// and it wears its own size and colours again on every way out.
//
// The whole file is made in memory first and replaces path only once complete;
// a symbolic link at path is replaced, never written through. Throws
// SystemError naming the file and the reason for an extension it does not
// know or a file it cannot write.
void writeChartFile(SignatureChart& chart, const QString& path, QSize size = {});

// Whether path names a format writeChartFile writes (by its extension).
bool isChartFileName(const QString& path);

// The chart as writeChartFile draws it, as a bitmap (for the clipboard).
QImage chartImage(SignatureChart& chart, QSize size = {});
