// The load pass of the signature display: reads the files View handed over
// and shows them as the label, the wave menus and the twenty curves.
#include "chart/SignatureChart.h"
#include "display/TWaveFrm.h"
#include "display/WaveRecords.h"
#include "display/WaveView.h"
#include "signature/SignatureFile.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"
#include "ui/LocalPath.h"

#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTimer>

QStringList TWaveFrm::readWaveFiles(int count)
{
    // Every read goes through the program's shared record and is copied whole
    // into the wave's slot. A file that cannot be read leaves its slot zeroed
    // and its wave empty, so no wave is ever shown under another file's name.
    QStringList problems;
    for (std::size_t k = 0; k < static_cast<std::size_t>(count) && !m_view.viewFileNames[k].empty(); ++k) {
        const std::string& path = m_view.viewFileNames[k];
        // The reader behind ReadSignatureFile, for the reason it gives.
        const IoResult read = readSignature(path, m_reading);
        m_unreadable[k] = !read;
        if (read) {
            m_view.waveRecords[k] = m_reading;
        } else {
            m_view.waveRecords[k] = SignatureRecord{};
            problems << QStringLiteral("Cannot open  %1  (%2)")
                            .arg(fromPath(path), QString::fromLocal8Bit(read.reason.c_str()));
        }
    }
    return problems;
}

void TWaveFrm::showWaves(int count)
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

    // Each wave lies at its own record's angles, and the bottom axis holds
    // every shown wave's window. The points of one wave stay exactly where
    // they always were.
    QList<const SignatureRecord*> drawn;
    for (int w = 1; w <= count; ++w)
        if (!isUnreadable(w))
            drawn << &m_view.waveRecords[static_cast<std::size_t>(w - 1)];
    const AngleSpan span = windowSpan(drawn);
    WaveChrt->setBottomRange(span.min, span.max);

    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        const int wave = i / SignatureRecord::ChannelCount + 1;
        const bool shown = wave <= count && !isUnreadable(wave);
        if (shown) {
            const SignatureRecord& record = m_view.waveRecords[static_cast<std::size_t>(wave - 1)];
            WaveChrt->replacePoints(i, curvePoints(record, i % SignatureRecord::ChannelCount, waveAngles(record)));
        } else {
            WaveChrt->replacePoints(i, {});
        }
        // Hidden, a series also leaves the legend.
        WaveChrt->setActive(i, shown);
    }
}

void TWaveFrm::TMR_InitTimer()
{
    TMR_Init->stop(); // one showing, one pass
    const int count = m_view.viewFileCount;
    const bool countKnown = count >= 1 && count <= MaxWaves;
    const QStringList unreadable = countKnown ? readWaveFiles(count) : QStringList();

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
        for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
            WaveChrt->replacePoints(i, {});
            WaveChrt->setActive(i, false);
        }
        dialogs().error(this, QStringLiteral("Unknown Filecount"), QStringLiteral("ERROR"));
        close();
        return;
    }

    showWaves(count);
    if (!unreadable.isEmpty())
        dialogs().warning(this, unreadable.join(QLatin1Char('\n')), QString::fromUtf8(ApplicationTitle));
}
