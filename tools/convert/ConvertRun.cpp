#include "ConvertRun.h"

#include "convert/SignatureListing.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "set from a signal handler");

extern "C" void requestStop(int signal)
{
    stopSignal.store(signal);
    stopRequested.store(true);
}

} // namespace

// From here on SIGINT and SIGTERM end the run between two files instead of in
// the middle of one: each thread finishes the file it is on, so no report is
// left half replaced and no temporary file stays behind.
const std::atomic<bool>* catchStopSignals()
{
    struct sigaction sa = {};
    sa.sa_handler = requestStop;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return &stopRequested;
}

int stopSignalSeen()
{
    return stopRequested ? stopSignal.load() : 0;
}

namespace {

// A run stopped by a signal did not do all it was asked to: it ends with the
// status a shell gives a command killed by that signal (130, 143), so that
// scripts and service managers do not take it for a success.
int finalStatus(bool allConverted)
{
    if (stopRequested)
        return 128 + stopSignal.load();
    return allConverted ? 0 : 1;
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
        else if (outcome.stage != FileOutcome::Stage::Converted)
            std::fprintf(stderr, "%s: cannot write %s (from %s): %s\n", ConvertProgram, outcome.output.c_str(),
                         inputs[index].c_str(), outcome.io.reason.c_str());
        if (showProgress)
            std::fprintf(stderr, "%zu/%zu", done, inputs.size());
    };
    options.onFewerThreads = [&](int started, int wanted, const std::string& why) {
        if (showProgress)
            std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "%s: could start only %d of %d threads (%s); converting on %d\n", ConvertProgram, started,
                     wanted, why.c_str(), started);
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
    std::vector<std::string> inputs;
    if (!listFolderInputs(dir, inputs))
        return false;
    // The listing holds no links, but a file listed can be swapped for one
    // before it is opened.
    options.inputLinks = FinalLink::Refuse;
    const BatchSummary tally = convertReporting(inputs, options);
    std::printf("%s %zu of %zu file(s) converted%s\n", timestamp().c_str(), tally.converted, inputs.size(),
                stopRequested ? " (stopped)" : "");
    std::fflush(stdout);
    return tally.failed == 0;
}

} // namespace

bool listFolderInputs(const std::string& dir, std::vector<std::string>& inputs)
{
    const SignatureListing listing = listSignatureFiles(dir);
    if (!listing.status) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", ConvertProgram, dir.c_str(), listing.status.reason.c_str());
        return false;
    }
    inputs.clear();
    inputs.reserve(listing.names.size());
    for (const std::string& name : listing.names) {
        std::string path = dir;
        path += '/';
        path += name;
        inputs.push_back(std::move(path));
    }
    return true;
}

int runFiles(const std::vector<std::string>& inputs, BatchOptions options)
{
    options.stop = catchStopSignals();
    const BatchSummary tally = convertReporting(inputs, options);
    std::printf("%zu of %zu file(s) converted%s\n", tally.converted, inputs.size(), stopRequested ? " (stopped)" : "");
    return finalStatus(tally.failed == 0);
}

int runWatch(const std::string& dir, double everyMinutes, BatchOptions options)
{
    options.stop = catchStopSignals();
    if (everyMinutes <= 0)
        return finalStatus(watchPass(dir, options));

    const auto interval = std::chrono::duration<double, std::ratio<60>>(everyMinutes);
    bool allConverted = true;
    while (!stopRequested) {
        allConverted = watchPass(dir, options) && allConverted;
        // The next pass is due one interval after this one ended.
        const auto due =
            std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(interval);
        while (!stopRequested && std::chrono::steady_clock::now() < due)
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                std::chrono::milliseconds(100), due - std::chrono::steady_clock::now()));
    }
    return finalStatus(allConverted);
}
