// quorvex-convert in folders other users can write to, and run by someone with
// more rights than they have (root from cron): nothing planted there may make
// it write elsewhere or copy a file it was not asked to copy, and its own
// input is never lost to its report.
#include "CommandRunner.h"
#include "signature/CsvReport.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SharedFolderCommandTest : public ConverterTest
{
protected:
    static std::string reportOf(std::uint32_t index) { return formatCsvReport(makeSampleSignature(index)); }
};

} // namespace

// A link where the report goes, to a file outside the output folder: the run
// replaces the link by the report and leaves that file as it was.
TEST_F(SharedFolderCommandTest, LinkAtTheReportNameIsReplacedAndWhatItNamesKept)
{
    const std::string input = sample("H0001.wav", 1);
    const std::string outside = scratch.file("precious");
    writeWholeFile(outside, "keep me\n");
    ASSERT_EQ(::symlink(outside.c_str(), out.file("H0001.csv").c_str()), 0);

    const CommandRun r = runConverter({"-o", out.path().string(), input}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(readWholeFile(outside) == "keep me\n") << "the file the link named was written";
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out.file("H0001.csv"))));
    EXPECT_EQ(readWholeFile(out.file("H0001.csv")), reportOf(1));
}

// A link in a watched folder to a signature another user keeps to himself
// (mode 0600): a pass run as root would copy it into a report anyone may
// read. The folder pass takes regular files only; a file the user names on
// the command line may still be a link.
TEST_F(SharedFolderCommandTest, WatchTakesNoLinkFromTheFolder)
{
    sample("H0001", 1);
    sample("H0002", 2);
    const std::string secret = scratch.file("secret");
    fs::copy_file(sample("elsewhere", 7), secret);
    fs::remove(in.file("elsewhere"));
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(secret.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(::symlink(secret.c_str(), in.file("H0003").c_str()), 0);

    CommandRun r = runConverter({"--watch", in.path().string(), "--once", "-o", out.path().string()}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" 2 of 2 file(s) converted\n"), std::string::npos) << r.out;
    EXPECT_EQ(listDirectory(out.path()), "H0001.csv H0002.csv");

    r = runConverter({"-o", out.path().string(), in.file("H0003")}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readWholeFile(out.file("H0003.csv")), reportOf(7));
}

// A signature saved under a ".csv" name and converted in its own folder would
// be replaced by its report: it is refused, also when reached through a link,
// and the others are converted.
TEST_F(SharedFolderCommandTest, FileThatIsItsOwnReportIsRefused)
{
    const std::string own = sample("H0009.csv", 9);
    const std::string viaLink = in.file("H0008.wav");
    fs::copy_file(own, out.file("H0008.csv"));
    ASSERT_EQ(::symlink(out.file("H0008.csv").c_str(), viaLink.c_str()), 0);
    const std::string good = sample("H0001.wav", 1);
    const std::string signature = readWholeFile(own);

    const auto cwd = fs::current_path();
    fs::current_path(in.path());
    CommandRun r = runConverter({"H0009.csv", "H0001.wav"}, scratch);
    fs::current_path(cwd);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1 of 2 file(s) converted\n");
    EXPECT_EQ(r.err, "quorvex-convert: cannot write ./H0009.csv (from H0009.csv): its report would replace the file "
                     "itself\n");
    EXPECT_TRUE(readWholeFile(own) == signature) << "the signature was replaced";
    EXPECT_EQ(readWholeFile(in.file("H0001.csv")), reportOf(1));

    r = runConverter({"-o", out.path().string(), viaLink, good}, scratch);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + out.file("H0008.csv") + " (from " + viaLink +
                         "): its report would replace the file itself\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(readWholeFile(out.file("H0008.csv")) == signature) << "the signature was replaced";
    EXPECT_EQ(readWholeFile(out.file("H0001.csv")), reportOf(1));
}

// A prefix is part of a file name: a "/" would put reports into another
// folder, a control character makes names scripts stumble over. Both are
// usage errors that write nothing; an empty prefix is no prefix.
TEST_F(SharedFolderCommandTest, PrefixWithASlashOrAControlCharacterIsAUsageError)
{
    const std::string input = sample("H0001.wav", 1);
    const std::string reports = out.file("reports");
    fs::create_directory(reports);
    for (const std::string bad : {"/", "../x", "a/b", "line\nbreak", "tab\t", "\x7f", "\x1b[31m"}) {
        const CommandRun r = runConverter({"-o", reports, "-p", bad, input}, scratch);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("a prefix may hold no \"/\" and no control character"), std::string::npos) << r.err;
    }
    EXPECT_EQ(listDirectory(out.path()), "reports");
    EXPECT_EQ(listDirectory(reports), "");

    const CommandRun r = runConverter({"-o", reports, "-p", "", "--prefix", "", input}, scratch);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listDirectory(reports), "H0001.csv");
}
