#include "EmfQtStyle.h"

#include "EmfPaintEngine.h"

#include <QGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxPenUnits = 1.0e9;

// A metafile has one colour per pen or brush: a gradient gives its first stop.
QColor solidColour(const QBrush& brush)
{
    if (const QGradient* g = brush.gradient(); g && !g->stops().isEmpty())
        return g->stops().first().second;
    return brush.color();
}

uint32_t penStyle(const QPen& pen)
{
    // Geometric: the width is in logical units and scales with the picture.
    // A cosmetic pen is one device pixel wide whatever width it states, and
    // readers that keep to the format draw it as a hairline.
    uint32_t style = U_PS_GEOMETRIC | U_PS_SOLID;
    switch (pen.style()) {
    case Qt::DashLine:
    case Qt::CustomDashLine:
        style |= U_PS_DASH;
        break;
    case Qt::DotLine:
        style |= U_PS_DOT;
        break;
    case Qt::DashDotLine:
        style |= U_PS_DASHDOT;
        break;
    case Qt::DashDotDotLine:
        style |= U_PS_DASHDOTDOT;
        break;
    default:
        break;
    }
    switch (pen.capStyle()) {
    case Qt::FlatCap:
        style |= U_PS_ENDCAP_FLAT;
        break;
    case Qt::SquareCap:
        style |= U_PS_ENDCAP_SQUARE;
        break;
    default:
        style |= U_PS_ENDCAP_ROUND;
        break;
    }
    switch (pen.joinStyle()) {
    case Qt::BevelJoin:
        style |= U_PS_JOIN_BEVEL;
        break;
    case Qt::RoundJoin:
        style |= U_PS_JOIN_ROUND;
        break;
    default:
        style |= U_PS_JOIN_MITER;
        break;
    }
    return style;
}

} // namespace

uint32_t toEmfColour(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return static_cast<uint32_t>(rgb.red()) | static_cast<uint32_t>(rgb.green()) << 8 |
           static_cast<uint32_t>(rgb.blue()) << 16;
}

EmfPen toEmfPen(const QPen& pen, double opacity, double unitsPerLogical)
{
    EmfPen out;
    const QColor colour = solidColour(pen.brush());
    if (pen.style() == Qt::NoPen || opacity <= 0.0 || colour.alpha() == 0)
        return out;
    out.null = false;
    out.colour = toEmfColour(colour);
    out.style = penStyle(pen);
    // A cosmetic pen is as wide on the device as it says; any other grows with
    // the transform. Width 0, Qt's hairline, is one pixel on screen, and so
    // one pixel of the picture.
    const double width = pen.widthF();
    double units = EmfPaintEngine::kUnitsPerPixel;
    if (width > 0.0)
        units = pen.isCosmetic() ? width * EmfPaintEngine::kUnitsPerPixel : width * unitsPerLogical;
    out.width = static_cast<int32_t>(std::clamp(std::round(units), 1.0, kMaxPenUnits));
    return out;
}

EmfBrush toEmfBrush(const QBrush& brush, double opacity)
{
    EmfBrush out;
    const QColor colour = solidColour(brush);
    if (brush.style() == Qt::NoBrush || opacity <= 0.0 || colour.alpha() == 0)
        return out;
    out.null = false;
    out.colour = toEmfColour(colour);
    out.style = U_BS_HATCHED;
    switch (brush.style()) {
    case Qt::HorPattern:
        out.hatch = U_HS_HORIZONTAL;
        break;
    case Qt::VerPattern:
        out.hatch = U_HS_VERTICAL;
        break;
    case Qt::CrossPattern:
        out.hatch = U_HS_CROSS;
        break;
    case Qt::BDiagPattern:
        out.hatch = U_HS_BDIAGONAL;
        break;
    case Qt::FDiagPattern:
        out.hatch = U_HS_FDIAGONAL;
        break;
    case Qt::DiagCrossPattern:
        out.hatch = U_HS_DIAGCROSS;
        break;
    default:
        out.style = U_BS_SOLID;
        break;
    }
    return out;
}
