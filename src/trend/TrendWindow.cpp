#include "trend/TrendWindow.h"

#include "analysis/SummaryTable.h"
#include "qtcore/LocalPath.h"
#include "trend/TrendStatsStrip.h"
#include "trend/TrendTableModel.h"
#include "trendchart/TrendChart.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"
#include "ui/ErrorGuard.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace {

QString title()
{
    return QString::fromUtf8(ApplicationTitle);
}

} // namespace

TrendWindow::TrendWindow(QWidget* parent, ShowFiles showFiles)
    : QWidget(parent, Qt::Window), m_showFiles(std::move(showFiles)), m_model(new TrendTableModel(this)),
      m_scan(new TrendScan(this))
{
    setObjectName(QStringLiteral("Fm_Trend"));
    setWindowTitle(QStringLiteral("Trend"));
    buildControls();
    Chart->setStrokeName([this](int id) { return strokeName(id); });
    connectHandlers();
    updateNotes();
    resize(1000, 720);
}

// The scan goes first (a child, so before the controls' data it would feed):
// its threads skip what is left and are waited for in its destructor.
TrendWindow::~TrendWindow()
{
    delete m_scan;
    m_scan = nullptr;
}

void TrendWindow::connectHandlers()
{
    auto on = [this](auto* sender, auto signal, void (TrendWindow::*handler)()) {
        connect(sender, signal, this, guarded(this, [this, handler] { (this->*handler)(); }));
    };
    on(Btn_OpenFolder, &QPushButton::clicked, &TrendWindow::Btn_OpenFolderClick);
    on(Btn_Cancel, &QPushButton::clicked, &TrendWindow::Btn_CancelClick);
    on(Btn_View, &QPushButton::clicked, &TrendWindow::Btn_ViewClick);
    on(Btn_Export, &QPushButton::clicked, &TrendWindow::Btn_ExportClick);
    on(Btn_Details, &QPushButton::clicked, &TrendWindow::Btn_DetailsClick);
    on(Act_CopyChart, &QAction::triggered, &TrendWindow::CopyChartClick);
    on(Act_ExportChart, &QAction::triggered, &TrendWindow::ExportChartClick);
    connect(Act_ShowAll, &QAction::triggered, Chart, &TrendChart::resetZoom);
    on(Ed_Job, &QLineEdit::textChanged, &TrendWindow::filterChanged);
    on(Cb_Mode, &QComboBox::currentIndexChanged, &TrendWindow::filterChanged);
    on(Cb_Axis, &QComboBox::currentIndexChanged, &TrendWindow::axisChanged);
    on(Tbl_Strokes->selectionModel(), &QItemSelectionModel::selectionChanged, &TrendWindow::selectionChanged);
    connect(Tbl_Strokes, &QTableView::doubleClicked, this, guarded(this, [this] { Btn_ViewClick(); }));
    connect(Chart, &TrendChart::strokeClicked, this, guarded(this, [this](int id) { strokeClicked(id); }));
    connect(m_scan, &TrendScan::arrived, this, guarded(this, [this](TrendScanBatch& batch) { scanArrived(batch); }));
    on(m_scan, &TrendScan::finished, &TrendWindow::scanFinished);
}

void TrendWindow::showPaths(const std::vector<std::string>& paths)
{
    show();
    raise();
    activateWindow();
    startScan([&](TrendScan& scan) { scan.start(paths, FinalLink::Follow, TrendScan::defaultJobs()); }, paths.size());
}

void TrendWindow::openFolder(const std::string& dir, bool subfolders)
{
    startScan([&](TrendScan& scan) { scan.startFolder(dir, subfolders, TrendScan::defaultJobs()); }, 0);
}

void TrendWindow::startScan(const std::function<void(TrendScan&)>& start, std::size_t total)
{
    // What the window showed goes before the new scan's first batch can come.
    m_model->clear();
    m_failures.clear();
    m_scanError.clear();
    refill();
    updateModes();
    showProgress(0, total);
    Btn_Cancel->setEnabled(true);
    start(*m_scan);
    updateNotes();
}

void TrendWindow::scanArrived(TrendScanBatch& batch)
{
    showProgress(batch.done, batch.total);
    m_failures.insert(m_failures.end(), batch.failures.begin(), batch.failures.end());
    if (!batch.error.empty())
        m_scanError = QString::fromStdString(batch.error);
    if (batch.total > m_model->strokes().size())
        m_model->reserve(batch.total);
    if (!batch.strokes.empty()) {
        // The model takes the strokes; what it lets through goes to the chart.
        extend(m_model->append(std::move(batch.strokes)));
        updateModes();
    }
    updateNotes();
}

void TrendWindow::showProgress(std::size_t done, std::size_t total)
{
    // A folder's files are counted once it is listed; a scan of nothing says so.
    Pb_Scan->setFormat(total > 0 ? QStringLiteral("%v of %m files") : QStringLiteral("No files"));
    Pb_Scan->setRange(0, static_cast<int>(std::max<std::size_t>(total, 1)));
    Pb_Scan->setValue(static_cast<int>(std::min(done, total)));
}

