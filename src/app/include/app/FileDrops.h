#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>

class QListWidget;

// What a drop on the file list brings: the local files to append, in the
// order given, and a line for each item refused with the reason.
struct DroppedFiles
{
    QStringList files;
    QStringList refused;
};

// Local files are taken; a remote address and a folder are refused, each
// with a note the user can act on.
DroppedFiles sortDroppedUrls(const QList<QUrl>& urls);

// Lets the list accept files dragged from a file manager; every drop is handed
// to onDrop with the addresses it carried.
void acceptFileDrops(QListWidget& list, std::function<void(const QList<QUrl>&)> onDrop);
