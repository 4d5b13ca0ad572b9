// An output folder shared with other users (world-writable, sticky, as /tmp
// is): another user plants a link where the next report goes, and a run with
// more rights than that user, root from cron say, writes its report there.
#include "FaultSupport.h"
#include "TempDir.h"
#include "common/AtomicFileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(SharedFolder, LinkPlantedByAnotherUserIsReplacedNotWrittenThrough)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    TempDir shared, system;
    const std::string passwd = system.file("passwd");
    const std::string original = "root:x:0:0:root:/root:/bin/bash\n";
    writeWholeFile(passwd, original);
    ::chmod(shared.path().c_str(), 01777);
    const std::string report = shared.file("H0001.csv");
    const int planted = faults::inChild([&] {
        if (!faults::becomeNobody())
            return faults::Unsupported;
        return ::symlink(passwd.c_str(), report.c_str()) == 0 ? 0 : 1;
    });
    if (planted == faults::Unsupported)
        GTEST_SKIP() << "cannot give up root here";
    ASSERT_EQ(planted, 0);
    ASSERT_TRUE(fs::is_symlink(report));

    ASSERT_TRUE(writeFileAtomically(report, "Job,Date\r\n"));
    EXPECT_EQ(readWholeFile(passwd), original);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(report)));
    EXPECT_EQ(readWholeFile(report), "Job,Date\r\n");
    EXPECT_EQ(listDirectory(shared.path()), "H0001.csv");
}
