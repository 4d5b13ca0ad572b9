#pragma once

#include "EmfRecordWriter.h"

#include <QPaintEngine>
#include <QTransform>

#include <vector>

class EmfPaintDevice;

// Turns QPainter calls into EMF records (see EmfPaintDevice for the picture as
// a whole). The engine claims every feature, so QPainter hands over pens,
// gradients and transforms untouched instead of rasterising them; the engine
// maps every point through the painter's transform itself and writes device
// coordinates, ten logical units per pixel.
//
// What a metafile cannot express is approximated: alpha and opacity become
// opaque (fully transparent becomes the null pen or brush), a gradient takes its
// first stop colour, a clip becomes its bounding rectangle. Pixmaps and images
// are not recorded; EmfPaintDevice::droppedImageCount() tells how many were
// asked for (a chart draws none).
class EmfPaintEngine : public QPaintEngine
{
public:
    static constexpr int kUnitsPerPixel = 10;

    explicit EmfPaintEngine(EmfPaintDevice* device);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& changed) override;

    void drawLines(const QLineF* lines, int lineCount) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawPath(const QPainterPath& path) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags) override;
    Type type() const override { return QPaintEngine::User; }

private:
    // Chart series arrive as hundreds of one-segment lines. Segments that
    // continue the previous one with the same pen and clip are collected into
    // one polyline, written before anything else is drawn or when the pen or
    // clip changes. The pending line keeps its own pen and clip because the
    // painter's state has already moved on when it is written.
    struct PendingLine
    {
        std::vector<QPoint> points;
        EmfPen pen;
        EmfClip clip;
    };

    void refreshState();
    // A point in the painter's coordinates, or one already on the device, in
    // the file's logical units; false when it is not a finite point.
    bool toUnits(const QPointF& logical, QPoint* out) const;
    static bool deviceToUnits(const QPointF& device, QPoint* out);
    bool toUnits(const QPointF* points, int count, std::vector<QPoint>* out) const;
    void continueLine(const std::vector<QPoint>& points);
    void flushPending();
    void prepareShape(const EmfPen& pen);
    EmfClip currentClip() const;
    QString faceOf(const QFont& font);

    EmfPaintDevice* m_device;
    EmfRecordWriter m_writer;
    QTransform m_transform;
    double m_scale = 1.0; // how much a length grows from logical to device pixels
    EmfPen m_pen;
    EmfBrush m_brush;
    EmfClip m_clip;
    bool m_transformDirty = true;
    bool m_penDirty = true;
    bool m_brushDirty = true;
    bool m_clipDirty = true;
    PendingLine m_pending;
    int m_droppedImages = 0;
    QString m_lastFontKey;
    QString m_lastFace;
};
