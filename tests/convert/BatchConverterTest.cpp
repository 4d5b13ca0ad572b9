#include "convert/BatchConverter.h"
#include "TempDir.h"
#include "samplegen/SampleSignature.h"
#include "signature/CsvReport.h"

#include <gtest/gtest.h>

#include <map>
#include <unistd.h>

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
        BatchOptions options{.directory = out.path().string(), .prefix = "P", .jobs = jobs};
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
    BatchOptions options{.directory = out.path().string(),
                         .prefix = "No Prefix",
                         .jobs = 1,
                         .stop = &stop,
                         .onFile = [&](std::size_t, const FileOutcome&, std::size_t done) { stop = done == 2; }};
    const auto outcomes = convertAll(inputs, options);
    EXPECT_EQ(outcomes[1].stage, FileOutcome::Stage::Converted);
    EXPECT_EQ(outcomes[2].stage, FileOutcome::Stage::Skipped);
    EXPECT_EQ(listDirectory(out.path()), "H0.csv H1.csv");
}

// A report name taken by one file is refused to any other file of the run,
// whatever the number of threads: the earlier report stays, the later input
// fails naming the earlier one. The same file again is converted again, and a
// name whose first claimant produced nothing is free.
TEST(BatchConverter, ReportTakenByAnotherFileFailsOnAnyNumberOfThreads)
{
    TempDir in;
    std::filesystem::create_directories(in.path() / "a");
    std::filesystem::create_directories(in.path() / "b");
    const std::string a1 = in.file("a/H1.wav"), b1 = in.file("b/H1.wav"), a2 = in.file("a/H2.wav"),
                      b2 = in.file("b/H2.wav"), b3 = in.file("b/H3"), a3 = in.file("a/H3.wav");
    writeSample(a1, 1);
    writeSample(b1, 2);
    writeSample(b2, 3);
    writeWholeFile(b3, "short");
    writeSample(a3, 4);
    const std::vector<std::string> inputs{a1, b1, a1, a2, b2, b3, a3};
    using S = FileOutcome::Stage;
    const std::vector<S> expected{S::Converted, S::ReportTaken, S::Converted, S::NotOpened,
                                  S::Converted, S::NotOpened,   S::Converted};

    for (int jobs : {1, 2, 7}) {
        TempDir out;
        BatchOptions options{.directory = out.path().string(), .prefix = "No Prefix", .jobs = jobs};
        const auto outcomes = convertAll(inputs, options);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(outcomes[i].stage, expected[i]) << inputs[i] << ", " << jobs << " jobs";
        EXPECT_EQ(outcomes[1].output, out.file("H1.csv"));
        EXPECT_EQ(outcomes[1].io.reason, "its report would replace the one just written from " + a1);
        EXPECT_EQ(outcomes[5].io.reason, "only 5 of 27,884 bytes");
        EXPECT_EQ(readWholeFile(out.file("H1.csv")), formatCsvReport(makeSampleSignature(1))) << jobs;
        EXPECT_EQ(readWholeFile(out.file("H2.csv")), formatCsvReport(makeSampleSignature(3))) << jobs;
        EXPECT_EQ(readWholeFile(out.file("H3.csv")), formatCsvReport(makeSampleSignature(4))) << jobs;
        EXPECT_EQ(listDirectory(out.path()), "H1.csv H2.csv H3.csv");
    }
}

