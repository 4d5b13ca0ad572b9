#include "EmfTestSupport.h"
#include "metafile/EmfPaintDevice.h"
#include "metafile/EmfPicture.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <uemf.h>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>

namespace {

constexpr int kSeries = 20;
constexpr int kPoints = 448;
const QSize kViewSize(790, 522);

// A load chart as the display shows it, in black-on-white export colours.
std::unique_ptr<QChartView> loadChart()
{
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Load"));
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundBrush(Qt::white);
    chart->legend()->setAlignment(Qt::AlignRight);
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setRange(0, kPoints - 1);
    y->setRange(-100, 1200);
    y->setTitleText(QStringLiteral("Load [kN]"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (int s = 0; s < kSeries; ++s) {
        auto* series = new QLineSeries;
        series->setName(QStringLiteral("Ch%1").arg(s + 1));
        QList<QPointF> points;
        points.reserve(kPoints);
        for (int i = 0; i < kPoints; ++i)
            points.append(QPointF(i, 500 + 450 * std::sin(i * 0.02 + s * 0.3) + 10 * s));
        series->replace(points);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    auto view = std::make_unique<QChartView>(chart);
    view->resize(kViewSize);
    view->show();
    chart->layout()->activate();
    return view;
}

void renderChart(QChartView& view, QPaintDevice* device)
{
    view.chart()->layout()->activate();
    QPainter painter(device);
    view.scene()->render(&painter, QRectF(QPointF(0, 0), kViewSize), QRectF(QPointF(0, 0), kViewSize));
}

} // namespace

TEST(EmfChart, ARealChartBecomesAFewPolylines)
{
    const auto view = loadChart();
    EmfPaintDevice device(kViewSize);
    renderChart(*view, &device);
    ASSERT_TRUE(device.errorString().isEmpty()) << device.errorString().toStdString();
    EXPECT_EQ(device.droppedImageCount(), 0) << "the chart drew pixmaps the metafile cannot hold";
    const QByteArray file = device.data();
    int polylines = 0;
    int texts = 0;
    for (const RecordInfo& r : walkRecords(file)) {
        polylines += r.type == U_EMR_POLYLINE16 || r.type == U_EMR_POLYLINE;
        texts += r.type == U_EMR_EXTTEXTOUTW;
    }
    // The chart engine draws each series as hundreds of one-segment lines.
    EXPECT_LT(polylines, 150);
    EXPECT_GT(texts, kSeries) << "legend entries, tick labels and titles";
    EXPECT_LT(file.size(), 100 * 1024);
    std::cout << "chart metafile: " << file.size() << " bytes, " << polylines << " polylines, " << texts << " texts\n";
}

TEST(EmfChart, ReplayedChartLooksLikeTheChart)
{
    const auto view = loadChart();
    EmfPaintDevice device(kViewSize);
    renderChart(*view, &device);
    QImage direct(kViewSize, QImage::Format_RGB32);
    direct.fill(Qt::white);
    renderChart(*view, &direct);
    const QImage played = playToImage(device.data(), kViewSize);
    EXPECT_LT(differingShare(direct, played), 0.01);
    EXPECT_LT(worstTile(direct, played), 0.03);
}

TEST(EmfChart, WritingTime)
{
    // Reported, not asserted: speed targets belong to the benchmarks.
    const auto view = loadChart();
    QElapsedTimer timer;
    timer.start();
    EmfPaintDevice first(kViewSize); // includes the chart's first layout and glyph caches
    renderChart(*view, &first);
    const double firstMs = timer.nsecsElapsed() / 1e6;
    constexpr int runs = 20;
    timer.restart();
    qint64 bytes = 0;
    for (int i = 0; i < runs; ++i) {
        EmfPaintDevice device(kViewSize);
        renderChart(*view, &device);
        bytes += device.data().size();
    }
    const double ms = timer.nsecsElapsed() / 1e6 / runs;
    std::cout << "writing the metafile of " << kSeries << " x " << kPoints << " points: first " << firstMs
              << " ms, then " << ms << " ms per chart\n";
    RecordProperty("firstWriteMilliseconds", QString::number(firstMs, 'f', 2).toStdString());
    RecordProperty("writeMilliseconds", QString::number(ms, 'f', 2).toStdString());
    EXPECT_GT(bytes, 0);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
