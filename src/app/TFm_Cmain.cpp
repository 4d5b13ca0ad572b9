#include "app/TFm_Cmain.h"

#include "MainListHost.h"
#include "SchedulePanel.h"
#include "app/FileDrops.h"
#include "app/OtherWindows.h"
#include "convert/OutputFileName.h"
#include "display/WaveRecords.h"
#include "qtcore/LocalPath.h"
#include "settings/ConverterSettings.h"
#include "ui/Anchors.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"
#include "ui/ErrorGuard.h"
#include "ui/FontFit.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TFm_Cmain::TFm_Cmain(SettingsRecord& settings, SignatureRecord& record, OtherWindows& windows)
    : m_settings(settings), m_record(record), m_windows(windows)
{
    setObjectName(QStringLiteral("Fm_Cmain"));
    setWindowTitle(QString::fromLatin1(Caption));
    buildControls();
    m_cursor = std::make_unique<ListWidgetCursor>(*ListBox1);
    buildMenus();
    buildSchedulePanel();
    m_host = std::make_unique<MainListHost>(MainListControls{*this, *m_anchors, *ListBox1, *m_cursor, *Pn_Convert,
                                                             *ProgressBar1, *static_cast<SchedulePanel*>(Pn_ASMsg),
                                                             *FileListBox1, *TMR_AS},
                                            m_settings);
    m_schedule = std::make_unique<ScheduleEngine>(*m_host, m_systemClock, m_settings, m_record);
    acceptFileDrops(*ListBox1, [this](const QList<QUrl>& urls) { dropUrls(urls); });
    setFont(fittingFont(centralWidget(), 11));
    keepOuterMinimum();
    resize(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height());
    connectHandlers();
    guarded(this, [this] { FormCreate(); })();
}

// The host and the engine go before the controls they work on.
TFm_Cmain::~TFm_Cmain() = default;

QString TFm_Cmain::saveDialogFileName() const
{
    return m_host->saveDialogFileName();
}

void TFm_Cmain::connectHandlers()
{
    auto on = [this](auto* sender, auto signal, void (TFm_Cmain::*handler)()) {
        connect(sender, signal, this, guarded(this, [this, handler] { (this->*handler)(); }));
    };
    on(Btn_AddToList, &QPushButton::clicked, &TFm_Cmain::Btn_AddToListClick);
    on(AddToList1, &QAction::triggered, &TFm_Cmain::Btn_AddToListClick);
    on(Btn_Remove, &QPushButton::clicked, &TFm_Cmain::Btn_RemoveClick);
    on(DeleteFromList1, &QAction::triggered, &TFm_Cmain::Btn_RemoveClick);
    on(Btn_Clear, &QPushButton::clicked, &TFm_Cmain::Btn_ClearClick);
    on(ClearList1, &QAction::triggered, &TFm_Cmain::Btn_ClearClick);
    on(Btn_View, &QPushButton::clicked, &TFm_Cmain::Btn_ViewClick);
    on(View1, &QAction::triggered, &TFm_Cmain::View1Click);
    on(Trend1, &QAction::triggered, &TFm_Cmain::Trend1Click);
    on(Exit1, &QAction::triggered, &TFm_Cmain::Exit1Click);
    on(Btn_Convert, &QPushButton::clicked, &TFm_Cmain::Btn_ConvertClick);
    on(ConvertAll1, &QAction::triggered, &TFm_Cmain::Btn_ConvertClick);
    on(Btn_ConvertSelected, &QPushButton::clicked, &TFm_Cmain::Btn_ConvertSelectedClick);
    on(ConvertSelected1, &QAction::triggered, &TFm_Cmain::Btn_ConvertSelectedClick);
    on(SetInterval1, &QAction::triggered, &TFm_Cmain::SetInterval1Click);
    on(Start1, &QAction::triggered, &TFm_Cmain::Start1Click);
    on(Stop1, &QAction::triggered, &TFm_Cmain::Stop1Click);
    on(Btn_Stop, &QPushButton::clicked, &TFm_Cmain::Btn_StopClick);
    on(TMR_AS, &QTimer::timeout, &TFm_Cmain::TMR_ASTimer);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this,
            guarded(this, [this](QListWidgetItem* item) { ListBox1DblClick(item); }));
}

bool TFm_Cmain::event(QEvent* event)
{
    // The window system tells the frame only after the window is mapped, and
    // no event says when; so the floor is looked at again whenever the window
    // is shown, moved, resized or activated (a window manager activates a new
    // window, or the user does before resizing it).
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        keepOuterMinimum();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void TFm_Cmain::keepOuterMinimum()
{
    // The window system holds a window's minimum for its inside, without the
    // frame; the frame is taken off so the outer size keeps the floor. With no
    // frame (no window manager) inside and outside are one.
    const QSize frame = frameGeometry().size() - size();
    const QSize inside = (MinimumOuterSize - frame).expandedTo(QSize(0, 0));
    if (minimumSize() != inside)
        setMinimumSize(inside);
}

void TFm_Cmain::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* s = screen()) {
            QRect r = frameGeometry();
            r.moveCenter(s->availableGeometry().center());
            move(r.topLeft());
        }
    }
    QMainWindow::showEvent(event);
}

