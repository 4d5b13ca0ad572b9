#pragma once

#include "TempDir.h"
#include "samplegen/SampleSignature.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs the built quorvex-convert as a user's shell would, with standard output
// and error captured into files of a scratch folder.
struct CommandRun
{
    int status = -1; // exit status; -1 when it died of a signal
    std::string out;
    std::string err;
};

// Starts quorvex-convert with args; the process id, or -1.
pid_t startConverter(const std::vector<std::string>& args, const TempDir& scratch);
// Waits for the converter started with scratch and collects what it wrote.
// One still running after the deadline is killed, and the test fails: a
// user would otherwise wait for ever.
CommandRun finishConverter(pid_t pid, const TempDir& scratch, int seconds = 60);
// Both at once.
CommandRun runConverter(const std::vector<std::string>& args, const TempDir& scratch);

// Polls until done() holds or the deadline (generous: the machine may be busy)
// passes; what done() says last.
bool waitFor(const std::function<bool()>& done, int seconds = 60);

// Input and output folders and a scratch folder for one test of the converter.
class ConverterTest : public ::testing::Test
{
protected:
    TempDir in, out, scratch;
    // A signature file in the input folder holding sample index.
    std::string sample(const std::string& name, std::uint32_t index)
    {
        const SignatureRecord r = makeSampleSignature(index);
        writeWholeFile(in.file(name), std::string(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size()));
        return in.file(name);
    }
};
