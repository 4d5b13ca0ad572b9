// Writes synthetic signature files H0001.wav, H0002.wav, ... for tests,
// benchmarks and the bundled samples.
#include "samplegen/SampleSignature.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    long count = 5;
    long first = 1;
    const char* extension = ".wav";
    const char* dir = nullptr;
    bool trend = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--count") && i + 1 < argc)
            count = std::strtol(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--first") && i + 1 < argc)
            first = std::strtol(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--no-extension"))
            extension = "";
        else if (!std::strcmp(argv[i], "--trend"))
            trend = true;
        else if (argv[i][0] != '-' && !dir)
            dir = argv[i];
        else {
            dir = nullptr;
            break;
        }
    }
    if (!dir || count < 0 || first < 0) {
        std::fprintf(stderr,
                     "Usage: %s [--count N] [--first K] [--no-extension] [--trend] DIR\n"
                     "  --trend  a production run for trends: drift, noise, 1%% outliers, two jobs\n",
                     argv[0]);
        return 2;
    }
    for (long n = first; n < first + count; ++n) {
        const auto index = static_cast<std::uint32_t>(n - 1);
        const SignatureRecord record = trend ? makeTrendSignature(index, static_cast<std::uint32_t>(first + count - 1))
                                             : makeSampleSignature(index);
        char name[64];
        std::snprintf(name, sizeof name, trend ? "/H%06ld%s" : "/H%04ld%s", n, extension);
        const std::string path = std::string(dir) + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(record.bytes.data(), 1, record.bytes.size(), f) != record.bytes.size() ||
            std::fclose(f) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
