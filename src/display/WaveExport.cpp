// File > Save Bitmap of the signature display.
#include "display/WaveExport.h"

#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "common/AtomicFileWriter.h"
#include "common/SystemError.h"
#include "display/TWaveFrm.h"
#include "qtcore/LocalPath.h"
#include "ui/DialogService.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace {

constexpr char BitmapFilter[] = "Bitmap (*.bmp)|*.bmp|All files (*.*)|*.*";

[[noreturn]] void fail(const char* what, const QString& path)
{
    throw SystemError(what + path.toStdString());
}

} // namespace

void exportChartBitmap(SignatureChart& chart, const QString& path)
{
    QByteArray bmp;
    {
        const ExportColoursGuard paperColours(chart);
        const QImage image = chart.renderImage();
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "BMP"))
            fail("Unable to write to ", path);
    }
    AtomicFileWriter file;
    if (!file.open(toPath(path)))
        fail("Cannot create file ", path);
    if (!file.write(std::string_view(bmp.constData(), static_cast<std::size_t>(bmp.size()))) || !file.commit())
        fail("Unable to write to ", path);
}

void TWaveFrm::Save1Click()
{
    // The dialog offers the same name every time, in the toolkit's own folder,
    // with no title of its own. It lists bitmaps, and asks before an existing
    // file is replaced: replacing it unasked would lose it. A name with any
    // other extension, or none, still gets a BMP file.
    const QString path = dialogs().saveFileName(this, QString(), QString(), QStringLiteral("Wave.bmp"),
                                                QString::fromLatin1(BitmapFilter), DialogService::Overwrite::Ask);
    // Cancelled: nothing is written.
    if (path.isEmpty())
        return;
    exportChartBitmap(*WaveChrt, path);
}
