#include "display/TWaveFrm.h"

#include "WavePrinting.h"
#include "chart/SignatureChart.h"
#include "common/SystemError.h"
#include "display/ChartFile.h"
#include "display/FileListCursor.h"
#include "display/WaveLoad.h"
#include "display/WaveRecords.h"
#include "display/WaveView.h"
#include "qtcore/LocalPath.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"
#include "ui/ErrorGuard.h"
#include "ui/FontFit.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

TWaveFrm::TWaveFrm(QWidget* owner, WaveView& view, SignatureRecord& reading, TFm_TitleEnter& title,
                   FileListCursor& files)
    : QDialog(owner), m_view(view), m_reading(reading), m_files(files),
      m_printing(std::make_unique<WavePrinting>(title))
{
    setObjectName(QStringLiteral("WaveFrm"));
    setWindowTitle(QStringLiteral("Signature Display"));
    buildControls();
    buildMenus();
    setFont(fittingFont(this, 11));
    // The client area keeps its designed size below the menu bar.
    resize(ClientSize.width(), ClientSize.height() + WaveMainMenu->sizeHint().height());
    connectHandlers();
    guarded(this, [this] { FormCreate(); })();
}

TWaveFrm::~TWaveFrm() = default;

void TWaveFrm::setFiles(const std::vector<std::string>& paths)
{
    m_view.viewFileNames.fill(std::string());
    const std::size_t taken = std::min(paths.size(), m_view.viewFileNames.size());
    std::copy_n(paths.begin(), taken, m_view.viewFileNames.begin());
    m_view.viewFileCount = static_cast<std::int16_t>(taken);
}

void TWaveFrm::showFiles(const std::vector<std::string>& paths)
{
    setFiles(paths);
    exec();
}

void TWaveFrm::connectHandlers()
{
    auto onItem = [this](QAction* item, void (TWaveFrm::*handler)()) {
        connect(item, &QAction::triggered, this, guarded(this, [this, item, handler](bool checked) {
                    // Qt ticks a checkable item before it reports the choice;
                    // here the handler owns the tick, so Qt's is taken back.
                    if (item->isCheckable())
                        item->setChecked(!checked);
                    (this->*handler)();
                }));
    };
    auto onButton = [this](QPushButton* button, void (TWaveFrm::*handler)()) {
        connect(button, &QPushButton::clicked, this, guarded(this, [this, handler] { (this->*handler)(); }));
    };

    onItem(Save1, &TWaveFrm::Save1Click);
    onItem(ExportChart1, &TWaveFrm::ExportChart1Click);
    onItem(CopyChart1, &TWaveFrm::CopyChart1Click);
    onItem(Print1, &TWaveFrm::Print1Click);
    onItem(Exit1, &TWaveFrm::Exit1Click);
    static constexpr void (TWaveFrm::*channelHandlers[MaxWaves][4])() = {
        {&TWaveFrm::W1Ch1Click, &TWaveFrm::W1Ch2Click, &TWaveFrm::W1Ch3Click, &TWaveFrm::W1Ch4Click},
        {&TWaveFrm::W2Ch1Click, &TWaveFrm::W2Ch2Click, &TWaveFrm::W2Ch3Click, &TWaveFrm::W2Ch4Click},
        {&TWaveFrm::W3Ch1Click, &TWaveFrm::W3Ch2Click, &TWaveFrm::W3Ch3Click, &TWaveFrm::W3Ch4Click},
        {&TWaveFrm::W4Ch1Click, &TWaveFrm::W4Ch2Click, &TWaveFrm::W4Ch3Click, &TWaveFrm::W4Ch4Click},
        {&TWaveFrm::W5Ch1Click, &TWaveFrm::W5Ch2Click, &TWaveFrm::W5Ch3Click, &TWaveFrm::W5Ch4Click}};
    for (int w = 1; w <= MaxWaves; ++w)
        for (int c = 1; c <= 4; ++c)
            onItem(channelItem(w, c), channelHandlers[w - 1][c - 1]);
    onItem(Bold1, &TWaveFrm::Bold1Click);
    onItem(HideLegend1, &TWaveFrm::HideLegend1Click);
    onItem(Next2, &TWaveFrm::BBtn_NextClick);
    onItem(Previous1, &TWaveFrm::BBtn_PrevClick);
    onButton(BBtn_Next, &TWaveFrm::BBtn_NextClick);
    onButton(BBtn_Prev, &TWaveFrm::BBtn_PrevClick);
    connect(TMR_Init, &QTimer::timeout, this, guarded(this, [this] { TMR_InitTimer(); }));
}

QMenu* TWaveFrm::waveMenu(int wave) const
{
    const std::array<QMenu*, MaxWaves> menus{Wave1, Wave2, Wave3, Wave4, Wave5};
    return menus.at(static_cast<std::size_t>(wave - 1));
}

QAction* TWaveFrm::channelItem(int wave, int channel) const
{
    return waveMenu(wave)->actions().at(channel - 1);
}

void TWaveFrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Restoring a minimised window is not a new showing.
    if (!event->spontaneous())
        guarded(this, [this] { FormShow(); })();
}

void TWaveFrm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // Closed before its first tick: the pass belonged to that showing.
    if (!event->spontaneous())
        TMR_Init->stop();
}

void TWaveFrm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    fitRecordLabel();
}

void TWaveFrm::setRecordLabel(const QString& text)
{
    RecordLbl->setText(text);
    fitRecordLabel();
}

