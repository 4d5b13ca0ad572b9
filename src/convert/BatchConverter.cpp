#include "BatchConverter.h"

#include "CsvReport.h"
#include "OutputFileName.h"
#include "SignatureFile.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

FileOutcome convertFile(const std::string& input, const std::string& output, SignatureRecord& record)
{
    FileOutcome outcome;
    outcome.output = output;
    if (IoResult read = readSignature(input, record); !read) {
        outcome.stage = FileOutcome::Stage::NotOpened;
        outcome.io = std::move(read);
        return outcome;
    }
    if (IoResult written = writeCsvReport(output, record); !written) {
        outcome.stage = FileOutcome::Stage::NotWritten;
        outcome.io = std::move(written);
        return outcome;
    }
    outcome.stage = FileOutcome::Stage::Converted;
    return outcome;
}

BatchSummary convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options)
{
    // Inputs that share a report name form a chain in list order; each chain is
    // one unit of work. Names are told apart by a hash: two names that happen
    // to collide only share a chain, which keeps their order all the same.
    constexpr std::uint32_t End = UINT32_MAX;
    std::vector<std::uint32_t> next(inputs.size(), End);
    std::vector<std::uint32_t> heads;
    {
        std::unordered_map<std::size_t, std::uint32_t> tailOf; // name hash -> last input with it
        tailOf.reserve(inputs.size());
        for (std::uint32_t i = 0; i < inputs.size(); ++i) {
            const std::size_t key =
                std::hash<std::string>{}(MakeOutputFileName(options.directory, options.prefix, inputs[i]));
            const auto [it, fresh] = tailOf.try_emplace(key, i);
            if (fresh)
                heads.push_back(i);
            else
                next[std::exchange(it->second, i)] = i;
        }
    }

    std::atomic<std::size_t> nextChain{0};
    std::mutex reportMutex;
    BatchSummary summary;
    std::size_t done = 0;

    auto worker = [&] {
        SignatureRecord record;
        for (;;) {
            const std::size_t chain = nextChain.fetch_add(1);
            if (chain >= heads.size())
                return;
            for (std::uint32_t i = heads[chain]; i != End; i = next[i]) {
                const std::string output = MakeOutputFileName(options.directory, options.prefix, inputs[i]);
                FileOutcome outcome;
                if (options.stop && options.stop->load())
                    outcome.output = output;
                else
                    outcome = convertFile(inputs[i], output, record);
                std::lock_guard lock(reportMutex);
                switch (outcome.stage) {
                case FileOutcome::Stage::Converted:
                    ++summary.converted;
                    break;
                case FileOutcome::Stage::Skipped:
                    ++summary.skipped;
                    break;
                default:
                    ++summary.failed;
                }
                if (outcome.stage != FileOutcome::Stage::Skipped)
                    ++done;
                if (options.onFile)
                    options.onFile(i, outcome, done);
            }
        }
    };

    const int threads = std::clamp<int>(options.jobs, 1, static_cast<int>(std::max<std::size_t>(heads.size(), 1)));
    std::vector<std::jthread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (auto& t : pool)
        t.join(); // before summary leaves this function
    return summary;
}
