#pragma once

#include <QColor>

#include <array>

class SignatureChart;

// The colours a chart wears differently when it is written to a file (light
// on black on screen, black on white on paper): thirteen settings of the
// background, titles, axes and legend, in the order they are switched, and
// the line colour of each curve. The grid and the top axis are not among them.
struct ExportColours
{
    // One line colour per curve, in the chart's series order.
    static constexpr std::size_t SeriesCount = 20;

    QColor background;       // chart background
    QColor leftLabels;       // left axis value labels
    QColor leftLine;         // left axis line
    QColor bottomLabels;     // bottom axis value labels
    QColor bottomLine;       // bottom axis line
    QColor title;            // chart title
    QColor legendBackground; // legend background
    QColor legendText;       // legend texts
    QColor leftTitle;        // left axis title
    QColor bottomTitle;      // bottom axis title
    QColor rightTitle;       // right axis title
    QColor rightLabels;      // right axis value labels
    QColor rightLine;        // right axis line
    // Each curve's line and legend swatch.
    std::array<QColor, SeriesCount> series;

    // The set used while a file is written: black on white, and every curve
    // in a colour that can be seen on white and told from the others.
    static ExportColours paper();

    friend bool operator==(const ExportColours&, const ExportColours&) = default;
};

// Switches chart to the paper set for as long as it lives and puts back
// exactly what the chart showed before, on every way out of the scope (an
// error thrown while the file is written included).
class ExportColoursGuard
{
public:
    explicit ExportColoursGuard(SignatureChart& chart);
    explicit ExportColoursGuard(SignatureChart* chart) : ExportColoursGuard(*chart) {}
    ~ExportColoursGuard();
    ExportColoursGuard(const ExportColoursGuard&) = delete;
    ExportColoursGuard& operator=(const ExportColoursGuard&) = delete;

private:
    SignatureChart& m_chart;
    ExportColours m_saved;
};
