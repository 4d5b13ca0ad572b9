// Saving the trend chart as a file: drawn whole into memory first, then put in
// place in one step, so a failed or interrupted save leaves no partial file.
#include "trendchart/TrendChart.h"

#include "common/AtomicFileWriter.h"
#include "qtcore/LocalPath.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <string_view>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool TrendChart::exportTo(const QString& path, QString* error) const
{
    const QString kind = QFileInfo(path).suffix().toLower();
    const QSize size = this->size().expandedTo(QSize(1, 1));
    const QRect area(QPoint(0, 0), size);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (kind == QLatin1String("png")) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            renderChart(painter, area);
        }
        if (!image.save(&buffer, "PNG"))
            return fail(error, QStringLiteral("Unable to write to %1").arg(path));
    } else if (kind == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(area);
        svg.setTitle(QStringLiteral("Trend"));
        QPainter painter;
        if (!painter.begin(&svg))
            return fail(error, QStringLiteral("Unable to write to %1").arg(path));
        renderChart(painter, area);
        painter.end();
    } else if (kind == QLatin1String("pdf")) {
        // One page the chart's size, one point to a pixel, no margins.
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(QStringLiteral("Trend"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return fail(error, QStringLiteral("Unable to write to %1").arg(path));
        renderChart(painter, area);
        painter.end();
    } else {
        return fail(error, QStringLiteral("Cannot save %1: the name must end in .png, .svg or .pdf").arg(path));
    }
    buffer.close();

    AtomicFileWriter file;
    if (const IoResult opened = file.open(toPath(path)); !opened)
        return fail(error,
                    QStringLiteral("Cannot create file %1: %2").arg(path, QString::fromStdString(opened.reason)));
    const IoResult written = file.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    const IoResult committed = written ? file.commit() : written;
    if (!committed)
        return fail(error,
                    QStringLiteral("Unable to write to %1: %2").arg(path, QString::fromStdString(committed.reason)));
    return true;
}
