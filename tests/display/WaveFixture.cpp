#include "WaveFixture.h"

#include "chart/SignatureChart.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/ViewHandoff.h"
#include "display/WaveRecords.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

WaveFixture::WaveFixture() : m_oldCurrent(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    dialogs = new ScriptedDialogs;
    setDialogService(std::unique_ptr<DialogService>(dialogs));
    m_owner = std::make_unique<QMainWindow>();
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("ListBox1"));
    m_owner->setCentralWidget(list);
    m_owner->show();
    wave = new TWaveFrm(m_owner.get());
    WaveFrm = wave;
    title = new TFm_TitleEnter(m_owner.get());
    Fm_TitleEnter = title;
    waveRecords.fill(SignatureRecord{});
}

WaveFixture::~WaveFixture()
{
    m_owner.reset(); // owns the display
    WaveFrm = nullptr;
    Fm_TitleEnter = nullptr;
    QDir::setCurrent(m_oldCurrent);
}

SignatureChart* WaveFixture::chart() const
{
    return wave->WaveChrt;
}

bool WaveFixture::view(const QList<SignatureRecord>& records, const QList<int>& unreadableWaves)
{
    viewFileNames.fill(std::string());
    for (qsizetype k = 0; k < records.size(); ++k) {
        if (unreadableWaves.contains(k + 1)) {
            viewFileNames[static_cast<std::size_t>(k)] =
                QFile::encodeName(path(QStringLiteral("gone%1.wav").arg(k + 1))).toStdString();
            continue;
        }
        QFile f(path(QStringLiteral("H%1.wav").arg(k + 1)));
        if (!f.open(QIODevice::WriteOnly))
            return false;
        const auto& bytes = records[k].bytes;
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        viewFileNames[static_cast<std::size_t>(k)] = QFile::encodeName(f.fileName()).toStdString();
    }
    viewFileCount = static_cast<std::int16_t>(records.size());
    wave->show();
    const bool loaded =
        QTest::qWaitFor([this] { return !wave->TMR_Init->isActive(); }) && QTest::qWaitForWindowExposed(wave);
    // The user looks before choosing a command: the chart has laid itself out.
    QCoreApplication::processEvents();
    return loaded;
}

void WaveFixture::keepOnly(const QList<int>& seriesIndices)
{
    for (int i = 0; i < SignatureChart::SeriesCount; ++i)
        if (chart()->isActive(i) && !seriesIndices.contains(i))
            wave->channelItem(i / 4 + 1, i % 4 + 1)->trigger();
    QCoreApplication::processEvents();
}
