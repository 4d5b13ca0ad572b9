// The signature chart written to a file in any of the formats the display
// offers: the command line's --export and the display's own commands.
#include "display/ChartFile.h"

#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "common/AtomicFileWriter.h"
#include "common/SystemError.h"
#include "display/WaveExport.h"
#include "display/WavePrintPage.h"
#include "qtcore/LocalPath.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QSvgGenerator>

#include <string_view>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw SystemError(text.toStdString());
}

// Lays the chart out at the picture's size while it lives, so its fonts and
// line widths stay what they are on screen instead of being scaled with the
// picture; the size it had comes back on every way out.
class PictureSize
{
public:
    PictureSize(SignatureChart& chart, QSize size) : m_chart(chart), m_saved(chart.size())
    {
        if (!size.isEmpty() && size != m_saved)
            m_chart.resize(size);
    }
    ~PictureSize()
    {
        if (m_chart.size() != m_saved)
            m_chart.resize(m_saved);
    }
    PictureSize(const PictureSize&) = delete;
    PictureSize& operator=(const PictureSize&) = delete;

private:
    SignatureChart& m_chart;
    QSize m_saved;
};

void store(const QString& path, const QByteArray& bytes)
{
    AtomicFileWriter file;
    if (const IoResult opened = file.open(toPath(path)); !opened)
        fail(QStringLiteral("Cannot create file %1: %2").arg(path, QString::fromLocal8Bit(opened.reason.c_str())));
    const IoResult written = file.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    const IoResult committed = written ? file.commit() : written;
    if (!committed)
        fail(QStringLiteral("Unable to write to %1: %2").arg(path, QString::fromLocal8Bit(committed.reason.c_str())));
}

QByteArray pngBytes(SignatureChart& chart, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!chart.renderImage().save(&buffer, "PNG"))
        fail(QStringLiteral("Unable to write to %1: the picture could not be encoded").arg(path));
    return bytes;
}

// Draws the chart on device, which is the chart's size in its own units.
void paintOn(QPaintDevice& device, SignatureChart& chart, const QString& path)
{
    QPainter painter;
    if (!painter.begin(&device))
        fail(QStringLiteral("Unable to write to %1: the picture could not be started").arg(path));
    painter.setRenderHint(QPainter::Antialiasing);
    chart.renderChart(&painter, QRectF(QPointF(0, 0), QSizeF(chart.size())));
    if (!painter.end())
        fail(QStringLiteral("Unable to write to %1: the picture could not be finished").arg(path));
}

// Qt Charts draws a curve as one segment per pair of points, and the SVG
// generator writes each as a polyline of its own: 447 elements per curve,
// which a reader cannot take for one curve. Within a group (one pen), a
// polyline that starts where the one before it ended is joined onto it, so
// each curve is one polyline again; anything else is left as written.
QByteArray joinedSegments(const QByteArray& svg)
{
    static const QByteArray head = QByteArrayLiteral("<polyline fill=\"none\" vector-effect=\"none\" points=\"");
    static const QByteArray tail = QByteArrayLiteral("\" />");
    QByteArray out;
    out.reserve(svg.size());
    QByteArray pending; // points of the polyline being joined, each followed by a space
    QByteArray lastPoint;
    const auto flush = [&] {
        if (pending.isEmpty())
            return;
        out += head + pending + tail + '\n';
        pending.clear();
    };
    for (const QByteArray& line : svg.split('\n')) {
        if (line.startsWith(head) && line.endsWith(tail)) {
            const QByteArray points = line.mid(head.size(), line.size() - head.size() - tail.size());
            const QList<QByteArray> each = points.trimmed().split(' ');
            if (!pending.isEmpty() && each.size() >= 2 && each.first() == lastPoint) {
                for (qsizetype i = 1; i < each.size(); ++i)
                    pending += each[i] + ' ';
            } else {
                flush();
                pending = points;
            }
            lastPoint = each.last();
            continue;
        }
        flush();
        out += line + '\n';
    }
    flush();
    out.chop(1); // the split added a line end after the last line
    return out;
}

QByteArray svgBytes(SignatureChart& chart, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(chart.size());
    svg.setViewBox(QRect(QPoint(0, 0), chart.size()));
    svg.setTitle(QStringLiteral("Signature"));
    paintOn(svg, chart, path);
    return joinedSegments(bytes);
}

QByteArray pdfBytes(SignatureChart& chart, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        // One page the chart's size, a point to a pixel, no margins.
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(chart.size()), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(QStringLiteral("Signature"));
        paintOn(pdf, chart, path);
    }
    return bytes;
}

} // namespace

bool isChartFileName(const QString& path)
{
    static const QStringList known{QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf"),
                                   QStringLiteral("bmp"), QStringLiteral("emf")};
    return known.contains(QFileInfo(path).suffix().toLower());
}

void writeChartFile(SignatureChart& chart, const QString& path, QSize size)
{
    if (!isChartFileName(path))
        fail(QStringLiteral("Cannot save %1: the name must end in .png, .svg, .pdf, .bmp or .emf").arg(path));
    const QString kind = QFileInfo(path).suffix().toLower();
    const PictureSize pictureSize(chart, size);
    // The bitmap and the metafile have writers of their own, which replace
    // the file only once complete as the others here do.
    if (kind == QLatin1String("bmp")) {
        exportChartBitmap(chart, path);
        return;
    }
    QByteArray bytes;
    {
        const ExportColoursGuard paperColours(chart);
        if (kind == QLatin1String("emf")) {
            writeChartPicture(chart, path);
            return;
        }
        if (kind == QLatin1String("png"))
            bytes = pngBytes(chart, path);
        else if (kind == QLatin1String("svg"))
            bytes = svgBytes(chart, path);
        else
            bytes = pdfBytes(chart, path);
    }
    store(path, bytes);
}

QImage chartImage(SignatureChart& chart, QSize size)
{
    const PictureSize pictureSize(chart, size);
    const ExportColoursGuard paperColours(chart);
    return chart.renderImage();
}
