// The Trend window's commands on the strokes it shows: the selection shared
// by the table and the chart, View, Export, the chart's own Copy and Export,
// and the list of unread files.
#include "analysis/SummaryTable.h"
#include "qtcore/LocalPath.h"
#include "trend/TrendTableModel.h"
#include "trend/TrendWindow.h"
#include "trendchart/TrendChart.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTableView>

#include <algorithm>

namespace {

// Details lists at most this many files; a box taller than the screen helps no one.
constexpr std::size_t DetailsShown = 40;

QString title()
{
    return QString::fromUtf8(ApplicationTitle);
}

} // namespace

std::vector<std::size_t> TrendWindow::selectedStrokes() const
{
    QModelIndexList rows = Tbl_Strokes->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::size_t> strokes;
    strokes.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& row : rows)
        strokes.push_back(m_model->strokeOfRow(row.row()));
    return strokes;
}

void TrendWindow::selectionChanged()
{
    std::vector<int> ids;
    for (const std::size_t stroke : selectedStrokes())
        if (stroke < m_pointOf.size() && m_pointOf[stroke] >= 0)
            ids.push_back(m_pointOf[stroke]);
    Chart->setSelected(std::move(ids));
}

void TrendWindow::strokeClicked(int id)
{
    if (id < 0 || static_cast<std::size_t>(id) >= m_feed.strokes.size())
        return;
    const int row = m_model->rowOfStroke(m_feed.strokes[static_cast<std::size_t>(id)]);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 0);
    Tbl_Strokes->selectionModel()->setCurrentIndex(index,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Tbl_Strokes->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

QString TrendWindow::strokeName(int id) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= m_feed.strokes.size())
        return {};
    const StrokeSummary& stroke = m_model->strokes()[m_feed.strokes[static_cast<std::size_t>(id)]];
    return QStringLiteral("%1, stroke %2").arg(QFileInfo(fromPath(stroke.path)).fileName()).arg(stroke.strokeCount);
}

void TrendWindow::Btn_ViewClick()
{
    const std::vector<std::size_t> strokes = selectedStrokes();
    if (strokes.empty() || strokes.size() > static_cast<std::size_t>(MaxViewed)) {
        dialogs().message(this, QStringLiteral("Select one to five strokes to view."), title());
        return;
    }
    std::vector<std::string> paths;
    paths.reserve(strokes.size());
    for (const std::size_t stroke : strokes)
        paths.push_back(m_model->strokes()[stroke].path);
    m_showFiles(paths);
}

void TrendWindow::Btn_ExportClick()
{
    const QString name = dialogs().saveFileName(this, QStringLiteral("Export"), QString(),
                                                m_exportName.isEmpty() ? QStringLiteral("Summary.csv") : m_exportName,
                                                QString::fromLatin1(ExportFilter), DialogService::Overwrite::Ask);
    if (name.isEmpty())
        return;
    m_exportName = name;
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        exportSummary(name);
    else if (suffix == QLatin1String("png") || suffix == QLatin1String("svg") || suffix == QLatin1String("pdf"))
        exportChart(name);
    else
        dialogs().error(
            this,
            QStringLiteral("%1 was not written: name a summary file .csv, or a chart .png, .svg or .pdf.").arg(name),
            title());
}

void TrendWindow::ExportChartClick()
{
    const QString name = dialogs().saveFileName(this, QStringLiteral("Export Chart"), QString(),
                                                m_chartName.isEmpty() ? QStringLiteral("Trend.png") : m_chartName,
                                                QString::fromLatin1(ChartFilter), DialogService::Overwrite::Ask);
    if (name.isEmpty())
        return;
    m_chartName = name;
    exportChart(name);
}

void TrendWindow::CopyChartClick()
{
    // White behind it, as in the PNG file: a transparent image pastes black
    // into some programs.
    QImage image(Chart->size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        Chart->renderChart(painter, image.rect());
    }
    QGuiApplication::clipboard()->setImage(image);
}

void TrendWindow::exportSummary(const QString& path)
{
    // The strokes shown, in the summary file's own order whatever the table's,
    // so the file is the one the converter's summary writes for them.
    std::vector<StrokeSummary> strokes;
    strokes.reserve(m_model->filtered().size());
    for (const std::size_t i : m_model->filtered())
        strokes.push_back(m_model->strokes()[i]);
    sortStrokes(strokes);
    const IoResult written = storeSummaryCsv(toPath(path), strokes);
    if (!written)
        dialogs().error(
            this, QStringLiteral("%1 could not be written:\n%2").arg(path, QString::fromStdString(written.reason)),
            title());
}

void TrendWindow::exportChart(const QString& path)
{
    QString why;
    if (!Chart->exportTo(path, &why))
        dialogs().error(this, QStringLiteral("%1 could not be written:\n%2").arg(path, why), title());
}

void TrendWindow::Btn_DetailsClick()
{
    QStringList lines;
    for (std::size_t i = 0; i < m_failures.size() && i < DetailsShown; ++i)
        lines << QStringLiteral("%1: %2").arg(fromPath(m_failures[i].path),
                                              QString::fromStdString(m_failures[i].reason));
    if (m_failures.size() > DetailsShown)
        lines << QStringLiteral("... and %1 more").arg(m_failures.size() - DetailsShown);
    const QString heading = m_failures.size() == 1 ? QStringLiteral("This file could not be read:")
                                                   : QStringLiteral("These files could not be read:");
    dialogs().message(this, heading + QLatin1Char('\n') + lines.join(QLatin1Char('\n')), title());
}