void TrendWindow::scanFinished()
{
    Btn_Cancel->setEnabled(false);
    if (Pb_Scan->format() != QStringLiteral("No files"))
        Pb_Scan->setValue(Pb_Scan->maximum());
    if (!m_scanError.isEmpty()) {
        const QString why = m_scanError;
        m_scanError.clear();
        dialogs().error(this, QStringLiteral("The files could not all be read:\n%1").arg(why), title());
    }
}

void TrendWindow::Btn_CancelClick()
{
    m_scan->stop();
    Btn_Cancel->setEnabled(false);
}

void TrendWindow::closeEvent(QCloseEvent* event)
{
    // A closed window reads no more; what it read stays for when it opens again.
    m_scan->stop();
    Btn_Cancel->setEnabled(false);
    QWidget::closeEvent(event);
}

void TrendWindow::Btn_OpenFolderClick()
{
    const QString dir = dialogs().chooseDirectory(this, QStringLiteral("Open Folder"), m_lastFolder);
    if (dir.isEmpty())
        return;
    m_lastFolder = dir;
    openFolder(toPath(dir), Chk_Subfolders->isChecked());
}

TrendAxis TrendWindow::axis() const
{
    return static_cast<TrendAxis>(Cb_Axis->currentData().toInt());
}

void TrendWindow::filterChanged()
{
    TrendFilter filter;
    filter.job = Ed_Job->text();
    if (Cb_Mode->currentIndex() > 0)
        filter.mode = Cb_Mode->currentData().toString().toStdString();
    m_model->setFilter(std::move(filter));
    refill();
    updateNotes();
}

void TrendWindow::axisChanged()
{
    refill();
    updateNotes();
}

void TrendWindow::refill()
{
    m_feed = TrendFeed{};
    m_figures = TrendFigures{};
    m_pointOf.assign(m_model->strokes().size(), -1);
    Chart->setAxis(axis());
    Chart->setStrokes({});
    extend(m_model->filtered());
    Chart->resetZoom();
    selectionChanged();
}

void TrendWindow::extend(std::span<const std::size_t> strokes)
{
    const std::vector<StrokeSummary>& all = m_model->strokes();
    const std::size_t before = m_feed.points.size();
    m_feed.add(all, strokes, axis());
    m_pointOf.resize(all.size(), -1);
    for (std::size_t id = before; id < m_feed.points.size(); ++id)
        m_pointOf[m_feed.strokes[id]] = static_cast<int>(id);
    Chart->appendStrokes(std::span(m_feed.points).subspan(before));
    for (const std::size_t i : strokes)
        m_figures.add(all[i]);
    Chart->setLimits(m_figures.limits());
    Stats->setStats(m_figures.stats());
}

void TrendWindow::updateModes()
{
    // The modes read so far, and the one the filter asks for even before a
    // stroke of it has come: a new scan keeps the user's choice.
    std::vector<std::string> modes = m_model->modes();
    const std::string& wanted = m_model->filter().mode;
    if (!wanted.empty() && !std::binary_search(modes.begin(), modes.end(), wanted))
        modes.insert(std::lower_bound(modes.begin(), modes.end(), wanted), wanted);
    bool same = Cb_Mode->count() == static_cast<int>(modes.size()) + 1;
    for (std::size_t i = 0; same && i < modes.size(); ++i)
        same = Cb_Mode->itemData(static_cast<int>(i) + 1).toString() == QString::fromStdString(modes[i]);
    if (same)
        return;
    const QSignalBlocker quiet(Cb_Mode);
    Cb_Mode->clear();
    Cb_Mode->addItem(QStringLiteral("All modes"));
    for (const std::string& mode : modes)
        Cb_Mode->addItem(QString::fromLatin1(mode), QString::fromStdString(mode));
    Cb_Mode->setCurrentIndex(wanted.empty() ? 0 : Cb_Mode->findData(QString::fromStdString(wanted)));
}

void TrendWindow::updateNotes()
{
    Lb_Rows->setText(QStringLiteral("%1 of %2 strokes shown").arg(m_model->rowCount()).arg(m_model->strokes().size()));
    const std::size_t noTime = m_feed.withoutTime;
    Lb_NoTime->setText(noTime == 1 ? QStringLiteral("1 stroke has no time and is not on the chart")
                                   : QStringLiteral("%1 strokes have no time and are not on the chart").arg(noTime));
    Lb_NoTime->setVisible(noTime > 0);
    const std::size_t failed = m_failures.size();
    Lb_Unreadable->setText(failed == 1 ? QStringLiteral("1 file could not be read")
                                       : QStringLiteral("%1 files could not be read").arg(failed));
    Lb_Unreadable->setVisible(failed > 0);
    Btn_Details->setVisible(failed > 0);
}
