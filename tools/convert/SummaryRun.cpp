#include "SummaryRun.h"

#include "ConvertRun.h"
#include "analysis/ChannelStats.h"
#include "analysis/SummaryScan.h"
#include "analysis/SummaryTable.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A file read, by device and inode.
using FileId = std::pair<dev_t, ino_t>;

// The input whose file is at output, if any: the summary file must not take
// the place of one of the files it sums up, or a signature under the
// summary's name would be lost to its own summary.
const std::string* inputAtOutput(const std::vector<std::string>& inputs, const std::vector<FileId>& read,
                                 const std::string& output)
{
    struct stat out = {};
    if (::lstat(output.c_str(), &out) != 0)
        return nullptr;
    for (std::size_t i = 0; i < inputs.size(); ++i)
        if (read[i] == FileId{out.st_dev, out.st_ino})
            return &inputs[i];
    return nullptr;
}

} // namespace

int runSummary(const std::vector<std::string>& inputs, const SummaryRequest& request)
{
    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    std::vector<std::optional<StrokeSummary>> byInput(inputs.size());
    std::vector<FileId> read(inputs.size());
    std::size_t done = 0;
    SummaryScanOptions options;
    options.jobs = request.jobs;
    options.links = request.links;
    options.stop = catchStopSignals();
    options.onFile = [&](std::size_t index, ScannedFile& file) {
        if (file.skipped)
            return;
        ++done;
        read[index] = {file.device, file.inode};
        if (showProgress)
            std::fputs("\r\033[K", stderr);
        if (file.summary)
            byInput[index] = std::move(file.summary);
        else
            std::fprintf(stderr, "%s: cannot open %s: %s\n", ConvertProgram, inputs[index].c_str(),
                         file.io.reason.c_str());
        if (showProgress)
            std::fprintf(stderr, "%zu/%zu", done, inputs.size());
    };
    options.onFewerThreads = [&](int started, int wanted, const std::string& why) {
        std::fprintf(stderr, "%s: could start only %d of %d threads (%s); reading on %d\n", ConvertProgram, started,
                     wanted, why.c_str(), started);
    };
    const ScanTally tally = summariseFiles(inputs, options);
    if (showProgress)
        std::fputs("\r\033[K", stderr);
    if (stopSignalSeen() != 0)
        return 128 + stopSignalSeen();

    std::vector<StrokeSummary> rows;
    rows.reserve(tally.read);
    for (auto& s : byInput)
        if (s)
            rows.push_back(std::move(*s));
    sortStrokes(rows);

    bool written = true;
    if (!request.output.empty()) {
        if (const std::string* input = inputAtOutput(inputs, read, request.output)) {
            std::fprintf(stderr, "%s: cannot write %s: it is the input %s\n", ConvertProgram, request.output.c_str(),
                         input->c_str());
            return 1;
        }
        if (IoResult stored = storeSummaryCsv(request.output, rows); !stored) {
            std::fprintf(stderr, "%s: cannot write %s: %s\n", ConvertProgram, request.output.c_str(),
                         stored.reason.c_str());
            written = false;
        }
    }
    if (request.stats)
        std::fputs(statsTableText(setStats(rows)).c_str(), stdout);
    else
        std::printf("%zu of %zu file(s) summarised\n", tally.read, inputs.size());
    return tally.failed == 0 && written ? 0 : 1;
}

int runSummaryOfFolder(const std::string& dir, SummaryRequest request)
{
    std::vector<std::string> inputs;
    if (!listFolderInputs(dir, inputs))
        return 1;
    request.links = FinalLink::Refuse;
    return runSummary(inputs, request);
}
