// Started with standard error (or output) closed, as some cron and daemon
// set-ups do, a program hands that descriptor to the first file it opens and
// its messages land in that file. Reports must hold report text only.
#include "common/StandardDescriptors.h"
#include "FaultSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

bool isDevNull(int fd)
{
    struct stat st
    {
    }, null{};
    return ::fstat(fd, &st) == 0 && ::stat("/dev/null", &null) == 0 && S_ISCHR(st.st_mode) &&
           st.st_rdev == null.st_rdev;
}

// Runs quorvex-convert with args. The descriptors in closed are closed in it;
// the others of 0, 1 and 2 go to /dev/null. Its exit status, -1 if it died.
int runConverter(std::vector<std::string> args, const std::vector<int>& closed)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd = 0; fd <= 2; ++fd) {
        if (std::find(closed.begin(), closed.end(), fd) != closed.end())
            posix_spawn_file_actions_addclose(&actions, fd);
        else
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
    }
    args.insert(args.begin(), QD_CONVERT_EXE);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, QD_CONVERT_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST(StandardDescriptors, ClosedOnesAreOpenedOnDevNullAndOpenOnesKept)
{
    const int status = faults::inChild([] {
        struct stat before
        {
        };
        if (::fstat(1, &before) != 0)
            return 10;
        ::close(0);
        ::close(2);
        if (!openStandardDescriptors())
            return 11;
        if (!isDevNull(0) || !isDevNull(2))
            return 12;
        struct stat after
        {
        };
        if (::fstat(1, &after) != 0 || after.st_ino != before.st_ino || after.st_dev != before.st_dev)
            return 13; // an open one was replaced
        // The next file opened gets a number of its own.
        const int next = ::open("/dev/null", O_RDONLY);
        return next > 2 ? 0 : 14;
    });
    EXPECT_EQ(status, 0);
}

// Many good files and some that fail, so that the converter writes error
// messages while reports are open: with 2 (or 1 and 2) closed, every report
// must be the same as from a run with the descriptors open.
TEST(StandardDescriptors, ConverterWithClosedDescriptorsWritesOnlyReportText)
{
    TempDir in, reference;
    std::vector<std::string> inputs;
    for (unsigned i = 1; i <= 400; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "H%04u.wav", i);
        faults::writeSample(in.file(name), i);
        inputs.push_back(in.file(name));
        if (i % 10 == 0) { // a missing file and a directory among them
            inputs.push_back(in.file("missing-" + std::to_string(i) + ".wav"));
            fs::create_directory(in.file("H-dir-" + std::to_string(i) + ".wav"));
            inputs.push_back(in.file("H-dir-" + std::to_string(i) + ".wav"));
        }
    }
    const auto withOutput = [&](const fs::path& out) {
        std::vector<std::string> args{"-o", out.string(), "-j", "4"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        return args;
    };
    const int referenceStatus = runConverter(withOutput(reference.path()), {});
    ASSERT_EQ(referenceStatus, 1) << "some inputs are meant to fail";
    const std::string names = listDirectory(reference.path());

    for (const std::vector<int>& closed : {std::vector<int>{2}, std::vector<int>{0, 1, 2}}) {
        SCOPED_TRACE(closed.size() == 1 ? "standard error closed" : "all three closed");
        TempDir out;
        EXPECT_EQ(runConverter(withOutput(out.path()), closed), referenceStatus);
        ASSERT_EQ(listDirectory(out.path()), names);
        int differing = 0;
        for (const auto& entry : fs::directory_iterator(reference.path())) {
            const fs::path name = entry.path().filename();
            if (readWholeFile((out.path() / name).string()) != readWholeFile(entry.path().string()))
                ++differing;
        }
        EXPECT_EQ(differing, 0) << "reports hold something other than report text";
    }
}
