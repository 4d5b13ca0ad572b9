#include "convert/BatchConverter.h"

#include "common/WorkerThreads.h"
#include "convert/OutputFileName.h"
#include "convert/WrittenReports.h"
#include "signature/CsvReport.h"
#include "signature/SignatureFile.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>

namespace {

// True when the entry at output is the very file read. A link at output is
// not: the writer replaces the link, never the file it names.
bool reportIsInput(const std::string& output, const SignatureRead& read)
{
    struct stat st = {};
    return ::lstat(output.c_str(), &st) == 0 && st.st_dev == read.device && st.st_ino == read.inode;
}

} // namespace

FileOutcome convertFile(const std::string& input, const std::string& output, SignatureRecord& record,
                        WrittenReports& written, FinalLink link)
{
    FileOutcome outcome;
    outcome.output = output;
    const SignatureRead read = readSignature(input, record, link);
    if (!read) {
        outcome.stage = FileOutcome::Stage::NotOpened;
        outcome.io = read;
        outcome.notASignature = read.notASignature;
        return outcome;
    }
    if (reportIsInput(output, read)) {
        outcome.stage = FileOutcome::Stage::ReportIsInput;
        outcome.io = IoResult::failure("its report would replace the file itself");
        return outcome;
    }
    if (const auto earlier = written.takenBy(output, input)) {
        outcome.stage = FileOutcome::Stage::ReportTaken;
        outcome.io = IoResult::failure(reportTakenReason(*earlier));
        return outcome;
    }
    if (IoResult stored = storeCsvReport(output, record); !stored) {
        outcome.stage = FileOutcome::Stage::NotWritten;
        outcome.io = std::move(stored);
        return outcome;
    }
    written.add(output, input);
    outcome.stage = FileOutcome::Stage::Converted;
    return outcome;
}

namespace {

constexpr std::uint32_t ChainEnd = UINT32_MAX;

// Inputs that share a report name form a chain in list order; each chain is
// one unit of work, so whether a report is already taken when an input
// comes to it is decided by the list alone. Names are told apart by a
// hash: two names that happen to collide only share a chain, and the
// reports a chain has written are kept by their full names.
struct ReportChains
{
    std::vector<std::uint32_t> next;  // the input after each in its chain, or ChainEnd
    std::vector<std::uint32_t> heads; // the first input of each chain, in list order
};

ReportChains chainByReport(const std::vector<std::string>& inputs, const BatchOptions& options)
{
    ReportChains chains{std::vector<std::uint32_t>(inputs.size(), ChainEnd), {}};
    std::unordered_map<std::size_t, std::uint32_t> tailOf; // name hash -> last input with it
    tailOf.reserve(inputs.size());
    for (std::uint32_t i = 0; i < inputs.size(); ++i) {
        const std::size_t key =
            std::hash<std::string>{}(MakeOutputFileName(options.directory, options.prefix, inputs[i]));
        const auto [it, fresh] = tailOf.try_emplace(key, i);
        if (fresh)
            chains.heads.push_back(i);
        else
            chains.next[std::exchange(it->second, i)] = i;
    }
    return chains;
}

void tally(BatchSummary& summary, FileOutcome::Stage stage)
{
    switch (stage) {
    case FileOutcome::Stage::Converted:
        ++summary.converted;
        break;
    case FileOutcome::Stage::Skipped:
        ++summary.skipped;
        break;
    default:
        ++summary.failed;
    }
}

} // namespace

BatchSummary convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options)
{
    const ReportChains chains = chainByReport(inputs, options);
    const std::vector<std::uint32_t>& next = chains.next;
    const std::vector<std::uint32_t>& heads = chains.heads;

    std::atomic<std::size_t> nextChain{0};
    std::mutex reportMutex;
    BatchSummary summary;
    std::size_t done = 0;

    auto worker = [&] {
        SignatureRecord record;
        WrittenReports written;
        for (;;) {
            const std::size_t chain = nextChain.fetch_add(1);
            if (chain >= heads.size())
                return;
            written.clear(); // no other chain shares a report name with this one
            for (std::uint32_t i = heads[chain]; i != ChainEnd; i = next[i]) {
                const std::string output = MakeOutputFileName(options.directory, options.prefix, inputs[i]);
                FileOutcome outcome;
                if (options.stop && options.stop->load())
                    outcome.output = output;
                else
                    outcome = convertFile(inputs[i], output, record, written, options.inputLinks);
                std::lock_guard lock(reportMutex);
                tally(summary, outcome.stage);
                if (outcome.stage != FileOutcome::Stage::Skipped)
                    ++done;
                if (options.onFile)
                    options.onFile(i, outcome, done);
            }
        }
    };

    const int threads = std::clamp<int>(options.jobs, 1, static_cast<int>(std::max<std::size_t>(heads.size(), 1)));
    runOnWorkerThreads(threads, worker, [&](int started, int wanted, const std::string& why) {
        if (options.onFewerThreads) {
            std::lock_guard lock(reportMutex);
            options.onFewerThreads(started, wanted, why);
        }
    });
    return summary;
}
