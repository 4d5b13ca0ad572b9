#include "metafile/EmfPaintDevice.h"

#include "EmfPaintEngine.h"
#include "common/AtomicFileWriter.h"
#include "qtcore/LocalPath.h"

#include <climits>

namespace {
constexpr int kDpi = 96;
}

EmfPaintDevice::EmfPaintDevice(QSize pixelSize) : m_size(pixelSize), m_engine(std::make_unique<EmfPaintEngine>(this)) {}

EmfPaintDevice::~EmfPaintDevice() = default;

QPaintEngine* EmfPaintDevice::paintEngine() const
{
    return m_engine.get();
}

int EmfPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return qRound(m_size.width() * 25.4 / kDpi);
    case PdmHeightMM:
        return qRound(m_size.height() * 25.4 / kDpi);
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kDpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}

void EmfPaintDevice::setResult(QByteArray data, QString error, int droppedImages)
{
    m_data = std::move(data);
    m_error = std::move(error);
    m_droppedImages = droppedImages;
}

IoResult EmfPaintDevice::save(const QString& path) const
{
    if (m_data.isEmpty())
        return IoResult::failure(m_error.isEmpty() ? std::string("nothing has been painted") : m_error.toStdString());
    return writeFileAtomically(toPath(path),
                               std::string_view(m_data.constData(), static_cast<std::size_t>(m_data.size())));
}
