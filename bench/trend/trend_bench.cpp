// The Trend window offscreen over a generated production run: how soon the
// first rows show after the scan starts, the longest wait of the event loop
// while the files are read, the whole scan, the memory the strokes keep, a
// sort of every row by a peak column, and a repaint of the trend chart with
// every stroke. Prints figures; never fails on speed.
//
//   trend_bench [--files N] [--workdir DIR]
#include "TrendFiles.h"
#include "analysis/SummaryTable.h"
#include "trend/TrendTableModel.h"
#include "trend/TrendWindow.h"
#include "trendchart/TrendChart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int columnNamed(const char* name)
{
    const auto& columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return static_cast<int>(i);
    return -1;
}

struct ScanFigures
{
    double firstRowsMs = -1;
    double scanMs = 0;
    double longestGapMs = 0;
    int turns = 0;
};

// Starts the scan and runs the event loop until it ends, watching it turn.
ScanFigures timeScan(TrendWindow& window, const std::vector<std::string>& paths)
{
    ScanFigures f;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    // A timer due at once after every turn of the loop: the time between two
    // of its calls is how long the loop was kept from the user's input.
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        f.longestGapMs = std::max(f.longestGapMs, double(now - lastTurn) / 1e6);
        lastTurn = now;
        ++f.turns;
        if (f.firstRowsMs < 0 && window.model().rowCount() > 0)
            f.firstRowsMs = double(now) / 1e6;
    });
    clock.start();
    turn.start();
    window.showPaths(paths);
    lastTurn = clock.nsecsElapsed();
    while (window.scan().isRunning() || f.firstRowsMs < 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (clock.elapsed() > 600000)
            break;
    }
    f.scanMs = double(clock.nsecsElapsed()) / 1e6;
    turn.stop();
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::uint32_t files = 100000;
    fs::path work = fs::temp_directory_path() / "quorvex-summary-bench";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--files") && i + 1 < argc)
            files = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--workdir") && i + 1 < argc)
            work = argv[++i];
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    const std::vector<std::string> paths = trendStrokeFiles(work / "strokes", files);

    TrendWindow window(nullptr, [](const std::vector<std::string>&) {});
    window.resize(1200, 800);
    window.show();
    QCoreApplication::processEvents();

    // The first scan gives the memory the window takes for the strokes it
    // keeps (table, chart points, statistics) and warms the page cache; the
    // second is timed.
    const std::size_t before = residentBytes();
    timeScan(window, paths);
    malloc_trim(0); // what the scan's passing buffers left free goes back first
    const std::size_t after = residentBytes();
    window.showPaths({});
    while (window.scan().isRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const ScanFigures scan = timeScan(window, paths);

    std::printf("Trend window, %u files, offscreen at 1200 x 800\n", files);
    std::printf("  first rows in the table:  %7.1f ms after the scan started\n", scan.firstRowsMs);
    std::printf("  whole scan:               %7.1f ms (%.0f files/s)\n", scan.scanMs, files / scan.scanMs * 1000);
    std::printf("  longest wait of the event loop during the scan: %.1f ms (%d turns)\n", scan.longestGapMs,
                scan.turns);
    std::printf("  memory growth:            %7.0f bytes per stroke (resident, over the first scan)\n",
                (double(after) - double(before)) / files);

    // Sorting every row by a peak column, both ways, as a header click does.
    const int peak = columnNamed("Peak Ch1");
    std::vector<double> sortMs;
    for (int r = 0; r < 6; ++r) {
        QElapsedTimer t;
        t.start();
        window.model().sort(peak, r % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        sortMs.push_back(double(t.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
    }
    std::printf("  sort %d rows by \"Peak Ch1\": %.1f ms (median of 6, both directions)\n", window.model().rowCount(),
                median(sortMs));

    // The trend chart with every stroke, painted as the screen would.
    TrendChart& chart = *window.Chart;
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> paintMs;
    for (int r = 0; r < 15; ++r) {
        QPainter painter(&image);
        QElapsedTimer t;
        t.start();
        chart.renderChart(painter, QRect(QPoint(0, 0), chart.size()));
        paintMs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("  trend chart repaint, %d strokes at %d x %d: %.1f ms (median of 15)\n", chart.strokeCount(),
                chart.width(), chart.height(), median(paintMs));
    return 0;
}
