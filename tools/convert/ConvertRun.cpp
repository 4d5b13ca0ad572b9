#include "ConvertRun.h"

#include "SignatureListing.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int)
{
    stopRequested.store(true);
}

void catchStopSignals()
{
    struct sigaction sa{};
    sa.sa_handler = requestStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// Converts inputs, reporting failures as they come.
BatchSummary convertReporting(const std::vector<std::string>& inputs, BatchOptions& options)
{
    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    options.onFile = [&](std::size_t index, const FileOutcome& outcome, std::size_t done) {
        if (outcome.stage == FileOutcome::Stage::Skipped)
            return;
        if (showProgress)
            std::fputs("\r\033[K", stderr);
        if (outcome.stage == FileOutcome::Stage::NotOpened)
            std::fprintf(stderr, "%s: cannot open %s: %s\n", ConvertProgram, inputs[index].c_str(),
                         outcome.io.reason.c_str());
        else if (outcome.stage == FileOutcome::Stage::NotWritten || outcome.stage == FileOutcome::Stage::ReportTaken)
            std::fprintf(stderr, "%s: cannot write %s (from %s): %s\n", ConvertProgram, outcome.output.c_str(),
                         inputs[index].c_str(), outcome.io.reason.c_str());
        if (showProgress)
            std::fprintf(stderr, "%zu/%zu", done, inputs.size());
    };
    const BatchSummary summary = convertFiles(inputs, options);
    if (showProgress)
        std::fputs("\r\033[K", stderr);
    return summary;
}

std::string timestamp()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

// One pass over dir: true when no file failed.
bool watchPass(const std::string& dir, BatchOptions& options)
{
    const SignatureListing listing = listSignatureFiles(dir);
    if (!listing.status) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", ConvertProgram, dir.c_str(), listing.status.reason.c_str());
        return false;
    }
    std::vector<std::string> inputs;
    inputs.reserve(listing.names.size());
    for (const std::string& name : listing.names)
        inputs.push_back(dir + "/" + name);
    const BatchSummary tally = convertReporting(inputs, options);
    std::printf("%s %zu of %zu file(s) converted%s\n", timestamp().c_str(), tally.converted, inputs.size(),
                stopRequested ? " (stopped)" : "");
    std::fflush(stdout);
    return tally.failed == 0;
}

} // namespace

int runFiles(const std::vector<std::string>& inputs, BatchOptions options)
{
    const BatchSummary tally = convertReporting(inputs, options);
    std::printf("%zu of %zu file(s) converted\n", tally.converted, inputs.size());
    return tally.failed == 0 ? 0 : 1;
}

int runWatch(const std::string& dir, double everyMinutes, BatchOptions options)
{
    catchStopSignals();
    options.stop = &stopRequested;
    if (everyMinutes <= 0)
        return watchPass(dir, options) ? 0 : 1;

    const auto interval = std::chrono::duration<double, std::ratio<60>>(everyMinutes);
    bool allConverted = true;
    while (!stopRequested) {
        allConverted = watchPass(dir, options) && allConverted;
        // The next pass is due one interval after this one ended.
        const auto due = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(interval);
        while (!stopRequested && std::chrono::steady_clock::now() < due)
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                std::chrono::milliseconds(100), due - std::chrono::steady_clock::now()));
    }
    return allConverted ? 0 : 1;
}
