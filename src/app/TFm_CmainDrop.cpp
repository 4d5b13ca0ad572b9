// Files dragged from a file manager onto the list are added as Add adds them.
#include "app/TFm_Cmain.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>

namespace {

class DropFilter : public QObject
{
public:
    explicit DropFilter(TFm_Cmain* window) : QObject(window), m_window(window) {}

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
            m_window->dropUrls(urls);
            return true;
        }
        default:
            return false;
        }
    }

private:
    TFm_Cmain* m_window;
};

} // namespace

void TFm_Cmain::enableFileDrops()
{
    ListBox1->setAcceptDrops(true);
    ListBox1->viewport()->setAcceptDrops(true);
    ListBox1->viewport()->installEventFilter(new DropFilter(this));
}

void TFm_Cmain::dropUrls(const QList<QUrl>& urls)
{
    QStringList files;
    QStringList refused;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            refused << tr("%1 (not a local file)").arg(url.toDisplayString());
            continue;
        }
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir()) {
            refused << tr("%1 (a folder: add the files in it)").arg(path);
            continue;
        }
        files << path;
    }
    // Dropping appends in the order given, like Add, but leaves the
    // remembered directories alone: only Add's dialog sets them.
    if (!files.isEmpty())
        appendFiles(files);
    if (!refused.isEmpty())
        dialogs().message(this, tr("Not added:\n%1").arg(refused.join(QLatin1Char('\n'))),
                          QString::fromUtf8(ApplicationTitle));
}
