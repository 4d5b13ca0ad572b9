#include "TrendFiles.h"

#include "common/WorkerThreads.h"
#include "samplegen/SampleSignature.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

std::vector<std::string> trendStrokeFiles(const fs::path& dir, std::uint32_t count)
{
    const fs::path marker = dir / ".complete";
    std::vector<std::string> paths;
    paths.reserve(count);
    char name[32];
    for (std::uint32_t i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "H%06u", i + 1);
        paths.push_back((dir / name).string());
    }
    std::FILE* m = std::fopen(marker.c_str(), "r");
    unsigned made = 0;
    if (m) {
        if (std::fscanf(m, "%u", &made) != 1)
            made = 0;
        std::fclose(m);
    }
    if (made == count)
        return paths;
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::printf("making %u files in %s ...\n", count, dir.c_str());
    std::fflush(stdout);
    std::atomic<std::uint32_t> next{0};
    runOnWorkerThreads(static_cast<int>(std::thread::hardware_concurrency()), [&] {
        for (std::uint32_t i; (i = next.fetch_add(1)) < count;) {
            const SignatureRecord r = makeTrendSignature(i, count);
            std::FILE* f = std::fopen(paths[i].c_str(), "wb");
            if (!f || std::fwrite(r.bytes.data(), 1, r.bytes.size(), f) != r.bytes.size() || std::fclose(f) != 0) {
                std::perror(paths[i].c_str());
                std::exit(1);
            }
        }
    });
    m = std::fopen(marker.c_str(), "w");
    std::fprintf(m, "%u\n", count);
    std::fclose(m);
    return paths;
}

std::size_t residentBytes()
{
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}
