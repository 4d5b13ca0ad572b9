// quorvex-convert run as a user or a timer job runs it: on inputs that are not
// signature files and with a disk that takes no more. It names every file it
// could not handle with the reason, finishes (a deadline stands in for a user
// who would otherwise wait forever), exits with 1, and leaves only whole
// reports.
#include "FaultSupport.h"
#include "TempDir.h"
#include "samplegen/SampleSignature.h"
#include "signature/CsvReport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct CommandRun
{
    int status = -1; // exit status; -1 when killed at the deadline or by a signal
    std::string err;
};

// Runs the converter with args, stderr into a file; situation, when given,
// sets up the child before it becomes the converter (false: it cannot, and
// the run ends with faults::Unsupported).
CommandRun convert(const std::vector<std::string>& args, const TempDir& scratch,
                   const std::function<bool()>& situation = {})
{
    const std::string errPath = scratch.file("stderr");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        if (situation && !situation())
            ::_exit(faults::Unsupported);
        std::vector<std::string> all{QD_CONVERT_EXE};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(QD_CONVERT_EXE, argv.data());
        ::_exit(127);
    }
    CommandRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ADD_FAILURE() << "quorvex-convert hung";
            run.err = readWholeFile(errPath);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readWholeFile(errPath);
    return run;
}

} // namespace

TEST(CommandFaults, EveryInputThatIsNotASignatureFileIsNamedWithItsReason)
{
    TempDir dir;
    const std::string out = dir.file("out");
    fs::create_directory(out);
    const std::vector<std::string> hostile = faults::makeHostileInputs(dir.path().string());
    const std::string good = dir.file("H0001.wav"), sparse = dir.file("H-sparse.wav");
    faults::writeSample(good, 1);
    faults::makeSparseFile(sparse, 2LL << 30);
    std::vector<std::string> args{"-o", out, "-j", "2", good, sparse};
    args.insert(args.end(), hostile.begin(), hostile.end());

    const CommandRun run = convert(args, dir);
    EXPECT_EQ(run.status, 1);
    const std::pair<std::string, std::string> reasons[] = {{hostile[0], "Is a directory"},
                                                           {hostile[1], "not a regular file"},
                                                           {hostile[2], "No such file or directory"},
                                                           {hostile[3], "Too many levels of symbolic links"},
                                                           {"/dev/zero", "not a regular file"},
                                                           {hostile[5], "No such file or directory"}};
    for (const auto& [path, reason] : reasons)
        EXPECT_NE(run.err.find("quorvex-convert: cannot open " + path + ": " + reason + "\n"), std::string::npos)
            << path << " in:\n"
            << run.err;
    EXPECT_EQ(listDirectory(out), "H-sparse.csv H0001.csv");
    EXPECT_EQ(readWholeFile(out + "/H-sparse.csv"), formatCsvReport(SignatureRecord{}));
}

TEST(CommandFaults, FullDiskNamesEachReportAndKeepsTheEarlierOnes)
{
    TempDir dir;
    const std::string out = dir.file("out");
    fs::create_directory(out);
    std::vector<std::string> args{"-o", out, "-j", "2"};
    for (unsigned i = 1; i <= 3; ++i) {
        args.push_back(dir.file("H000" + std::to_string(i)));
        faults::writeSample(args.back(), i);
    }
    writeWholeFile(out + "/H0002.csv", "report of an earlier run\r\n");

    const CommandRun run = convert(args, dir, [] {
        faults::limitFileSize(4096);
        return true;
    });
    EXPECT_EQ(run.status, 1);
    for (unsigned i = 1; i <= 3; ++i) {
        const std::string report = out + "/H000" + std::to_string(i) + ".csv";
        EXPECT_NE(
            run.err.find("quorvex-convert: cannot write " + report + " (from " + args[3 + i] + "): File too large\n"),
            std::string::npos)
            << run.err;
    }
    EXPECT_EQ(listDirectory(out), "H0002.csv");
    EXPECT_EQ(readWholeFile(out + "/H0002.csv"), "report of an earlier run\r\n");
}

// A host at its task limit (or too busy to start a thread): the converter
// starts what threads it can, says so, and converts every file on those, the
// main thread at least, instead of dying half way.
TEST(CommandFaults, ThreadsThatCannotBeStartedLeaveTheWorkToTheOthers)
{
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string out = dir.file("out");
    fs::create_directory(out);
    ::chmod(out.c_str(), 0777);
    std::vector<std::string> args{"-o", out, "-j", "4"};
    for (unsigned i = 1; i <= 6; ++i) {
        args.push_back(dir.file("H000" + std::to_string(i)));
        faults::writeSample(args.back(), i);
    }

    const CommandRun run = convert(args, dir, [] {
        // Root is not held to the limit; "nobody" is. One task, this one:
        // not a single thread more can start.
        if (!faults::becomeNobody())
            return false;
        const rlimit one{1, 1};
        if (::setrlimit(RLIMIT_NPROC, &one) != 0)
            return false;
        // The leak checker of a sanitizer build needs a task of its own at exit.
        const char* asan = std::getenv("ASAN_OPTIONS");
        ::setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
        return true;
    });
    if (run.status == faults::Unsupported)
        GTEST_SKIP() << "cannot run as nobody here";
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("quorvex-convert: could start only 1 of 4 threads (Resource temporarily unavailable); "
                           "converting on 1\n"),
              std::string::npos)
        << run.err;
    for (unsigned i = 1; i <= 6; ++i)
        EXPECT_EQ(readWholeFile(out + "/H000" + std::to_string(i) + ".csv"), formatCsvReport(makeSampleSignature(i)))
            << i;
}
