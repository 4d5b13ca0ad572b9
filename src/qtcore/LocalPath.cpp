#include "qtcore/LocalPath.h"

#include <QFile>

std::string toPath(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
