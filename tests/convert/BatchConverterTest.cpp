#include "BatchConverter.h"
#include "CsvReport.h"
#include "SampleSignature.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <map>

namespace {

void writeSample(const std::string& path, std::uint32_t index)
{
    const SignatureRecord r = makeSampleSignature(index);
    writeWholeFile(path, std::string(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size()));
}

std::map<std::string, std::string> contents(const std::filesystem::path& dir)
{
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out[e.path().filename().string()] = readWholeFile(e.path().string());
    return out;
}

// Runs convertFiles and gathers the outcome of every input in list order.
std::vector<FileOutcome> convertAll(const std::vector<std::string>& inputs, BatchOptions options)
{
    std::vector<FileOutcome> outcomes(inputs.size());
    auto onFile = options.onFile;
    options.onFile = [&](std::size_t i, const FileOutcome& o, std::size_t done) {
        outcomes[i] = o;
        if (onFile)
            onFile(i, o, done);
    };
    const BatchSummary summary = convertFiles(inputs, options);
    std::size_t converted = 0;
    for (const auto& o : outcomes)
        converted += o.stage == FileOutcome::Stage::Converted;
    EXPECT_EQ(summary.converted, converted);
    return outcomes;
}

} // namespace

// Several inputs share a report name here (same base name in two folders, with
// and without extension, the same path twice) and some fail. Any number of
// threads must leave exactly the files a one-by-one run in list order leaves.
TEST(BatchConverter, ParallelRunLeavesTheSameFilesAsASequentialOne)
{
    TempDir in;
    std::filesystem::create_directories(in.path() / "a");
    std::filesystem::create_directories(in.path() / "b");
    std::vector<std::string> inputs;
    for (std::uint32_t i = 0; i < 40; ++i) {
        const std::string p = in.file((i % 2 ? "a/H" : "b/H") + std::to_string(i % 25) + (i % 3 ? ".wav" : ""));
        writeSample(p, i);
        inputs.push_back(p);
    }
    inputs.push_back(in.file("a/missing.wav"));
    inputs.push_back(inputs[3]);
    inputs.insert(inputs.begin() + 5, in.file("b/H0.wav")); // exists only as b/H0
    const std::string last = in.file("a/H1");               // later input missing: earlier report stays
    inputs.push_back(last);

    std::map<std::string, std::string> reference;
    std::vector<FileOutcome> referenceOutcomes;
    for (int jobs : {1, 2, 7}) {
        TempDir out;
        BatchOptions options{out.path().string(), "P", jobs, nullptr, {}};
        const auto outcomes = convertAll(inputs, options);
        ASSERT_EQ(outcomes.size(), inputs.size());
        if (jobs == 1) {
            reference = contents(out.path());
            referenceOutcomes = outcomes;
            ASSERT_FALSE(reference.empty());
            continue;
        }
        EXPECT_EQ(contents(out.path()), reference) << jobs << " jobs";
        for (std::size_t i = 0; i < outcomes.size(); ++i)
            EXPECT_EQ(outcomes[i].stage, referenceOutcomes[i].stage) << inputs[i];
    }
    EXPECT_EQ(referenceOutcomes[5].stage, FileOutcome::Stage::NotOpened);
    EXPECT_EQ(referenceOutcomes.back().stage, FileOutcome::Stage::NotOpened);
}

TEST(BatchConverter, StopFlagSkipsTheRemainingFiles)
{
    TempDir in, out;
    std::vector<std::string> inputs;
    for (std::uint32_t i = 0; i < 5; ++i) {
        inputs.push_back(in.file("H" + std::to_string(i)));
        writeSample(inputs.back(), i);
    }
    std::atomic<bool> stop{false};
    BatchOptions options{out.path().string(), "No Prefix", 1, &stop,
                         [&](std::size_t, const FileOutcome&, std::size_t done) { stop = done == 2; }};
    const auto outcomes = convertAll(inputs, options);
    EXPECT_EQ(outcomes[1].stage, FileOutcome::Stage::Converted);
    EXPECT_EQ(outcomes[2].stage, FileOutcome::Stage::Skipped);
    EXPECT_EQ(listDirectory(out.path()), "H0.csv H1.csv");
}
