#pragma once

#include <QFile>
#include <QString>

#include <string>

// Local file names between the windows (QString) and the core (the bytes the
// file system uses), without loss for names that are not valid UTF-8.
inline std::string toPath(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

inline QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
