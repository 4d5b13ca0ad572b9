#include "WavePrintPage.h"

#include "EmfPaintDevice.h"
#include "EmfPicture.h"
#include "SignatureChart.h"
#include "SystemError.h"
#include "WaveRecords.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <string>

namespace {

// A detail line holds at most 255 characters; an odd record (a time text
// without an early terminator) is cut there, as in the display's label.
constexpr std::size_t LineRoom = 255;
// Type is never set smaller than this to make a text fit; what still does not
// fit is cut with an ellipsis.
constexpr qreal SmallestPoints = 6;

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

// Whole device pixels, as every position on the page is: truncated toward zero.
int at(double fraction, int extent)
{
    return static_cast<int>(fraction * extent);
}

struct PlacedText
{
    QString text;
    QPoint topLeft;
    qreal roomWidth; // up to the next text or the frame
};

// The largest size, from points down to SmallestPoints in half points, at which
// every text keeps within its room and one line stays within lineRoom.
QFont fittedFont(QFont font, qreal points, const QPaintDevice* device, const QList<PlacedText>& texts, qreal lineRoom)
{
    for (qreal size = points;; size -= 0.5) {
        font.setPointSizeF(size);
        if (size <= SmallestPoints)
            return font;
        const QFontMetricsF metrics(font, device);
        const bool fits = metrics.ascent() + metrics.descent() <= lineRoom &&
                          std::all_of(texts.begin(), texts.end(), [&](const PlacedText& t) {
                              return metrics.horizontalAdvance(t.text) <= t.roomWidth;
                          });
        if (fits)
            return font;
    }
}

// Texts are placed by the top-left corner of their line.
void drawTexts(QPainter& painter, qreal points, const QList<PlacedText>& texts, qreal lineRoom)
{
    painter.setFont(fittedFont(painter.font(), points, painter.device(), texts, lineRoom));
    const QFontMetricsF metrics(painter.font(), painter.device());
    for (const PlacedText& t : texts) {
        const QString shown = metrics.elidedText(t.text, Qt::ElideRight, t.roomWidth);
        painter.drawText(QPointF(t.topLeft.x(), t.topLeft.y() + metrics.ascent()), shown);
    }
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

QList<DetailRow> detailRows(const std::array<SignatureRecord, 5>& records, int count)
{
    QList<DetailRow> rows;
    if (count == 1) {
        const SignatureRecord& r = records[0];
        constexpr double peakRows[SignatureRecord::ChannelCount] = {0.16, 0.18, 0.20, 0.22};
        rows << DetailRow{QStringLiteral("Date:"), latin1(std::string(r.dateText())), 0.10}
             << DetailRow{QStringLiteral("Time:"), latin1(std::string(r.timeText())), 0.12}
             << DetailRow{QStringLiteral("Job:"), latin1(std::string(r.jobName())), 0.14};
        for (int c = 0; c < SignatureRecord::ChannelCount; ++c)
            rows << DetailRow{QStringLiteral("Ch%1:").arg(c + 1), latin1(fixed1(static_cast<double>(r.peak(c)))),
                              peakRows[c]};
        return rows;
    }
    const int waves = std::clamp(count, 0, static_cast<int>(records.size()));
    for (int k = 1; k <= waves; ++k) {
        const SignatureRecord& r = records[static_cast<std::size_t>(k - 1)];
        std::string line;
        line.append(r.dateText()).append("  ").append(r.timeText()).append("  ");
        line.append(rightAligned(r.jobName(), 15));
        for (int c = 0; c < SignatureRecord::ChannelCount; ++c)
            line.append("  Ch")
                .append(std::to_string(c + 1))
                .append(":")
                .append(fixed1(static_cast<double>(r.peak(c))));
        rows << DetailRow{QStringLiteral("Wave%1:").arg(k), latin1(std::move(line)), 0.10 + 0.03 * (k - 1)};
    }
    return rows;
}

void drawSignaturePage(QPainter& painter, int W, int H, const EmfPicture& chart, const QString& title,
                       const QList<DetailRow>& rows)
{
    // Texts keep clear of the frame by this much.
    const qreal right = 0.99 * W;

    chart.play(&painter, QRectF(QPointF(at(0.03, W), at(0.30, H)), QPointF(at(0.96, W), at(0.90, H))));

    // The title starts further left the longer it is, so that a typical one
    // sits near the middle of the page.
    const auto n = title.size();
    const QPoint titleAt(at(0.55 - 0.01 * static_cast<double>(n), W), at(0.025, H));
    drawTexts(painter, 20, {{title, titleAt, right - titleAt.x()}}, at(0.10, H) - titleAt.y());

    const int labelX = at(0.07, W);
    const int valueX = at(0.15, W);
    QList<PlacedText> details;
    for (const DetailRow& row : rows) {
        const int y = at(row.y, H);
        details << PlacedText{row.label, {labelX, y}, valueX - labelX - 0.005 * W}
                << PlacedText{row.value, {valueX, y}, right - valueX};
    }
    const qreal pitch = rows.size() > 1 ? (rows[1].y - rows[0].y) * H : 0.02 * H;
    drawTexts(painter, 12, details, pitch);

    const QPoint noticeAt(at(0.63, W), at(0.985, H));
    drawTexts(painter, 8, {{QString::fromLatin1(MakersNotice), noticeAt, right - noticeAt.x()}}, H - noticeAt.y());

    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    const QPoint corners[] = {{0, 0}, {W, 0}, {W, H}, {0, H}, {0, 0}};
    painter.drawPolyline(corners, 5);
}
