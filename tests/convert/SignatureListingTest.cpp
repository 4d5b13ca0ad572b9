#include "convert/SignatureListing.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// What a folder offers as signature files: the name mask, what is no file,
// and a folder that is not there.
TEST(SignatureListingTest, PicksNamesStartingWithHWithoutExtensionSortedIgnoringCase)
{
    TempDir dir;
    for (const char* name : {"H0003.wav", "h0002", "Hx.txt", "H0001", "x0001", ".H0005", "H0010", "h0001a"})
        writeWholeFile(dir.file(name), "x");
    ::mkdir(dir.file("H0004").c_str(), 0755);  // a folder is no file
    ::mkfifo(dir.file("H0006").c_str(), 0600); // nor is a pipe
    const SignatureListing l = listSignatureFiles(dir.path().string());
    ASSERT_TRUE(l.status.ok);
    EXPECT_EQ(l.names, (std::vector<std::string>{"H0001", "h0001a", "h0002", "H0010"}));

    const SignatureListing missing = listSignatureFiles(dir.file("missing"));
    EXPECT_FALSE(missing.status.ok);
    EXPECT_EQ(missing.status.reason, "No such file or directory");
}

// A link is no ordinary file, whatever it names.
TEST(SignatureListingTest, LinksAreNotListed)
{
    TempDir dir;
    writeWholeFile(dir.file("H0001"), "x");
    writeWholeFile(dir.file("elsewhere"), "x");
    ASSERT_EQ(::symlink(dir.file("elsewhere").c_str(), dir.file("H0002").c_str()), 0);
    ASSERT_EQ(::symlink("H0001", dir.file("H0003").c_str()), 0);
    const SignatureListing l = listSignatureFiles(dir.path().string());
    ASSERT_TRUE(l.status.ok);
    EXPECT_EQ(l.names, std::vector<std::string>{"H0001"});
}
