#include "analysis/SummaryScan.h"

#include "common/WorkerThreads.h"
#include "signature/SignatureFile.h"

#include <algorithm>
#include <mutex>

ScannedFile summariseFile(const std::string& path, SignatureRecord& record, FinalLink link)
{
    ScannedFile file;
    const SignatureRead read = readSignatureFields(path, record, link);
    file.device = read.device;
    file.inode = read.inode;
    if (!read) {
        file.io = read;
        return file;
    }
    file.summary = summariseStroke(record, path);
    return file;
}

ScanTally summariseFiles(const std::vector<std::string>& paths, const SummaryScanOptions& options)
{
    std::atomic<std::size_t> next{0};
    std::mutex handOver;
    ScanTally tally;

    const auto worker = [&] {
        SignatureRecord record;
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= paths.size())
                return;
            ScannedFile file;
            if (options.stop && options.stop->load())
                file.skipped = true;
            else
                file = summariseFile(paths[i], record, options.links);
            std::lock_guard lock(handOver);
            if (file.skipped)
                ++tally.skipped;
            else if (file.summary)
                ++tally.read;
            else
                ++tally.failed;
            if (options.onFile)
                options.onFile(i, file);
        }
    };
    const int threads = std::clamp<int>(options.jobs, 1, static_cast<int>(std::max<std::size_t>(paths.size(), 1)));
    runOnWorkerThreads(threads, worker, [&](int started, int wanted, const std::string& why) {
        if (options.onFewerThreads) {
            std::lock_guard lock(handOver);
            options.onFewerThreads(started, wanted, why);
        }
    });
    return tally;
}
