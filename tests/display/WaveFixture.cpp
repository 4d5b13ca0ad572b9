#include "WaveFixture.h"

#include "chart/SignatureChart.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QTest>
#include <QTimer>

WaveFixture::WaveFixture()
    : dialogs(new ScriptedDialogs), m_oldCurrent(QDir::currentPath()),
      m_scripted(std::unique_ptr<DialogService>(dialogs))
{
    QDir::setCurrent(m_dir.path());
    m_owner = std::make_unique<QMainWindow>();
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("ListBox1"));
    m_owner->setCentralWidget(list);
    m_cursor = std::make_unique<ListWidgetCursor>(*list);
    m_owner->show();
    title = new TFm_TitleEnter(m_owner.get());
    wave = new TWaveFrm(m_owner.get(), shown, reading, *title, *m_cursor);
}

WaveFixture::~WaveFixture()
{
    m_owner.reset(); // owns the display
    QDir::setCurrent(m_oldCurrent);
}

SignatureChart* WaveFixture::chart() const
{
    return wave->WaveChrt;
}

bool WaveFixture::view(const QList<SignatureRecord>& records, const QList<int>& unreadableWaves)
{
    std::vector<std::string> files;
    for (qsizetype k = 0; k < records.size(); ++k) {
        if (unreadableWaves.contains(k + 1)) {
            files.push_back(QFile::encodeName(path(QStringLiteral("gone%1.wav").arg(k + 1))).toStdString());
            continue;
        }
        QFile f(path(QStringLiteral("H%1.wav").arg(k + 1)));
        if (!f.open(QIODevice::WriteOnly))
            return false;
        const auto& bytes = records[k].bytes;
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        files.push_back(QFile::encodeName(f.fileName()).toStdString());
    }
    wave->setFiles(files);
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
