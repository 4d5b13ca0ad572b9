#include "convert/OutputFileName.h"

#include <gtest/gtest.h>

TEST(OutputFileName, NamingRule)
{
    struct Case
    {
        const char* dir;
        const char* prefix;
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"/out", "No Prefix", "/data/H0001.wav", "/out/H0001.csv"},
        {"/out", "Press7", "/data/H0001.wav", "/out/Press7-H0001.csv"},
        {"/out", "no prefix", "/data/H0001.wav", "/out/no prefix-H0001.csv"}, // other case is a prefix
        {"/out", "Batch.csv", "/data/H0001.wav", "/out/Batch.csv-H0001.csv"},
        {"/out", "No Prefix", "/data/H0001", "/out/H0001.csv"},
        {"/out", "No Prefix", "/data/a.b.wav", "/out/a.b.csv"},
        {"/out", "No Prefix", "/da.ta/H0001", "/out/H0001.csv"}, // a dot in a directory is no extension
        {"/", "No Prefix", "/data/H0001.wav", "//H0001.csv"},    // the root keeps its separator
        {"/out", "No Prefix", "C:\\Data\\H0001.wav", "/out/C:\\Data\\H0001.csv"}, // "\" and ":" are plain
        {"/out", "No Prefix", "H0001.wav", "/out/H0001.csv"},
        {"/out", "No Prefix", "/data/.hidden", "/out/.csv"},
        {"/out", "", "/data/H0001.wav", "/out/-H0001.csv"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeOutputFileName(c.dir, c.prefix, c.input), c.expected)
            << c.dir << " " << c.prefix << " " << c.input;
}

TEST(OutputFileName, DirectoryAndFileNameParts)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/out/No Prefix", "/out", "No Prefix"},
        {"/No Prefix", "/", "No Prefix"},
        {"/a/b/Batch.csv", "/a/b", "Batch.csv"},
        {"/a//x", "/a//", "x"}, // a separator after a separator stays, as after a root
        {"/a/b/", "/a/b", ""},
        {"plain", "", "plain"},
        {"C:name", "", "C:name"},
        {"/d/C:\\x", "/d", "C:\\x"},
    };
    for (const auto& [path, dir, name] : cases) {
        EXPECT_EQ(directoryPart(path), dir) << path;
        EXPECT_EQ(fileNamePart(path), name) << path;
    }
}
