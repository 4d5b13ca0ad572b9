#pragma once

#include "EmfRecordWriter.h"

#include <QBrush>
#include <QColor>
#include <QPen>

// How Qt's colours, pens and brushes become the GDI objects of a metafile,
// which has neither alpha nor gradients: fully transparent becomes the null
// pen or brush, any other alpha opaque, and a gradient its first stop colour.
uint32_t toEmfColour(const QColor& colour); // 0x00BBGGRR
// unitsPerLogical: logical units of the file per unit of the painter's
// coordinates, which scales the width of a pen that is not cosmetic.
EmfPen toEmfPen(const QPen& pen, double opacity, double unitsPerLogical);
EmfBrush toEmfBrush(const QBrush& brush, double opacity);
