// Files dragged from a file manager onto the list are added as Add adds them.
#include "app/FileDrops.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>

#include <utility>

namespace {

// The notes keep the main window's translation context, where they were first written.
QString note(const char* text)
{
    return QCoreApplication::translate("TFm_Cmain", text);
}

class DropFilter : public QObject
{
public:
    DropFilter(QObject* parent, std::function<void(const QList<QUrl>&)> onDrop)
        : QObject(parent), m_onDrop(std::move(onDrop))
    {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDropEvent*>(event);
            if (e->mimeData()->hasUrls()) {
                e->setDropAction(Qt::CopyAction);
                e->accept();
            } else {
                e->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = e->mimeData()->urls();
            e->setDropAction(Qt::CopyAction);
            e->accept();
            m_onDrop(urls);
            return true;
        }
        default:
            return false;
        }
    }

private:
    std::function<void(const QList<QUrl>&)> m_onDrop;
};

} // namespace

DroppedFiles sortDroppedUrls(const QList<QUrl>& urls)
{
    DroppedFiles dropped;
    for (const QUrl& url : urls) {
        // A file address naming another host ("file://server/H1.wav") is not
        // a file here: read as it stands it would be "//server/H1.wav", which
        // is "/server/H1.wav", some other file or none. "localhost" is this
        // machine, but Qt keeps it in the name too, so it is taken off first.
        QUrl local = url;
        if (local.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            local.setHost(QString());
        if (!local.isLocalFile() || !local.host().isEmpty()) {
            dropped.refused << note("%1 (not a local file)").arg(url.toDisplayString());
            continue;
        }
        const QString path = local.toLocalFile();
        if (QFileInfo(path).isDir()) {
            dropped.refused << note("%1 (a folder: add the files in it)").arg(path);
            continue;
        }
        dropped.files << path;
    }
    return dropped;
}

void acceptFileDrops(QListWidget& list, std::function<void(const QList<QUrl>&)> onDrop)
{
    list.setAcceptDrops(true);
    list.viewport()->setAcceptDrops(true);
    list.viewport()->installEventFilter(new DropFilter(&list, std::move(onDrop)));
}
