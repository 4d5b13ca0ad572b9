#pragma once

#include <QColor>

class SignatureChart;

// The thirteen colours a chart wears differently when it is written to a file
// (light on black on screen, black on white on paper), in the order they are
// switched. Series colours, the grid and the top axis are not among them.
struct ExportColours
{
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

    // The set used while a file is written: black on white.
    static ExportColours blackOnWhite();

    friend bool operator==(const ExportColours&, const ExportColours&) = default;
};

// Switches chart to the black-on-white set for as long as it lives and puts
// back exactly what the chart showed before, on every way out of the scope
// (an error thrown while the file is written included).
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
