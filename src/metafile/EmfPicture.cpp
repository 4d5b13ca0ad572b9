#include "metafile/EmfPicture.h"

#include "EmfDocument.h"
#include "common/RegularFile.h"
#include "qtcore/LocalPath.h"

#include <QPainter>

#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace {

// Reads a whole regular file, refusing one too large to be a picture before
// reading it.
IoResult readFile(const QString& path, QByteArray* out)
{
    RegularFile file;
    if (IoResult opened = file.open(toPath(path)); !opened)
        return opened;
    if (file.size() > emfdoc::kMaxFileBytes)
        return IoResult::failure(
            QStringLiteral("the file is larger than %1 bytes").arg(emfdoc::kMaxFileBytes).toStdString());
    out->resize(static_cast<qsizetype>(file.size()));
    qsizetype done = 0;
    while (done < out->size()) {
        const ssize_t n = ::read(file.fd(), out->data() + done, static_cast<std::size_t>(out->size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return IoResult::failure(errno);
        if (n == 0)
            break; // shrank while being read: parse what is there
        done += n;
    }
    out->resize(done);
    return IoResult::success();
}

} // namespace

EmfPicture::EmfPicture() = default;
EmfPicture::~EmfPicture() = default;
EmfPicture::EmfPicture(const EmfPicture&) = default;
EmfPicture& EmfPicture::operator=(const EmfPicture&) = default;

IoResult EmfPicture::load(const QByteArray& bytes)
{
    m_document.reset();
    auto document = std::make_shared<emfdoc::Document>();
    IoResult result = emfdoc::parse(bytes, document.get());
    if (result)
        m_document = std::move(document);
    return result;
}

IoResult EmfPicture::loadFile(const QString& path)
{
    m_document.reset();
    QByteArray bytes;
    if (IoResult r = readFile(path, &bytes); !r)
        return r;
    return load(bytes);
}

QRect EmfPicture::bounds() const
{
    return m_document ? m_document->bounds : QRect();
}

bool EmfPicture::play(QPainter* painter, const QRectF& target) const
{
    if (!m_document || !painter || !painter->isActive() || !std::isfinite(target.x()) || !std::isfinite(target.y()) ||
        !std::isfinite(target.width()) || !std::isfinite(target.height()) || target.width() <= 0 ||
        target.height() <= 0)
        return false;
    emfdoc::play(*m_document, painter, target);
    return true;
}
