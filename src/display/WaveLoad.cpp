// The load pass of the signature display, over records and a chart: reading
// the files View handed over and drawing them as the twenty curves.
#include "display/WaveLoad.h"

#include "chart/SignatureChart.h"
#include "qtcore/LocalPath.h"
#include "signature/SignatureFile.h"

QStringList readWaveFiles(const std::array<std::string, MaxWaves>& paths, int count, SignatureRecord& reading,
                          std::array<SignatureRecord, MaxWaves>& records, UnreadableWaves& unreadable)
{
    QStringList problems;
    for (std::size_t k = 0; k < static_cast<std::size_t>(count) && k < paths.size() && !paths[k].empty(); ++k) {
        const std::string& path = paths[k];
        // The reader behind ReadSignatureFile, for the reason it gives.
        const IoResult read = readSignature(path, reading);
        unreadable[k] = !read;
        if (read) {
            records[k] = reading;
        } else {
            records[k] = SignatureRecord{};
            problems << QStringLiteral("Cannot open  %1  (%2)")
                            .arg(fromPath(path), QString::fromLocal8Bit(read.reason.c_str()));
        }
    }
    return problems;
}

void drawWaves(SignatureChart& chart, const std::array<SignatureRecord, MaxWaves>& records, int count,
               const UnreadableWaves& unreadable)
{
    auto drawn = [&](int wave) { return wave <= count && !unreadable[static_cast<std::size_t>(wave - 1)]; };

    // Each wave lies at its own record's angles, and the bottom axis holds
    // every shown wave's window. The points of one wave stay exactly where
    // they always were.
    QList<const SignatureRecord*> shown;
    for (int w = 1; w <= count; ++w)
        if (drawn(w))
            shown << &records[static_cast<std::size_t>(w - 1)];
    const AngleSpan span = windowSpan(shown);
    chart.setBottomRange(span.min, span.max);

    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        const int wave = i / SignatureRecord::ChannelCount + 1;
        if (drawn(wave)) {
            const SignatureRecord& record = records[static_cast<std::size_t>(wave - 1)];
            chart.replacePoints(i, curvePoints(record, i % SignatureRecord::ChannelCount, waveAngles(record)));
        } else {
            chart.replacePoints(i, {});
        }
        // Hidden, a series also leaves the legend.
        chart.setActive(i, drawn(wave));
    }
}

void startWaveChart(SignatureChart& chart)
{
    for (int i = 0; i < SignatureChart::SeriesCount; ++i)
        chart.setLineWidth(i, 1);
}

void clearWaves(SignatureChart& chart)
{
    for (int i = 0; i < SignatureChart::SeriesCount; ++i) {
        chart.replacePoints(i, {});
        chart.setActive(i, false);
    }
}
