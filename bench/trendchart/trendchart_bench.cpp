// Times the trend chart with a full scan's strokes: 100,000 strokes of four
// channels drifting slowly with noise, 1% out of limits, a few selected.
// A repaint of 1000 x 500 pixels should take under 16 ms (one frame); batches
// arriving during a scan and the lookup behind every mouse move should cost
// far less. Prints the times; never fails on them.
#include "trendchart/TrendChart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int Strokes = 100000;
const QSize ChartSize(1000, 500);

std::vector<TrendStroke> scan(int count, double firstX = 0)
{
    std::mt19937 rng(1234);
    std::normal_distribution<float> noise(0, 4);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<TrendStroke> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        TrendStroke& s = v[static_cast<std::size_t>(i)];
        s.x = firstX + i;
        const float drift = static_cast<float>(20 * std::sin(i / 15000.0));
        for (int c = 0; c < TrendChannels; ++c) {
            s.peak[static_cast<std::size_t>(c)] = 400.0f + 60.0f * static_cast<float>(c) + drift + noise(rng);
            s.outOfLimits[static_cast<std::size_t>(c)] = percent(rng) == 0;
        }
    }
    return v;
}

void setUp(TrendChart& chart)
{
    chart.resize(ChartSize);
    chart.setStrokes(scan(Strokes));
    TrendLimits limits;
    for (std::size_t c = 0; c < TrendChannels; ++c) {
        limits.target[c] = 400.0 + 60.0 * static_cast<double>(c);
        limits.low[c] = *limits.target[c] - 30;
        limits.high[c] = *limits.target[c] + 30;
    }
    chart.setLimits(limits);
    std::vector<int> selected;
    for (int i = 0; i < 50; ++i)
        selected.push_back(i * 1999);
    chart.setSelected(selected);
}

void BM_repaint(benchmark::State& state)
{
    TrendChart chart;
    setUp(chart);
    if (state.range(0))
        chart.zoomTo({20000, 30000, 380, 520});
    QImage image(ChartSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        chart.renderChart(painter, image.rect());
    }
    state.SetLabel(state.range(0) ? "zoomed to 10,000 strokes" : "all 100,000 strokes");
}
BENCHMARK(BM_repaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);

// A scan's rows arriving: 100 batches of 1,000, timed together, then one repaint.
void BM_appendBatches(benchmark::State& state)
{
    const std::vector<TrendStroke> all = scan(Strokes);
    TrendChart chart;
    chart.resize(ChartSize);
    for (auto _ : state) {
        chart.setStrokes({});
        for (std::size_t i = 0; i < all.size(); i += 1000)
            chart.appendStrokes(std::span(all).subspan(i, 1000));
        benchmark::DoNotOptimize(chart.strokeCount());
    }
    // Seconds per batch.
    state.counters["per_batch"] = benchmark::Counter(static_cast<double>(state.iterations()) * 100,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_appendBatches)->Unit(benchmark::kMillisecond);

// The lookup behind a mouse move, across the plot; the first move after a
// change also rebuilds the column index (timed apart below).
void BM_hoverLookup(benchmark::State& state)
{
    TrendChart chart;
    setUp(chart);
    const QRect plot = chart.plotArea();
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> px(plot.left(), plot.right());
    std::uniform_int_distribution<int> py(plot.top(), plot.bottom());
    std::vector<QPoint> points(4096);
    for (QPoint& p : points)
        p = {px(rng), py(rng)};
    std::size_t k = 0;
    int hits = 0;
    for (auto _ : state) {
        hits += chart.strokeAt(points[k++ % points.size()]) >= 0;
    }
    state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_hoverLookup)->Unit(benchmark::kMicrosecond);

// The worst case for the column index: every stroke at one x (a scan of files
// that all carry the same time), so one column holds all of them.
void BM_hoverLookupOneColumn(benchmark::State& state)
{
    TrendChart chart;
    std::vector<TrendStroke> all = scan(Strokes);
    for (TrendStroke& s : all)
        s.x = 1767225600;
    chart.resize(ChartSize);
    chart.setStrokes(std::move(all));
    const QRect plot = chart.plotArea();
    const QPoint at(plot.center().x(), plot.top() + plot.height() / 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.strokeAt(at));
}
BENCHMARK(BM_hoverLookupOneColumn)->Unit(benchmark::kMillisecond);

void BM_hoverAfterChange(benchmark::State& state)
{
    TrendChart chart;
    setUp(chart);
    const QPoint at = chart.plotArea().center();
    for (auto _ : state) {
        chart.setChannelVisible(0, true); // any change drops the index
        benchmark::DoNotOptimize(chart.strokeAt(at));
    }
}
BENCHMARK(BM_hoverAfterChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
