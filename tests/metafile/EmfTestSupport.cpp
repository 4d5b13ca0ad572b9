#include "EmfTestSupport.h"

#include "metafile/EmfPaintDevice.h"
#include "metafile/EmfPicture.h"

#include <QPainter>
#include <QtMath>

#include <uemf.h>

#include <gtest/gtest.h>

#include <cstdlib>

const char* const ChartScene::axisTitle = "Load [kN]";
const char* const ChartScene::valueLabel = "1,234.5";

std::vector<RecordInfo> walkRecords(const QByteArray& file)
{
    std::vector<RecordInfo> records;
    uint32_t offset = 0;
    const auto total = static_cast<uint32_t>(file.size());
    while (offset < total) {
        if (total - offset < 8) {
            ADD_FAILURE() << "file ends inside a record at byte " << offset;
            break;
        }
        const RecordInfo r{fieldAt<uint32_t>(file, offset), offset, fieldAt<uint32_t>(file, offset + 4)};
        if (r.size < 8 || r.size % 4 != 0 || r.size > total - offset) {
            ADD_FAILURE() << "record of type " << r.type << " at byte " << offset << " has size " << r.size;
            break;
        }
        records.push_back(r);
        offset += r.size;
    }
    return records;
}

QByteArray craft(const std::vector<QByteArray>& records, uint16_t handles)
{
    char* header = U_EMRHEADER_set(U_RECTL{0, 0, 99, 99}, U_RECTL{0, 0, 2645, 2645}, nullptr, 0, nullptr,
                                   U_SIZEL{100, 100}, U_SIZEL{26, 26}, 0);
    QByteArray file(header, int(reinterpret_cast<U_EMR*>(header)->nSize));
    std::free(header);
    for (const QByteArray& r : records)
        file += r;
    const uint32_t eof[5] = {U_EMR_EOF, 20, 0, 16, 20};
    file.append(reinterpret_cast<const char*>(eof), sizeof eof);
    setFieldAt<uint32_t>(file, offsetof(U_EMRHEADER, nBytes), uint32_t(file.size()));
    setFieldAt<uint32_t>(file, offsetof(U_EMRHEADER, nRecords), uint32_t(records.size() + 2));
    setFieldAt<uint16_t>(file, offsetof(U_EMRHEADER, nHandles), handles);
    return file;
}

QByteArray record(uint32_t type, std::initializer_list<uint32_t> words)
{
    QByteArray r;
    const uint32_t head[2] = {type, uint32_t(8 + 4 * words.size())};
    r.append(reinterpret_cast<const char*>(head), sizeof head);
    for (uint32_t w : words)
        r.append(reinterpret_cast<const char*>(&w), sizeof w);
    return r;
}

namespace {

QPointF seriesPoint(int series, int i)
{
    const QRectF plot = ChartScene::plot;
    const double x = plot.left() + i * plot.width() / (ChartScene::points - 1);
    // Some curves leave the plot, so the clip has work to do.
    const double y = plot.center().y() + std::sin(i * 0.03 + series) * (120 + 6 * series) + series * 2;
    return QPointF(x, y);
}

QColor seriesColour(int series)
{
    return QColor::fromHsv(series * 18, 255, 190);
}

} // namespace

void drawChartScene(QPainter& p)
{
    const QRect plot = ChartScene::plot;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.fillRect(QRect(QPoint(0, 0), ChartScene::size), Qt::white);

    p.setPen(QPen(QColor(190, 190, 190), 1, Qt::DotLine));
    for (int k = 1; k < 5; ++k) {
        const double y = plot.top() + k * plot.height() / 5.0;
        p.drawLine(QLineF(plot.left(), y, plot.right(), y));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    p.save();
    p.setClipRect(plot);
    for (int s = 0; s < ChartScene::series; ++s) {
        p.setPen(QPen(seriesColour(s), s % 2 ? 2 : 1));
        // One segment per call, as the chart engine draws a line series.
        for (int i = 0; i + 1 < ChartScene::points; ++i)
            p.drawLine(QLineF(seriesPoint(s, i), seriesPoint(s, i + 1)));
    }
    p.restore();

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(Qt::black);
    for (int k = 0; k <= 5; ++k)
        p.drawText(QPointF(4, plot.top() + k * plot.height() / 5.0 + 4), QString::fromLatin1(ChartScene::valueLabel));
    p.save();
    p.translate(30, plot.center().y() + 30);
    p.rotate(-90);
    p.drawText(QPointF(0, 0), QString::fromLatin1(ChartScene::axisTitle));
    p.restore();

    for (int s = 0; s < ChartScene::series; ++s) {
        const QRectF box(680, 40 + s * 22, 12, 12);
        p.fillRect(box, seriesColour(s));
        p.drawText(QPointF(698, box.bottom()), QStringLiteral("Series%1").arg(s + 1));
    }
    p.setBrush(QColor(30, 90, 160));
    p.setPen(QPen(Qt::darkRed, 2));
    p.drawEllipse(QRectF(600, 480, 30, 20));
    const QPointF triangle[3] = {{700, 480}, {740, 480}, {720, 510}};
    p.drawPolygon(triangle, 3);
}

QByteArray writeEmf(QSize size, const std::function<void(QPainter&)>& draw)
{
    EmfPaintDevice device(size);
    QPainter painter(&device);
    draw(painter);
    painter.end();
    EXPECT_TRUE(device.errorString().isEmpty()) << device.errorString().toStdString();
    EXPECT_EQ(device.droppedImageCount(), 0);
    return device.data();
}

QImage renderDirect(QSize size, const std::function<void(QPainter&)>& draw)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter);
    return image;
}

QImage playToImage(const QByteArray& file, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    EmfPicture picture;
    const IoResult loaded = picture.load(file);
    EXPECT_TRUE(loaded.ok) << loaded.reason;
    QPainter painter(&image);
    EXPECT_TRUE(picture.play(&painter, QRectF(QPointF(0, 0), size)));
    return image;
}

namespace {

bool foundNear(const QImage& image, int x, int y, QRgb colour, int reach)
{
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.rect().contains(x + dx, y + dy) && image.pixel(x + dx, y + dy) == colour)
                return true;
    return false;
}

qint64 unmatched(const QImage& a, const QImage& b, const QRect& area, int reach)
{
    qint64 count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!foundNear(b, x, y, a.pixel(x, y), reach) || !foundNear(a, x, y, b.pixel(x, y), reach))
                ++count;
    return count;
}

} // namespace

double differingShare(const QImage& a, const QImage& b, int reach)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    return double(unmatched(a, b, a.rect(), reach)) / (double(a.width()) * a.height());
}

double worstTile(const QImage& a, const QImage& b, int reach, int tile)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    double worst = 0.0;
    for (int y = 0; y < a.height(); y += tile)
        for (int x = 0; x < a.width(); x += tile) {
            const QRect r = QRect(x, y, tile, tile).intersected(a.rect());
            worst = std::max(worst, double(unmatched(a, b, r, reach)) / (double(r.width()) * r.height()));
        }
    return worst;
}
