#include "display/WavePrintPage.h"

#include "PrintedTexts.h"
#include "chart/SignatureChart.h"
#include "common/SystemError.h"
#include "display/WaveRecords.h"
#include "metafile/EmfPaintDevice.h"
#include "metafile/EmfPicture.h"
#include "signature/NumberFormat.h"

#include <QDir>
#include <QPainter>

#include <algorithm>
#include <string>

namespace {

// A detail line holds at most 255 characters; an odd record (a time text
// without an early terminator) is cut there, as in the display's label.
constexpr std::size_t LineRoom = 255;

QString latin1(std::string text)
{
    if (text.size() > LineRoom)
        text.resize(LineRoom);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string rightAligned(std::string_view text, std::size_t width)
{
    std::string out(width > text.size() ? width - text.size() : 0, ' ');
    return out.append(text);
}

QString fileNamed(const QString& path)
{
    return QDir::current().absoluteFilePath(path);
}

} // namespace

void writeChartPicture(SignatureChart& chart, const QString& path)
{
    EmfPaintDevice picture(chart.size());
    QPainter painter(&picture);
    chart.renderChart(&painter, QRectF(QPointF(0, 0), QSizeF(chart.size())));
    painter.end();
    if (const IoResult written = picture.save(path); !written) {
        const QString why =
            picture.errorString().isEmpty() ? QString::fromLocal8Bit(written.reason.c_str()) : picture.errorString();
        throw SystemError(QStringLiteral("The chart could not be written to \"%1\" for printing: %2")
                              .arg(fileNamed(path), why)
                              .toStdString());
    }
}

EmfPicture readChartPicture(const QString& path)
{
    EmfPicture picture;
    if (const IoResult read = picture.loadFile(path); !read)
        throw SystemError(QStringLiteral("The chart could not be read from \"%1\" for printing: %2")
                              .arg(fileNamed(path), QString::fromLocal8Bit(read.reason.c_str()))
                              .toStdString());
    return picture;
}

QList<DetailRow> detailRows(const std::array<SignatureRecord, MaxWaves>& records, int count,
                            const std::array<bool, MaxWaves>& unreadable)
{
    QList<DetailRow> rows;
    const QString unread = QString::fromLatin1(UnreadableWave);
    if (count == 1) {
        // Blank texts and zero peaks would pass for a real stroke.
        if (unreadable[0])
            return {DetailRow{QStringLiteral("Wave1:"), unread, 0.10}};
        const SignatureRecord& r = records[0];
        constexpr double peakRows[SignatureRecord::ChannelCount] = {0.16, 0.18, 0.20, 0.22};
        rows << DetailRow{QStringLiteral("Date:"), latin1(std::string(r.dateText())), 0.10}
             << DetailRow{QStringLiteral("Time:"), latin1(std::string(r.timeText())), 0.12}
             << DetailRow{QStringLiteral("Job:"), latin1(std::string(r.jobName())), 0.14};
        for (int c = 0; c < SignatureRecord::ChannelCount; ++c)
            rows << DetailRow{QStringLiteral("Ch%1:").arg(c + 1),
                              latin1(numfmt::fixed1Text(static_cast<double>(r.peak(c)))), peakRows[c]};
        return rows;
    }
    const int waves = std::clamp(count, 0, static_cast<int>(records.size()));
    for (int k = 1; k <= waves; ++k) {
        const auto slot = static_cast<std::size_t>(k - 1);
        const QString label = QStringLiteral("Wave%1:").arg(k);
        const double y = 0.10 + 0.03 * (k - 1);
        if (unreadable[slot]) {
            rows << DetailRow{label, unread, y};
            continue;
        }
        const SignatureRecord& r = records[slot];
        std::string line;
        line.append(r.dateText()).append("  ").append(r.timeText()).append("  ");
        line.append(rightAligned(r.jobName(), 15));
        for (int c = 0; c < SignatureRecord::ChannelCount; ++c)
            line.append("  Ch")
                .append(std::to_string(c + 1))
                .append(":")
                .append(numfmt::fixed1Text(static_cast<double>(r.peak(c))));
        rows << DetailRow{label, latin1(std::move(line)), y};
    }
    return rows;
}

void drawSignaturePage(QPainter& painter, int W, int H, const EmfPicture& chart, const QString& title,
                       const QList<DetailRow>& rows)
{
    chart.play(&painter, QRectF(QPointF(pagePixel(0.03, W), pagePixel(0.30, H)),
                                QPointF(pagePixel(0.96, W), pagePixel(0.90, H))));

    PrintedTexts texts = placePrintedTexts(W, H, title, rows);
    fitPrintedTexts(texts, painter.font(), painter.device(), W, H);
    drawPrintedTexts(painter, texts, W, H);

    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    const QPoint corners[] = {{0, 0}, {W, 0}, {W, H}, {0, H}, {0, 0}};
    painter.drawPolyline(corners, 5);
}
