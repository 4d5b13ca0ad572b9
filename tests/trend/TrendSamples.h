#pragma once

#include "analysis/StrokeSummary.h"
#include "signature/SignatureRecord.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// Signature files for the trend tests, written into a folder of the test's.
// Writes record as the file path and returns path.
QString writeRecord(const QString& path, const SignatureRecord& record);
// count sample strokes (makeSampleSignature(from + i)) named "H00000".. in dir:
// ten jobs, mostly MONITOR and now and then SETUP.
QStringList writeSamples(const QString& dir, int count, int from = 0);
std::vector<std::string> localPaths(const QStringList& names);
// What the scan should make of a file, read here on its own.
StrokeSummary summaryOf(const QString& path);
