// The colours of the twenty curves: on screen, on paper, and the switch
// between the two while the chart is written to a file.
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"

#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTest>

#include <cmath>
#include <numbers>

namespace {

// Relative luminance of an sRGB colour, 0 for black to 1 for white.
double luminance(const QColor& c)
{
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// Contrast ratio of two colours, 1 (same) to 21 (black on white). Below 3:1 a
// thin line is hard to follow on its ground.
double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Lab
{
    double L, a, b;
};

Lab toLab(const QColor& c)
{
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const double r = linear(c.redF()), g = linear(c.greenF()), b = linear(c.blueF());
    // D65 white.
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// CIEDE2000 colour difference: about 1 is the least difference an eye sees
// side by side; above 10 two colours read as different ones, not as shades
// of one.
double deltaE(const Lab& p, const Lab& q)
{
    constexpr double deg = std::numbers::pi / 180;
    const double cMean = (std::hypot(p.a, p.b) + std::hypot(q.a, q.b)) / 2;
    const double g = 0.5 * (1 - std::sqrt(std::pow(cMean, 7) / (std::pow(cMean, 7) + std::pow(25.0, 7))));
    const double a1 = (1 + g) * p.a, a2 = (1 + g) * q.a;
    const double C1 = std::hypot(a1, p.b), C2 = std::hypot(a2, q.b);
    auto hue = [](double b, double a) { return a == 0 && b == 0 ? 0.0 : std::fmod(std::atan2(b, a) / deg + 360, 360); };
    const double h1 = hue(p.b, a1), h2 = hue(q.b, a2);
    double dh = 0;
    if (C1 * C2 != 0)
        dh = std::abs(h2 - h1) <= 180 ? h2 - h1 : (h2 - h1 > 180 ? h2 - h1 - 360 : h2 - h1 + 360);
    const double dL = q.L - p.L, dC = C2 - C1;
    const double dH = 2 * std::sqrt(C1 * C2) * std::sin(dh / 2 * deg);
    const double L = (p.L + q.L) / 2, C = (C1 + C2) / 2;
    double H = h1 + h2;
    if (C1 * C2 != 0)
        H = std::abs(h1 - h2) <= 180 ? H / 2 : (H < 360 ? (H + 360) / 2 : (H - 360) / 2);
    const double T = 1 - 0.17 * std::cos((H - 30) * deg) + 0.24 * std::cos(2 * H * deg) +
                     0.32 * std::cos((3 * H + 6) * deg) - 0.20 * std::cos((4 * H - 63) * deg);
    const double sL = 1 + 0.015 * (L - 50) * (L - 50) / std::sqrt(20 + (L - 50) * (L - 50));
    const double sC = 1 + 0.045 * C, sH = 1 + 0.015 * C * T;
    const double rC = 2 * std::sqrt(std::pow(C, 7) / (std::pow(C, 7) + std::pow(25.0, 7)));
    const double rT = -std::sin(2 * 30 * std::exp(-std::pow((H - 275) / 25, 2)) * deg) * rC;
    return std::sqrt(std::pow(dL / sL, 2) + std::pow(dC / sC, 2) + std::pow(dH / sH, 2) + rT * dC / sC * dH / sH);
}

double deltaE(const QColor& a, const QColor& b)
{
    return deltaE(toLab(a), toLab(b));
}

// Two curves in the legend and on the plot must be told apart by colour
// alone. The two blues of wave 1 channel 4 and wave 2 channel 2 (9.2 apart,
// a vivid and a greyish blue) are the closest pair the display has always
// had, and keep their colours; no pair may come closer than that. A colour we
// chose keeps a clear margin beyond the 10 of "a different colour".
constexpr double MinDistance = 9;
constexpr double MinDistanceOfAChosenShade = 15;

QString name(int index)
{
    return QStringLiteral("Wave %1 : Ch%2").arg(index / 4 + 1).arg(index % 4 + 1);
}

} // namespace

class ChartColoursTest : public QObject
{
    Q_OBJECT

private slots:
    void colourMeasuresMatchPublishedValues()
    {
        // Pairs of the published CIEDE2000 test data (Sharma, Wu and Dalal, 2005).
        const struct
        {
            Lab p, q;
            double d;
        } pairs[] = {{{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
                     {{50, 0, 0}, {50, -1, 2}, 2.3669},
                     {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
                     {{50, 2.5, 0}, {50, 3.1736, 0.5854}, 1.0000},
                     {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644}};
        for (const auto& pair : pairs)
            QVERIFY2(std::abs(deltaE(pair.p, pair.q) - pair.d) < 5e-5,
                     qPrintable(QString::number(deltaE(pair.p, pair.q))));
        QVERIFY(std::abs(deltaE(Qt::white, Qt::black) - 100) < 0.01);
        // Contrast: black on white is 21:1, the display's yellow on white 1.07:1.
        QVERIFY(std::abs(contrast(Qt::black, Qt::white) - 21) < 1e-9);
        QVERIFY(std::abs(contrast(Qt::yellow, Qt::white) - 1.07) < 0.005);
    }

    void everyCurveIsSeenOnPaperAndToldFromTheOthers()
    {
        for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
            const QColor screen = SignatureChart::seriesColour(i), paper = SignatureChart::paperColour(i);
            QVERIFY2(contrast(paper, Qt::white) >= 3, qPrintable(name(i)));
            // A colour that shows on white is not changed; one that does not
            // becomes darker, not merely different.
            if (contrast(screen, Qt::white) >= 3)
                QCOMPARE(paper, screen);
            else
                QVERIFY2(luminance(paper) < luminance(screen), qPrintable(name(i)));
        }
        // White on screen is black or a dark grey on paper.
        const QColor white = SignatureChart::paperColour(SignatureChart::seriesIndex(3, 1));
        QVERIFY(white.red() == white.green() && white.green() == white.blue() && white.red() <= 80);

        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            for (int j = i + 1; j < SignatureChart::SeriesCount; ++j) {
                const QColor a = SignatureChart::paperColour(i), b = SignatureChart::paperColour(j);
                const bool chosen = a != SignatureChart::seriesColour(i) || b != SignatureChart::seriesColour(j);
                const double d = deltaE(a, b);
                QVERIFY2(d >= (chosen ? MinDistanceOfAChosenShade : MinDistance),
                         qPrintable(QStringLiteral("%1 and %2 on paper: %3").arg(name(i), name(j)).arg(d)));
            }
    }

    void everyCurveIsToldFromTheOthersOnScreen()
    {
        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            for (int j = i + 1; j < SignatureChart::SeriesCount; ++j) {
                const double d = deltaE(SignatureChart::seriesColour(i), SignatureChart::seriesColour(j));
                QVERIFY2(d >= MinDistance, qPrintable(QStringLiteral("%1 and %2: %3").arg(name(i), name(j)).arg(d)));
            }
        // Wave 5's fourth channel is a red of its own: neither wave 2's red nor maroon.
        const QColor own = SignatureChart::seriesColour(SignatureChart::seriesIndex(5, 4));
        for (int other : {SignatureChart::seriesIndex(2, 1), SignatureChart::seriesIndex(4, 2)}) {
            QVERIFY(deltaE(own, SignatureChart::seriesColour(other)) >= MinDistanceOfAChosenShade);
            QVERIFY(deltaE(SignatureChart::paperColour(SignatureChart::seriesIndex(5, 4)),
                           SignatureChart::paperColour(other)) >= MinDistanceOfAChosenShade);
        }
        QVERIFY(own.red() > own.green() && own.green() == own.blue()); // a red
    }

    // The curves and their legend boxes wear the paper colours only while a
    // file is written; line widths and the boxes' frames stay as they were.
    void curvesAndLegendBoxesSwitchWithTheFile()
    {
        SignatureChart chart;
        chart.resize(790, 522);
        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            chart.setActive(i, true);
        chart.setLineWidth(0, 2);
        QLegend* legend = chart.chart()->legend();
        auto marker = [&](int i) { return legend->markers(chart.series(i)).first(); };
        QList<QPen> frames;
        for (int i = 0; i < SignatureChart::SeriesCount; ++i)
            frames << marker(i)->pen();
        {
            const ExportColoursGuard paper(chart);
            for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
                QCOMPARE(chart.series(i)->pen().color(), SignatureChart::paperColour(i));
                QCOMPARE(marker(i)->brush().color(), SignatureChart::paperColour(i));
                QCOMPARE(marker(i)->pen(), frames[i]);
                // The frame shows on the white legend.
                QVERIFY(marker(i)->pen().style() != Qt::NoPen && contrast(marker(i)->pen().color(), Qt::white) >= 3);
            }
            QCOMPARE(chart.lineWidth(0), 2.0);
            QCOMPARE(chart.lineWidth(1), 1.0);
        }
        for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
            QCOMPARE(chart.series(i)->pen().color(), SignatureChart::seriesColour(i));
            QCOMPARE(marker(i)->brush().color(), SignatureChart::seriesColour(i));
            QCOMPARE(marker(i)->pen(), frames[i]);
        }
        QCOMPARE(chart.lineWidth(0), 2.0);
    }
};

QTEST_MAIN(ChartColoursTest)
#include "tst_chartcolours.moc"