// Audio and truncated files give no report, on the command line's converter
// as in the window.
TEST(BatchConverter, FilesThatAreNoSignatureGetNoReport)
{
    TempDir in, out;
    writeWholeFile(in.file("H1.wav"), makeWaveAudio(16000));
    writeWholeFile(in.file("H2.wav"), makeWaveAudio(400));
    writeSample(in.file("H3.wav"), 3);
    writeWholeFile(in.file("H4.wav"), readWholeFile(in.file("H3.wav")).substr(0, 27000));
    const std::vector<std::string> inputs{in.file("H1.wav"), in.file("H2.wav"), in.file("H3.wav"), in.file("H4.wav")};
    const auto outcomes = convertAll(inputs, {.directory = out.path().string(), .prefix = "No Prefix", .jobs = 2});
    EXPECT_EQ(outcomes[0].io.reason, "an audio file, not a signature");
    EXPECT_EQ(outcomes[1].io.reason, "an audio file, not a signature");
    EXPECT_EQ(outcomes[2].stage, FileOutcome::Stage::Converted);
    EXPECT_EQ(outcomes[3].io.reason, "only 27,000 of 27,884 bytes");
    EXPECT_EQ(listDirectory(out.path()), "H3.csv");
}

// The report's name is the input file itself: the signature would be lost to
// its own report. Refused whether the name is spelt alike, reached through a
// link, or a second name of the file; a link at the report's name to the
// input is no such case (the link is replaced, the input kept).
TEST(BatchConverter, ReportNameThatIsTheInputItselfIsRefused)
{
    TempDir in, out;
    const std::string own = out.file("H1.csv"), linked = in.file("H2.wav"), second = in.file("H3.wav");
    writeSample(own, 1);
    writeSample(out.file("H2.csv"), 2);
    ASSERT_EQ(::symlink(out.file("H2.csv").c_str(), linked.c_str()), 0);
    writeSample(out.file("H3.csv"), 3);
    std::filesystem::create_hard_link(out.file("H3.csv"), second);
    const std::string target = in.file("H4.wav");
    writeSample(target, 4);
    ASSERT_EQ(::symlink(target.c_str(), out.file("H4.csv").c_str()), 0);
    const std::string signature1 = readWholeFile(own), signature2 = readWholeFile(linked);

    const auto outcomes =
        convertAll({own, linked, second, target}, {.directory = out.path().string(), .prefix = "No Prefix", .jobs = 2});
    using S = FileOutcome::Stage;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(outcomes[i].stage, S::ReportIsInput) << i;
        EXPECT_EQ(outcomes[i].io.reason, "its report would replace the file itself");
    }
    EXPECT_TRUE(readWholeFile(own) == signature1) << "the signature was replaced";
    EXPECT_TRUE(readWholeFile(out.file("H2.csv")) == signature2) << "the signature was replaced";
    EXPECT_EQ(outcomes[3].stage, S::Converted);
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(out.file("H4.csv"))));
    EXPECT_EQ(readWholeFile(out.file("H4.csv")), formatCsvReport(makeSampleSignature(4)));
}

// A folder pass refuses inputs that are links, also one that turned into a
// link after the folder was listed; regular files beside it are converted.
TEST(BatchConverter, FolderPassRefusesLinks)
{
    TempDir in, out;
    writeSample(in.file("H1"), 1);
    writeSample(in.file("elsewhere"), 2);
    ASSERT_EQ(::symlink(in.file("elsewhere").c_str(), in.file("H2").c_str()), 0);
    const std::vector<std::string> inputs{in.file("H1"), in.file("H2")};
    BatchOptions options{.directory = out.path().string(), .prefix = "No Prefix", .jobs = 2};

    options.inputLinks = FinalLink::Refuse;
    const auto outcomes = convertAll(inputs, options);
    EXPECT_EQ(outcomes[0].stage, FileOutcome::Stage::Converted);
    EXPECT_EQ(outcomes[1].stage, FileOutcome::Stage::NotOpened);
    EXPECT_EQ(outcomes[1].io.reason, "a symbolic link, not followed");
    EXPECT_EQ(listDirectory(out.path()), "H1.csv");

    options.inputLinks = FinalLink::Follow; // files the user named
    EXPECT_EQ(convertAll(inputs, options)[1].stage, FileOutcome::Stage::Converted);
    EXPECT_EQ(readWholeFile(out.file("H2.csv")), formatCsvReport(makeSampleSignature(2)));
}
