// quorvex-convert run as a user or a timer job runs it: on inputs that are not
// signature files and with a disk that takes no more. It names every file it
// could not handle with the reason, finishes (a deadline stands in for a user
// who would otherwise wait forever), exits with 1, and leaves only whole
// reports.
#include "CsvReport.h"
#include "FaultSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
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

// Runs the converter with args, stderr into a file; fileSizeLimit > 0 limits
// the size of the files it may write.
CommandRun convert(const std::vector<std::string>& args, const TempDir& scratch, std::size_t fileSizeLimit = 0)
{
    const std::string errPath = scratch.file("stderr");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        if (fileSizeLimit)
            faults::limitFileSize(fileSizeLimit);
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

    const CommandRun run = convert(args, dir, 4096);
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
