// Reading and summarising a production run of signature files, held against
// the floor of just reading the part of each file a summary needs (open, read
// the first 9,704 bytes, close) on the same threads, and quorvex-convert
// --summary over the same folder against the same floor. Also the memory the
// kept summaries take per stroke. Prints figures; never fails on speed.
//
//   summary_bench [--files N] [--reps R] [--workdir DIR] [QUORVEX_CONVERT]
#include "TrendFiles.h"
#include "analysis/SummaryScan.h"
#include "analysis/SummaryTable.h"
#include "common/WorkerThreads.h"
#include "signature/SignatureRecord.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The floor: what any summariser must do for each file, and nothing else.
double rawReadFloor(const std::vector<std::string>& paths, int threads)
{
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> bytes{0};
    const auto t0 = std::chrono::steady_clock::now();
    runOnWorkerThreads(threads, [&] {
        std::vector<char> buffer(SignatureRecord::FieldsSize);
        std::size_t mine = 0;
        for (std::size_t i; (i = next.fetch_add(1)) < paths.size();) {
            const int fd = ::open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            mine += n > 0 ? static_cast<std::size_t>(n) : 0;
            ::close(fd);
        }
        bytes += mine;
    });
    const double s = seconds(t0);
    if (bytes != paths.size() * SignatureRecord::FieldsSize)
        std::fprintf(stderr, "floor read %zu bytes, expected %zu\n", bytes.load(),
                     paths.size() * SignatureRecord::FieldsSize);
    return s;
}

// Reading and summarising, keeping the summaries as quorvex-convert does.
double summarise(const std::vector<std::string>& paths, int threads, std::vector<StrokeSummary>* keep = nullptr)
{
    std::vector<StrokeSummary> rows(paths.size());
    SummaryScanOptions options;
    options.jobs = threads;
    std::size_t failed = 0;
    options.onFile = [&](std::size_t index, ScannedFile& file) {
        if (file.summary)
            rows[index] = std::move(*file.summary);
        else
            ++failed;
    };
    const auto t0 = std::chrono::steady_clock::now();
    summariseFiles(paths, options);
    const double s = seconds(t0);
    if (failed)
        std::fprintf(stderr, "%zu files could not be summarised\n", failed);
    if (keep)
        *keep = std::move(rows);
    return s;
}

double runSummaryCommand(const std::string& exe, const fs::path& dir, const fs::path& out)
{
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execl(exe.c_str(), exe.c_str(), "--summary", out.c_str(), "--watch", dir.c_str(), "--once",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double s = seconds(t0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s --summary ended with status %d\n", exe.c_str(), status);
    return s;
}

// Heap in use, over every thread's arena, blocks the allocator took by mmap
// included (a large vector is one).
std::size_t heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint32_t files = 100000;
    int reps = 5;
    fs::path work = fs::temp_directory_path() / "quorvex-summary-bench";
    std::string exe;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--files") && i + 1 < argc)
            files = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc)
            reps = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--workdir") && i + 1 < argc)
            work = argv[++i];
        else
            exe = argv[i];
    }
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const fs::path dir = work / "strokes";
    const std::vector<std::string> paths = trendStrokeFiles(dir, files);

    // Warm the page cache once, so that every round reads from memory.
    rawReadFloor(paths, threads);

    std::vector<double> floorS, summaryS, commandS;
    for (int r = 0; r < reps; ++r) {
        // Rotating order: whatever else the machine does falls on each alike.
        for (int k = 0; k < 3; ++k) {
            switch ((r + k) % 3) {
            case 0:
                floorS.push_back(rawReadFloor(paths, threads));
                break;
            case 1:
                summaryS.push_back(summarise(paths, threads));
                break;
            case 2:
                if (!exe.empty())
                    commandS.push_back(runSummaryCommand(exe, dir, work / "summary.csv"));
                break;
            }
        }
    }
    const double floor = median(floorS), summary = median(summaryS);
    std::printf("%u files, %d threads, %d rounds (median)\n", files, threads, reps);
    std::printf("  raw-read floor (open, read %zu bytes, close): %8.0f files/s\n", SignatureRecord::FieldsSize,
                files / floor);
    std::printf("  read and summarise:                           %8.0f files/s  = %.2f of the floor\n", files / summary,
                floor / summary);
    if (!commandS.empty()) {
        const double command = median(commandS);
        std::printf("  quorvex-convert --summary (whole process):    %8.0f files/s  = %.2f of the floor\n",
                    files / command, floor / command);
    }

    // Memory: the heap the kept summaries take, per stroke.
    malloc_trim(0);
    const std::size_t before = heapInUse();
    const std::size_t rssBefore = residentBytes();
    std::vector<StrokeSummary> kept;
    summarise(paths, threads, &kept);
    malloc_trim(0);
    const std::size_t after = heapInUse();
    const std::size_t rssAfter = residentBytes();
    std::printf("  summaries kept: heap %.0f bytes per stroke, resident memory %.0f bytes per stroke "
                "(sizeof(StrokeSummary) %zu)\n",
                double(after) / files - double(before) / files, double(rssAfter) / files - double(rssBefore) / files,
                sizeof(StrokeSummary));

    // Sorting the kept rows by a peak column, as a table does.
    const SummaryColumn& peak = summaryColumns()[8];
    std::vector<double> sortMs;
    for (int r = 0; r < reps; ++r) {
        std::vector<std::uint32_t> order(kept.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        const auto t0 = std::chrono::steady_clock::now();
        std::vector<double> key(kept.size());
        for (std::size_t i = 0; i < kept.size(); ++i)
            key[i] = columnNumber(kept[i], peak);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return key[a] < key[b]; });
        sortMs.push_back(seconds(t0) * 1000);
    }
    std::printf("  sort by \"%s\" (keys + stable sort of row numbers): %.1f ms\n", peak.name.c_str(), median(sortMs));
    return 0;
}
