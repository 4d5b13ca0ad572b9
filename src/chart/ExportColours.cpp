#include "ExportColours.h"

#include "SignatureChart.h"

ExportColours ExportColours::blackOnWhite()
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return {white, black, black, black, black, black, white, black, black, black, black, black, black};
}

ExportColoursGuard::ExportColoursGuard(SignatureChart& chart) : m_chart(chart), m_saved(chart.exportColours())
{
    m_chart.setExportColours(ExportColours::blackOnWhite());
}

ExportColoursGuard::~ExportColoursGuard()
{
    m_chart.setExportColours(m_saved);
}
