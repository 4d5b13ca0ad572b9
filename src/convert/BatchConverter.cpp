#include "BatchConverter.h"

#include "CsvReport.h"
#include "OutputFileName.h"
#include "SignatureFile.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <unordered_map>

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

std::vector<FileOutcome> convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options)
{
    std::vector<FileOutcome> outcomes(inputs.size());
    std::vector<std::string> outputs;
    outputs.reserve(inputs.size());

    // Group the inputs by report name, groups in order of first appearance.
    std::vector<std::vector<std::size_t>> groups;
    std::unordered_map<std::string, std::size_t> groupOf;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        outputs.push_back(MakeOutputFileName(options.directory, options.prefix, inputs[i]));
        const auto [it, fresh] = groupOf.try_emplace(outputs.back(), groups.size());
        if (fresh)
            groups.emplace_back();
        groups[it->second].push_back(i);
    }

    std::atomic<std::size_t> nextGroup{0};
    std::mutex reportMutex;
    std::size_t done = 0;

    auto worker = [&] {
        SignatureRecord record;
        for (;;) {
            const std::size_t g = nextGroup.fetch_add(1);
            if (g >= groups.size())
                return;
            for (const std::size_t i : groups[g]) {
                if (options.stop && options.stop->load()) {
                    outcomes[i].output = outputs[i];
                    continue;
                }
                outcomes[i] = convertFile(inputs[i], outputs[i], record);
                std::lock_guard lock(reportMutex);
                ++done;
                if (options.onFile)
                    options.onFile(i, outcomes[i], done);
            }
        }
    };

    const int threads = std::clamp<int>(options.jobs, 1, static_cast<int>(std::max<std::size_t>(groups.size(), 1)));
    std::vector<std::jthread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (auto& t : pool)
        t.join(); // before outcomes leaves this function
    return outcomes;
}
