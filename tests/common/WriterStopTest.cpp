// A program stopped while it replaces reports, or writing onto a full disk,
// must leave the reports whole and no temporary file beside them: nothing
// would ever remove one.
#include "FaultSupport.h"
#include "TempDir.h"
#include "common/AtomicFileWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Names = std::vector<std::string>;

// A child process that runs body, which writes one byte to ready when the
// parent may stop it. The parent stops it with SIGTERM as soon as that byte
// arrives; true when the child died of that signal.
bool stoppedWhenReady(const std::function<void(int ready)>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        body(pipeFds[1]);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char byte = 0;
    const bool ready = child > 0 && ::read(pipeFds[0], &byte, 1) == 1;
    ::close(pipeFds[0]);
    if (child > 0)
        ::kill(child, SIGTERM);
    int status = 0;
    return ready && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
}

void signalReady(int ready)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(ready, &byte, 1);
}

} // namespace

TEST(WriterStops, StoppedInTheMiddleOfAReplacementLeavesTheOldReportAlone)
{
    TempDir dir;
    const std::string path = dir.file("H0001.csv");
    writeWholeFile(path, "old");
    ASSERT_TRUE(stoppedWhenReady([&](int ready) {
        AtomicFileWriter w;
        if (w.open(path) && w.write(std::string(1 << 20, 'x')))
            signalReady(ready);
        for (;;)
            ::pause();
    }));
    EXPECT_EQ(readWholeFile(path), "old");
    EXPECT_EQ(faults::leftoverTemporaries(dir.path()), Names{});
}

// Stopped at whatever point it reached while replacing the same reports over
// and over: each report is whole, old or new, and nothing else is there.
TEST(WriterStops, StoppedAnywhereInARunOfReplacementsLeavesWholeReportsOnly)
{
    TempDir dir;
    const std::string a(200000, 'a'), b(300000, 'b');
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(stoppedWhenReady([&](int ready) {
            for (unsigned i = 0;; ++i) {
                writeFileAtomically(dir.file("H" + std::to_string(i % 3) + ".csv"), i % 2 ? a : b);
                if (i == 3u + static_cast<unsigned>(round))
                    signalReady(ready);
            }
        }));
        for (int r = 0; r < 3; ++r) {
            const std::string report = readWholeFile(dir.file("H" + std::to_string(r) + ".csv"));
            EXPECT_TRUE(report == a || report == b) << "H" << r << ".csv holds " << report.size() << " bytes";
        }
        EXPECT_EQ(faults::leftoverTemporaries(dir.path()), Names{});
    }
}

// A disk that takes no more: the write fails, the report being replaced stays
// as it was, and neither a replacement nor a new report leaves anything.
TEST(WriterStops, FullDiskFailsAndLeavesNothing)
{
    TempDir dir;
    const std::string disk = dir.file("disk");
    std::filesystem::create_directory(disk);
    const int status = faults::inChild([&] {
        if (!faults::mountSmallDisk(disk, 64 * 1024))
            faults::limitFileSize(64 * 1024);
        const std::string report = disk + "/H0001.csv";
        if (!writeFileAtomically(report, "old"))
            return 10;
        const std::string big(1 << 20, 'x');
        if (writeFileAtomically(report, big).ok)
            return 11;
        if (writeFileAtomically(disk + "/H0002.csv", big).ok)
            return 12;
        if (readWholeFile(report) != "old")
            return 13;
        if (!faults::leftoverTemporaries(disk).empty())
            return 14;
        return listDirectory(disk) == "H0001.csv" ? 0 : 15;
    });
    EXPECT_EQ(status, 0);
}