void TFm_Cmain::FormCreate()
{
    LoadSettings(m_settings, settingsFilePath());
}

void TFm_Cmain::Btn_AddToListClick()
{
    const QStringList files = dialogs().openFileNames(
        this, QStringLiteral("Select File(s)"), fromPath(m_settings.lastLoadDir), QString::fromLatin1(OpenFilter));
    if (files.isEmpty())
        return;
    m_settings.lastLoadDir = directoryPart(toPath(files.first()));
    SaveLastDirs(m_settings, settingsFilePath());
    appendFiles(files);
}

void TFm_Cmain::appendFiles(const QStringList& files)
{
    ListBox1->addItems(files);
    makeFirstItemCurrent(*ListBox1);
    setNote(QStringLiteral("%1 file(s) selected").arg(ListBox1->count()));
}

void TFm_Cmain::setNote(const QString& text)
{
    // The note is sized to its text and grows leftwards from its right edge;
    // the caption beside it moves along so the two never overlap.
    Lb_Note->setText(text);
    const int width = std::max(3, Lb_Note->fontMetrics().horizontalAdvance(text));
    const QRect note = m_anchors->designed(Lb_Note);
    m_anchors->redesign(Lb_Note, {note.right() + 1 - width, note.top(), width, note.height()});
    const QRect label = m_anchors->designed(Label1);
    m_anchors->redesign(Label1,
                        {note.right() + 1 - width - 7 - label.width(), label.top(), label.width(), label.height()});
}

void TFm_Cmain::Btn_RemoveClick()
{
    const int current = ListBox1->currentRow();
    if (current >= 0)
        delete ListBox1->takeItem(current);
}

void TFm_Cmain::Btn_ClearClick()
{
    ListBox1->clear();
}

void TFm_Cmain::view()
{
    // The display shows at most five; the first five selected, in list order.
    constexpr auto Shown = static_cast<std::size_t>(MaxWaves);
    std::vector<std::string> paths;
    for (int i = 0; i < ListBox1->count() && paths.size() < Shown; ++i)
        if (ListBox1->item(i)->isSelected())
            paths.push_back(toPath(ListBox1->item(i)->text()));
    if (!paths.empty())
        m_windows.showFiles(paths);
}

void TFm_Cmain::Btn_ViewClick()
{
    view();
}

void TFm_Cmain::View1Click()
{
    view();
}

void TFm_Cmain::Trend1Click()
{
    // A trend is of several strokes: with fewer than two selected, of the whole list.
    std::vector<std::string> selected;
    std::vector<std::string> all;
    for (int i = 0; i < ListBox1->count(); ++i) {
        all.push_back(toPath(ListBox1->item(i)->text()));
        if (ListBox1->item(i)->isSelected())
            selected.push_back(all.back());
    }
    m_windows.showTrend(selected.size() >= 2 ? selected : all);
}

void TFm_Cmain::ListBox1DblClick(QListWidgetItem* item)
{
    if (item)
        ListBox1->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    view();
}

void TFm_Cmain::Exit1Click()
{
    close();
}

void TFm_Cmain::Btn_ConvertClick()
{
    runBatchConversion(*m_host, BatchItems::All, m_record);
}

void TFm_Cmain::Btn_ConvertSelectedClick()
{
    runBatchConversion(*m_host, BatchItems::Selected, m_record);
}

void TFm_Cmain::dropUrls(const QList<QUrl>& urls)
{
    const DroppedFiles dropped = sortDroppedUrls(urls);
    // Dropping appends in the order given, like Add, but leaves the
    // remembered directories alone: only Add's dialog sets them.
    if (!dropped.files.isEmpty())
        appendFiles(dropped.files);
    if (!dropped.refused.isEmpty())
        dialogs().message(this, tr("Not added:\n%1").arg(dropped.refused.join(QLatin1Char('\n'))),
                          QString::fromUtf8(ApplicationTitle));
}

void TFm_Cmain::setScheduleControlsEnabled(bool enabled)
{
    Btn_AddToList->setEnabled(enabled);
    Btn_Remove->setEnabled(enabled);
    Btn_Clear->setEnabled(enabled);
    Btn_Convert->setEnabled(enabled);
    File1->menuAction()->setEnabled(enabled);
    Tool1->menuAction()->setEnabled(enabled);
    SetInterval1->setEnabled(enabled);
    Start1->setEnabled(enabled);
}

void TFm_Cmain::SetInterval1Click()
{
    m_windows.configureSchedule();
}

void TFm_Cmain::Start1Click()
{
    setScheduleControlsEnabled(false);
    m_schedule->start();
}

void TFm_Cmain::Stop1Click()
{
    m_schedule->stop();
    setScheduleControlsEnabled(true);
}

void TFm_Cmain::Btn_StopClick()
{
    Stop1Click();
}

void TFm_Cmain::TMR_ASTimer()
{
    m_schedule->tick();
}
