// quorvex-convert stopped by a user (Ctrl-C) or a service manager (SIGTERM)
// while it replaces reports, and the interval of its watch.
#include "CommandRunner.h"
#include "signature/CsvReport.h"

#include <csignal>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int InputCount = 2000;
const std::string OldReport = "report of an earlier run\r\n";

std::string numbered(int i)
{
    char name[16];
    std::snprintf(name, sizeof name, "H%04d", i);
    return name;
}

class StopCommandTest : public ConverterTest
{
protected:
    std::vector<std::string> inputs;

    // Many signature files (links of one, to keep the disk out of it), each
    // with a report of an earlier run to be replaced.
    void SetUp() override
    {
        const std::string first = sample(numbered(0), 5);
        inputs.push_back(first);
        for (int i = 1; i < InputCount; ++i) {
            inputs.push_back(in.file(numbered(i)));
            fs::create_hard_link(first, inputs.back());
        }
        for (int i = 0; i < InputCount; ++i)
            writeWholeFile(out.file(numbered(i) + ".csv"), OldReport);
    }

    // Starts the converter with args, sends signal once a few reports have
    // been replaced, and checks what it leaves: every report whole (old or
    // new), nothing else in the folder, and the exit status of a run stopped
    // by that signal.
    void stopPartWay(const std::vector<std::string>& args, int signal)
    {
        const pid_t pid = startConverter(args, scratch);
        ASSERT_GT(pid, 0);
        const std::string tenth = out.file(numbered(10) + ".csv");
        const bool started = waitFor([&] { return fs::file_size(tenth) != OldReport.size(); });
        ::kill(pid, signal);
        const CommandRun r = finishConverter(pid, scratch);
        ASSERT_TRUE(started) << r.err;
        EXPECT_EQ(r.status, 128 + signal) << r.err;
        EXPECT_NE(r.out.find(" of " + std::to_string(InputCount) + " file(s) converted (stopped)\n"), std::string::npos)
            << r.out;

        const std::string report = formatCsvReport(makeSampleSignature(5));
        int replaced = 0;
        for (int i = 0; i < InputCount; ++i) {
            const std::string content = readWholeFile(out.file(numbered(i) + ".csv"));
            ASSERT_TRUE(content == OldReport || content == report) << numbered(i) << ": " << content.size() << " bytes";
            replaced += content == report;
        }
        EXPECT_GE(replaced, 11);
        EXPECT_LT(replaced, InputCount) << "the signal came after the run had ended";
        std::vector<std::string> leftovers;
        for (const auto& e : fs::directory_iterator(out.path()))
            if (const std::string name = e.path().filename().string(); name.size() != 9 || name[0] != 'H')
                leftovers.push_back(name);
        EXPECT_EQ(leftovers, std::vector<std::string>{});
    }
};

} // namespace

TEST_F(StopCommandTest, FileRunStoppedBySigtermEndsBetweenFilesWithStatus143)
{
    std::vector<std::string> args{"-j", "1", "-o", out.path().string()};
    args.insert(args.end(), inputs.begin(), inputs.end());
    stopPartWay(args, SIGTERM);
}

TEST_F(StopCommandTest, FileRunOnThreadsStoppedBySigintEndsBetweenFilesWithStatus130)
{
    std::vector<std::string> args{"-j", "3", "-o", out.path().string()};
    args.insert(args.end(), inputs.begin(), inputs.end());
    stopPartWay(args, SIGINT);
}

TEST_F(StopCommandTest, WatchOnceStoppedBySigintEndsBetweenFilesWithStatus130)
{
    stopPartWay({"--watch", in.path().string(), "--once", "-j", "1", "-o", out.path().string()}, SIGINT);
}

// A busy loop (1e-9 minutes) or a number written some other way is refused:
// decimal minutes, at least one second, at most a year.
TEST(EveryInterval, TakesDecimalMinutesFromOneSecondToAYear)
{
    TempDir empty, scratch;
    for (const std::string bad :
         {"1e-9", "0x10", "0.0166", "inf", "nan", "+5", "-1", " 5", "1e1", ".", "", "5min", "0", "525601", "1,5"}) {
        const CommandRun r =
            finishConverter(startConverter({"--watch", empty.path().string(), "--every", bad}, scratch), scratch, 10);
        EXPECT_EQ(r.status, 2) << "'" << bad << "'";
        EXPECT_NE(r.err.find("--every takes a decimal number of minutes"), std::string::npos) << r.err;
    }
    // Accepted: the first pass runs at once, and Ctrl-C ends the watch.
    for (const std::string good : {"0.0167", "1", "5.", ".5", "525600"}) {
        const pid_t pid = startConverter({"--watch", empty.path().string(), "--every", good}, scratch);
        ASSERT_GT(pid, 0);
        const bool passed = waitFor([&] { return readWholeFile(scratch.file("stdout")).ends_with("converted\n"); });
        ::kill(pid, SIGINT);
        const CommandRun r = finishConverter(pid, scratch);
        EXPECT_TRUE(passed) << good << ": " << r.err;
        EXPECT_EQ(r.status, 128 + SIGINT) << good << ": " << r.err;
    }
}
