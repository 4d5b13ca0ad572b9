// Any bytes as an enhanced metafile: load it and, when it is accepted, draw it
// twice, stretched onto a small page and shrunk into a corner, as the printout
// draws the chart. The painter must come back in the state it was handed over.
#include "FuzzScratch.h"
#include "metafile/EmfPicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <memory>

using fuzzscratch::fail;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text is drawn through the platform's fonts, which need an application
    // object; no display is needed.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(*argc, *argv));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    EmfPicture picture;
    const IoResult loaded = picture.load(bytes);
    if (!loaded) {
        if (!picture.isNull())
            fail("a refused file left a picture");
        if (loaded.reason.empty())
            fail("a refused file has no reason");
        return 0;
    }

    QImage page(96, 64, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setPen(QPen(Qt::green, 3));
    painter.setBrush(Qt::yellow);
    painter.setClipRect(QRect(1, 1, 90, 60));
    const QTransform before = painter.transform();
    if (!picture.play(&painter, QRectF(2, 2, 90, 58)))
        fail("an accepted picture did not play");
    if (!picture.play(&painter, QRectF(80, 50, 7.5, 3.25)))
        fail("an accepted picture did not play small");
    if (painter.pen() != QPen(Qt::green, 3) || painter.brush() != QBrush(Qt::yellow) || painter.transform() != before ||
        painter.clipBoundingRect() != QRectF(1, 1, 90, 60))
        fail("playing left the painter changed");
    return 0;
}
