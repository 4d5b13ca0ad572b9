#pragma once

#include "common/IoResult.h"

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>

#include <memory>

class EmfPaintEngine;

// A paint device that records what is painted on it as an enhanced metafile
// (EMF): header, pens, brushes, fonts, polylines, polygons, rectangles, Unicode
// text and rectangular clips, in the form other programs open.
//
// The device reports the given size in pixels at 96 dpi, so fonts lay out as
// they do on screen, and anything that draws itself with QPainter renders into
// it as it renders to the screen:
//
//     EmfPaintDevice picture(chartView->size());
//     QPainter painter(&picture);
//     scene->render(&painter, ...);
//     painter.end();
//     if (IoResult r = picture.save("WaveChrt.EMF"); !r) ... report r.reason
//
// The picture is complete when QPainter::end() returns; data() then holds the
// file. Painting again starts a new picture.
class EmfPaintDevice : public QPaintDevice
{
public:
    explicit EmfPaintDevice(QSize pixelSize);
    ~EmfPaintDevice() override;
    EmfPaintDevice(const EmfPaintDevice&) = delete;
    EmfPaintDevice& operator=(const EmfPaintDevice&) = delete;

    QPaintEngine* paintEngine() const override;
    QSize size() const { return m_size; }

    // The finished file of the last painting; empty before the first painting
    // has ended and when it failed.
    const QByteArray& data() const { return m_data; }
    // Why the last painting produced no file; empty when it succeeded.
    const QString& errorString() const { return m_error; }
    // Pixmaps and images asked for during the last painting; they are not part
    // of the picture.
    int droppedImageCount() const { return m_droppedImages; }

    // Writes data() to path through a temporary file in the same directory that
    // is renamed over path only when complete, so a failure never leaves a
    // half-written file and never destroys an existing one. Fails without
    // touching anything when there is no finished picture.
    IoResult save(const QString& path) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class EmfPaintEngine;
    void setResult(QByteArray data, QString error, int droppedImages);

    QSize m_size;
    std::unique_ptr<EmfPaintEngine> m_engine;
    QByteArray m_data;
    QString m_error;
    int m_droppedImages = 0;
};
