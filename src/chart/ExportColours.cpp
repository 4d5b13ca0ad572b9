#include "chart/ExportColours.h"

#include "chart/SignatureChart.h"

ExportColours ExportColours::paper()
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    ExportColours c{white, black, black, black, black, black, white, black, black, black, black, black, black, {}};
    for (std::size_t i = 0; i < SeriesCount; ++i)
        c.series[i] = SignatureChart::paperColour(static_cast<int>(i));
    return c;
}

ExportColoursGuard::ExportColoursGuard(SignatureChart& chart) : m_chart(chart), m_saved(chart.exportColours())
{
    m_chart.setExportColours(ExportColours::paper());
}

ExportColoursGuard::~ExportColoursGuard()
{
    m_chart.setExportColours(m_saved);
}
