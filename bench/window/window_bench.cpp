// Drives the real main window headless and times what users wait for:
// adding a very long list, Convert All against quorvex-convert -j 1 on the
// same files (with the longest pause of the event loop during the batch),
// and the start-up to the shown window. Prints figures; never fails on speed.
#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "samplegen/SampleSignature.h"
#include "settings/ConverterSettings.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Answers every dialog at once: the files to add, the save target, OK.
class InstantDialogs : public DialogService
{
public:
    QStringList files;
    QString target;
    QStringList openFileNames(QWidget*, const QString&, const QString&, const QString&) override { return files; }
    QString pickFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return target;
    }
    QString chooseDirectory(QWidget*, const QString&, const QString&) override { return target; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&, Overwrite) override
    {
        return target;
    }
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    void message(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override {}
    void error(QWidget*, const QString& text, const QString&) override
    {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

int startupChild()
{
    // Printed once the main window is on the (offscreen) screen.
    int argc = 1;
    char name[] = "window_bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    Program program;
    program.Fm_Cmain->show();
    if (!QTest::qWaitForWindowExposed(program.Fm_Cmain.get()))
        return 1;
    std::printf("%.3f\n", nowMs());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && !std::strcmp(argv[1], "--startup-child"))
        return startupChild();
    const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
    const QString converter = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("cfg")).toLocal8Bit());
    QApplication app(argc, argv);
    auto* dialogs = new InstantDialogs;
    setDialogService(std::unique_ptr<DialogService>(dialogs));
    auto program = std::make_unique<Program>();
    TFm_Cmain* const Fm_Cmain = program->Fm_Cmain.get();
    Fm_Cmain->show();
    if (!QTest::qWaitForWindowExposed(Fm_Cmain))
        return 1;

    // 1. Adding 100,000 paths in one Add.
    for (int i = 0; i < 100000; ++i)
        dialogs->files << QStringLiteral("/srv/press/line-7/2026-12-09/H%1").arg(i, 6, 10, QLatin1Char('0'));
    QElapsedTimer t;
    t.start();
    QTest::mouseClick(Fm_Cmain->Btn_AddToList, Qt::LeftButton);
    QCoreApplication::processEvents();
    const double addMs = t.nsecsElapsed() / 1e6;
    std::printf("add 100000 paths: %.1f ms (goal < 1000 ms)\n", addMs);
    Fm_Cmain->ListBox1->clear();

    // 2. Convert All over the same files as quorvex-convert -j 1.
    const QString in = work.filePath(QStringLiteral("in"));
    QDir().mkpath(in);
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const SignatureRecord r = makeSampleSignature(static_cast<std::uint32_t>(i));
        QFile f(QStringLiteral("%1/H%2").arg(in).arg(i, 5, 10, QLatin1Char('0')));
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<qint64>(r.bytes.size()));
        paths << f.fileName();
    }
    dialogs->files = paths;
    QTest::mouseClick(Fm_Cmain->Btn_AddToList, Qt::LeftButton);

    std::vector<double> window, tool, gaps;
    for (int rep = 0; rep < 3; ++rep) {
        const QString outWindow = work.filePath(QStringLiteral("w%1").arg(rep));
        const QString outTool = work.filePath(QStringLiteral("t%1").arg(rep));
        QDir().mkpath(outWindow);
        QDir().mkpath(outTool);

        // The event loop's turns during the batch: a zero timer notes each one.
        double lastTurn = 0, longest = 0;
        QTimer turns;
        turns.setInterval(0);
        QObject::connect(&turns, &QTimer::timeout, [&] {
            const double now = nowMs();
            if (lastTurn > 0)
                longest = std::max(longest, now - lastTurn);
            lastTurn = now;
        });
        dialogs->target = outWindow + QStringLiteral("/No Prefix");
        turns.start();
        t.start();
        QTest::mouseClick(Fm_Cmain->Btn_Convert, Qt::LeftButton);
        window.push_back(t.nsecsElapsed() / 1e6);
        turns.stop();
        gaps.push_back(longest);

        if (!converter.isEmpty()) {
            QProcess p;
            t.start();
            p.start(converter,
                    QStringList{QStringLiteral("-j"), QStringLiteral("1"), QStringLiteral("-o"), outTool} + paths);
            p.waitForFinished(-1);
            tool.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    std::printf("Convert All, %d files: median %.0f ms\n", files, median(window));
    if (!tool.empty())
        std::printf("quorvex-convert -j 1, same files: median %.0f ms; window/tool %.2f (goal <= 1.5)\n", median(tool),
                    median(window) / median(tool));
    std::printf("longest event-loop pause during a batch: %.1f ms (goal <= 100 ms)\n",
                *std::max_element(gaps.begin(), gaps.end()));
    program.reset();

    // 3. Start-up to the shown window, warm (the first run only warms caches).
    std::vector<double> startup;
    for (int i = 0; i < 6; ++i) {
        QProcess child;
        const double before = nowMs();
        child.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--startup-child")});
        child.waitForFinished(-1);
        const double shown = child.readAllStandardOutput().trimmed().toDouble();
        if (i > 0 && shown > 0)
            startup.push_back(shown - before);
    }
    if (!startup.empty())
        std::printf("start-up to main window shown (warm): median %.0f ms (goal < 300 ms)\n", median(startup));
    return 0;
}
