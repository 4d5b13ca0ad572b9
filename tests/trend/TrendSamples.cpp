#include "TrendSamples.h"

#include "analysis/SummaryScan.h"
#include "samplegen/SampleSignature.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

QString writeRecord(const QString& path, const SignatureRecord& record)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(reinterpret_cast<const char*>(record.bytes.data()), static_cast<qint64>(record.bytes.size())) !=
            static_cast<qint64>(record.bytes.size()))
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

QStringList writeSamples(const QString& dir, int count, int from)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::uint32_t>(from + i);
        paths << writeRecord(QDir(dir).filePath(QStringLiteral("H%1").arg(index, 5, 10, QLatin1Char('0'))),
                             makeSampleSignature(index));
    }
    return paths;
}

std::vector<std::string> localPaths(const QStringList& names)
{
    std::vector<std::string> paths;
    for (const QString& name : names)
        paths.push_back(QFile::encodeName(name).toStdString());
    return paths;
}

StrokeSummary summaryOf(const QString& path)
{
    SignatureRecord record;
    ScannedFile file = summariseFile(QFile::encodeName(path).toStdString(), record);
    if (!file.summary)
        throw std::runtime_error("cannot read " + path.toStdString());
    return *file.summary;
}
