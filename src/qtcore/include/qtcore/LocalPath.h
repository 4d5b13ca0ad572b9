#pragma once

#include <QString>

#include <string>

// Local file names between Qt (QString) and the core (the bytes the file
// system uses, std::string), without loss for names that are not valid in the
// locale's encoding. Every conversion of a file name goes through these two.
std::string toPath(const QString& name);
QString fromPath(const std::string& path);
