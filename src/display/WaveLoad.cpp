// The load pass of the signature display: reads the files View handed over
// and shows them as the label, the wave menus and the twenty curves.
#include "AppInfo.h"
#include "DialogService.h"
#include "LocalPath.h"
#include "SignatureChart.h"
#include "SignatureFile.h"
#include "TWaveFrm.h"
#include "ViewHandoff.h"
#include "WaveRecords.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStringList>
#include <QTimer>

void TWaveFrm::TMR_InitTimer()
{
    TMR_Init->stop(); // one showing, one pass
    const int count = viewFileCount;
    const bool countKnown = count >= 1 && count <= MaxWaves;

    // Every read goes through the program's shared record and is copied whole
    // into the wave's slot. A file that cannot be read leaves its slot zeroed
    // and its curves empty, so no wave is ever shown under another file's name.
    std::array<bool, MaxWaves> unread{};
    QStringList unreadable;
    if (countKnown) {
        for (std::size_t k = 0; k < static_cast<std::size_t>(count) && !viewFileNames[k].empty(); ++k) {
            const std::string& path = viewFileNames[k];
            // The reader behind ReadSignatureFile, for the reason it gives.
            const IoResult read = readSignature(path, currentSignature);
            if (read) {
                waveRecords[k] = currentSignature;
            } else {
                waveRecords[k] = SignatureRecord{};
                unread[k] = true;
                unreadable << QStringLiteral("Cannot open  %1  (%2)")
                                  .arg(fromPath(path),
                                       QString::fromLocal8Bit(read.reason.c_str()));
            }
        }
    }

    setRecordLabel(QString::fromLatin1(recordLabelText(waveRecords[0], count)));

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

    for (int w = 1; w <= count; ++w) {
        waveMenu(w)->menuAction()->setVisible(true);
        for (int c = 1; c <= SignatureRecord::ChannelCount; ++c)
            channelItem(w, c)->setChecked(true);
    }

    // Every wave is drawn on wave 1's angles, whatever its own window. When
    // wave 1 could not be read, the first wave that could sets the scale, so
    // the others are not squeezed onto an empty window.
    std::size_t scale = 0;
    while (scale + 1 < static_cast<std::size_t>(count) && unread[scale])
        ++scale;
    const SignatureRecord& first = waveRecords[scale];
    WaveChrt->setBottomRange(first.windowStartAngle(), first.windowEndAngle());
    const WaveAngles angles = waveAngles(first);
    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        const int wave = i / SignatureRecord::ChannelCount;
        const bool shown = wave < count;
        if (shown && !unread[static_cast<std::size_t>(wave)])
            WaveChrt->replacePoints(
                i, curvePoints(waveRecords[static_cast<std::size_t>(wave)], i % SignatureRecord::ChannelCount, angles));
        else
            WaveChrt->replacePoints(i, {});
        WaveChrt->setActive(i, shown);
    }

    if (!unreadable.isEmpty())
        dialogs().message(this, unreadable.join(QLatin1Char('\n')), QString::fromUtf8(ApplicationTitle));
}