void TWaveFrm::fitRecordLabel()
{
    // The label runs under the arrow buttons; a long job name or large peaks
    // would hide the end of the line behind them, so the type shrinks instead.
    constexpr int DesignedPixels = 13;
    constexpr int SmallestPixels = 7;
    const int room = BBtn_Prev->geometry().left() - RecordLbl->geometry().left() - RecordLbl->indent() - 4;
    const QFont font = shrinkToFit(RecordLbl->font(), DesignedPixels, SmallestPixels, [this, room](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(RecordLbl->text()) <= room;
    });
    RecordLbl->setFont(font);
}

void TWaveFrm::FormCreate()
{
    startWaveChart(*WaveChrt);
}

void TWaveFrm::FormShow()
{
    // The window is on screen before the files are read: the pass waits for
    // the timer's first tick.
    TMR_Init->start();
}

void TWaveFrm::toggleChannel(int wave, int channel)
{
    // Check mark and curve each flip from their own state.
    QAction* item = channelItem(wave, channel);
    item->setChecked(!item->isChecked());
    const int index = SignatureChart::seriesIndex(wave, channel);
    WaveChrt->setActive(index, !WaveChrt->isActive(index));
}

void TWaveFrm::Bold1Click()
{
    // Only the curves shown change; a hidden one keeps its width for when it
    // comes back.
    const bool bold = Bold1->isChecked();
    for (int i = 0; i < SignatureChart::SeriesCount; ++i)
        if (WaveChrt->isActive(i))
            WaveChrt->setLineWidth(i, bold ? 1 : 2);
    Bold1->setChecked(!bold);
    WaveChrt->viewport()->update();
}

void TWaveFrm::HideLegend1Click()
{
    const bool hidden = HideLegend1->isChecked();
    WaveChrt->setLegendVisible(hidden);
    HideLegend1->setChecked(!hidden);
}

void TWaveFrm::stepFileList(int delta)
{
    const int count = m_files.count();
    const int current = m_files.current();
    // No wrap-around: the first and the last file stay where they are.
    if (delta > 0 ? current < count - 1 : current > 0)
        m_files.setCurrent(current + delta);
    const int index = m_files.current();
    if (index < 0 || index >= m_files.count())
        throw SystemError("List index out of bounds (" + std::to_string(index) + ")");
    m_view.viewFileNames[0] = m_files.text(index);
    TMR_InitTimer();
}

void TWaveFrm::BBtn_NextClick()
{
    stepFileList(+1);
}

void TWaveFrm::BBtn_PrevClick()
{
    stepFileList(-1);
}

void TWaveFrm::Print1Click()
{
    m_printing->print(this, *WaveChrt, m_view, m_unreadable, *Pn_Printing);
}

void TWaveFrm::PrintSignaturePage()
{
    m_printing->printPage(this, m_view, m_unreadable, *Pn_Printing);
}

void TWaveFrm::ExportChart1Click()
{
    // Unlike Save Bitmap, the name chooses the format, so the dialog lists
    // only what the writer can make; an existing file is replaced only when
    // the user says so.
    static constexpr char ChartFilter[] =
        "PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";
    const QString path = dialogs().saveFileName(this, QString(), QString(), QStringLiteral("Wave.png"),
                                                QString::fromLatin1(ChartFilter), DialogService::Overwrite::Ask);
    if (path.isEmpty())
        return;
    // The picture is what the user sees, at the size it is seen.
    writeChartFile(*WaveChrt, path, WaveChrt->size());
}

void TWaveFrm::CopyChart1Click()
{
    QGuiApplication::clipboard()->setImage(chartImage(*WaveChrt, WaveChrt->size()));
}

void TWaveFrm::Exit1Click()
{
    close();
}

void TWaveFrm::showWaveMenus(int count)
{
    // An unreadable wave keeps its menu, so the numbering of the others stays
    // plain, but has nothing to tick.
    for (int w = 1; w <= count; ++w) {
        const bool readable = !isUnreadable(w);
        waveMenu(w)->menuAction()->setVisible(true);
        for (int c = 1; c <= SignatureRecord::ChannelCount; ++c) {
            QAction* item = channelItem(w, c);
            item->setChecked(readable);
            item->setEnabled(readable);
        }
    }
}

void TWaveFrm::TMR_InitTimer()
{
    TMR_Init->stop(); // one showing, one pass
    const int count = m_view.viewFileCount;
    const bool countKnown = count >= 1 && count <= MaxWaves;
    const QStringList unreadable =
        countKnown ? readWaveFiles(m_view.viewFileNames, count, m_reading, m_view.waveRecords, m_unreadable)
                   : QStringList();

    // A single wave whose file could not be read has no record to describe;
    // zeros in its place would read as a real stroke.
    if (count == 1 && isUnreadable(1))
        setRecordLabel(QStringLiteral("%1  %2").arg(QFileInfo(fromPath(m_view.viewFileNames[0])).fileName(),
                                                    QLatin1String(UnreadableWave)));
    else
        setRecordLabel(QString::fromLatin1(recordLabelText(m_view.waveRecords[0], count)));

    for (int w = 1; w <= MaxWaves; ++w)
        waveMenu(w)->menuAction()->setVisible(false);

    if (!countKnown) {
        clearWaves(*WaveChrt);
        dialogs().error(this, QStringLiteral("Unknown Filecount"), QStringLiteral("ERROR"));
        close();
        return;
    }

    showWaveMenus(count);
    drawWaves(*WaveChrt, m_view.waveRecords, count, m_unreadable);
    if (!unreadable.isEmpty())
        dialogs().warning(this, unreadable.join(QLatin1Char('\n')), QString::fromUtf8(ApplicationTitle));
}
