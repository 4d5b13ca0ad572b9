#include "EmfPlayer.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace emfdoc::detail {

Player::TextScale Player::textScale() const
{
    // A baseline at angle a runs along (cos a, -sin a); stretched by the two
    // scales it grows by the length of that vector scaled, and the glyphs'
    // height, square to it, likewise. Level text gets (sx, sy), upright text
    // (sy, sx): an upright axis title keeps its length down the page.
    const double a = double(m_dc.font.escapement) / 10.0 * M_PI / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    return {std::hypot(m_sx * c, m_sy * s), std::hypot(m_sx * s, m_sy * c)};
}

QFont Player::qtFont(const TextScale& scale) const
{
    const FontDef& f = m_dc.font;
    QFont font;
    if (!f.face.isEmpty())
        font.setFamily(f.face);
    font.setWeight(static_cast<QFont::Weight>(f.weight <= 0 ? 400 : std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    // A negative height is the em height; a positive one is the cell height,
    // ascent plus descent, of which the em takes the font's own share.
    double em = f.height == 0 ? 12.0 : std::abs(double(f.height));
    if (f.height > 0) {
        QFont probe(font);
        probe.setPixelSize(100);
        const QFontMetricsF metrics(probe);
        if (metrics.height() > 0)
            em *= 100.0 / metrics.height();
    }
    // No glyph is drawn larger than twice the picture's own extent, nor, once
    // stretched, larger than kMaxGlyphPixels.
    const double ratio = std::clamp(scale.along / scale.across, 1.0 / kMaxTextStretch, kMaxTextStretch);
    const double extent = std::max(m_target.width(), m_target.height());
    const double largest =
        std::clamp(std::min(2.0 * extent, kMaxGlyphPixels / std::max(ratio, 1.0)), 1.0, kMaxFontPixels);
    font.setPixelSize(qRound(std::clamp(em * scale.across, 1.0, largest)));
    return font;
}

namespace {

// Where the text's baseline starts, from the reference point, by the
// alignment in force.
std::pair<double, double> alignedStart(uint32_t align, double width, const QFontMetricsF& metrics)
{
    double x = 0.0;
    if ((align & U_TA_CENTER) == U_TA_CENTER)
        x = -width / 2.0;
    else if (align & U_TA_RIGHT)
        x = -width;
    double y = 0.0;
    if ((align & U_TA_BASELINE) == U_TA_BASELINE)
        y = 0.0;
    else if (align & U_TA_BOTTOM)
        y = -metrics.descent();
    else
        y = metrics.ascent();
    return {x, y};
}

} // namespace

void Player::operator()(const Text& c)
{
    if (c.text.isEmpty() || (c.options & U_ETO_GLYPH_INDEX))
        return; // glyph indices name glyphs of a font this machine may not have
    const QString text = c.text.left(kMaxTextUnits);
    const TextScale scale = textScale();
    const QFont font = qtFont(scale);

    m_painter->save();
    if (c.options & (U_ETO_OPAQUE | U_ETO_CLIPPED)) {
        const QRectF box = mapRect(c.box).normalized();
        if (c.options & U_ETO_OPAQUE)
            m_painter->fillRect(box, m_dc.backgroundColour);
        if (c.options & U_ETO_CLIPPED)
            m_painter->setClipRect(box, Qt::IntersectClip);
    }
    // The text's own frame: origin at the reference point, x along the
    // baseline. Glyphs are widened by the ratio of the two scales so that a
    // stretched picture stretches its text too, within limits: Qt's glyph
    // cache fails on glyphs hundreds of times wider than high. Advances follow
    // the scale along the baseline whatever the glyphs do.
    const double ratio = std::clamp(scale.along / scale.across, 1.0 / kMaxTextStretch, kMaxTextStretch);
    const double advanceScale = scale.along / ratio;
    m_painter->translate(map(c.origin));
    if (m_dc.font.escapement % 3600 != 0)
        m_painter->rotate(-double(m_dc.font.escapement) / 10.0);
    if (std::abs(ratio - 1.0) > 1e-9)
        m_painter->scale(ratio, 1.0);
    m_painter->setFont(font);
    m_painter->setPen(m_dc.textColour);
    const QFontMetricsF metrics(font, m_painter->device());

    // When the advances are the font's own (as from a writer with the same
    // fonts), Qt lays the text out whole, with its kerning and glyph placement;
    // otherwise each character goes where the file puts it.
    double total = 0.0;
    for (qsizetype i = 0; i < text.size(); ++i)
        total += c.advances[static_cast<std::size_t>(i)] * advanceScale;
    const double naturalWidth = metrics.horizontalAdvance(text);
    const bool natural = total == 0.0 || std::abs(total - naturalWidth) <= 0.5 + 0.01 * naturalWidth;
    if (natural)
        total = naturalWidth;

    auto [x, y] = alignedStart(m_dc.textAlign, total, metrics);
    if (m_dc.backgroundMode == U_OPAQUE)
        m_painter->fillRect(QRectF(x, y - metrics.ascent(), total, metrics.ascent() + metrics.descent()),
                            m_dc.backgroundColour);

    if (natural) {
        m_painter->drawText(QPointF(x, y), text);
    } else {
        // A surrogate pair stays whole.
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            m_painter->drawText(QPointF(x, y), text.mid(i, length));
            for (qsizetype k = i; k < i + length; ++k)
                x += c.advances[static_cast<std::size_t>(k)] * advanceScale;
            i += length;
        }
    }
    m_painter->restore();
}

} // namespace emfdoc::detail
