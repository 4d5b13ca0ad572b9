#include "ConvertCommand.h"

#include "ConvertRun.h"
#include "OutputFileName.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <string>
#include <thread>
#include <vector>

#ifndef QD_VERSION
#define QD_VERSION "0"
#endif

namespace {

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: %s [-o DIR] [-p PREFIX] [-j N] FILE...\n"
                 "       %s --watch DIR --every MINUTES [-o DIR] [-p PREFIX] [-j N]\n"
                 "       %s --watch DIR --once [-o DIR] [-p PREFIX] [-j N]\n"
                 "Convert QX-4082 KVT signature files into CSV reports.\n"
                 "\n"
                 "  -o, --output DIR     write the reports into DIR (default: the current directory)\n"
                 "  -p, --prefix PREFIX  put PREFIX- in front of every report name\n"
                 "                       (default: \"No Prefix\", which means none)\n"
                 "  -j, --jobs N         convert on N threads (default: the number of cores)\n"
                 "      --watch DIR      convert the signature files of DIR (names beginning with H\n"
                 "                       or h, without extension), as the auto schedule does\n"
                 "      --every MINUTES  with --watch: again every MINUTES (a decimal; 0.05 is three\n"
                 "                       seconds), counted from the end of a pass; stop with Ctrl-C\n"
                 "      --once           with --watch: one pass, then exit\n"
                 "      --help           show this help and exit\n"
                 "      --version        show the version and exit\n"
                 "\n"
                 "Each FILE gives DIR/[PREFIX-]NAME.csv, NAME being FILE's name without its extension.\n"
                 "When two different FILEs give one report name, the later one fails and the\n"
                 "earlier one's report stays. Files that are not signatures are refused.\n"
                 "Exit status: 0 all converted, 1 some file failed, 2 usage error.\n",
                 ConvertProgram, ConvertProgram, ConvertProgram);
}

int usageError(const char* what, const char* arg = nullptr)
{
    if (arg)
        std::fprintf(stderr, "%s: %s '%s'\n", ConvertProgram, what, arg);
    else
        std::fprintf(stderr, "%s: %s\n", ConvertProgram, what);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", ConvertProgram);
    return 2;
}

bool parseJobs(const char* text, int& jobs)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 1 || v > 1024)
        return false;
    jobs = static_cast<int>(v);
    return true;
}

bool parseMinutes(const char* text, double& minutes)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    // Up to a year; beyond that the wait would overflow and nobody means it.
    if (end == text || *end != '\0' || !std::isfinite(v) || v <= 0 || v > 525600)
        return false;
    minutes = v;
    return true;
}

} // namespace

int runConvertCommand(int argc, char** argv)
{
    BatchOptions options;
    options.directory = ".";
    options.prefix = std::string(NoPrefix);
    options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const char* watchDir = nullptr;
    double everyMinutes = 0;
    bool once = false;

    enum { OptHelp = 1000, OptVersion, OptWatch, OptEvery, OptOnce };
    static const option longOptions[] = {{"output", required_argument, nullptr, 'o'},
                                         {"prefix", required_argument, nullptr, 'p'},
                                         {"jobs", required_argument, nullptr, 'j'},
                                         {"watch", required_argument, nullptr, OptWatch},
                                         {"every", required_argument, nullptr, OptEvery},
                                         {"once", no_argument, nullptr, OptOnce},
                                         {"help", no_argument, nullptr, OptHelp},
                                         {"version", no_argument, nullptr, OptVersion},
                                         {nullptr, 0, nullptr, 0}};

    opterr = 0;
    optind = 1;
    for (;;) {
        const int c = getopt_long(argc, argv, ":o:p:j:", longOptions, nullptr);
        if (c == -1)
            break;
        switch (c) {
        case 'o':
            options.directory = optarg;
            break;
        case 'p':
            options.prefix = optarg;
            break;
        case 'j':
            if (!parseJobs(optarg, options.jobs))
                return usageError("invalid number of jobs", optarg);
            break;
        case OptWatch:
            watchDir = optarg;
            break;
        case OptEvery:
            if (!parseMinutes(optarg, everyMinutes))
                return usageError("invalid number of minutes", optarg);
            break;
        case OptOnce:
            once = true;
            break;
        case OptHelp:
            printUsage(stdout);
            return 0;
        case OptVersion:
            std::printf("%s %s\n", ConvertProgram, QD_VERSION);
            return 0;
        case ':':
            return usageError("missing argument for", argv[optind - 1]);
        default:
            return usageError("unknown option", argv[optind - 1]);
        }
    }
    if (options.directory.empty())
        return usageError("empty output directory");

    if (watchDir) {
        if (optind < argc)
            return usageError("no FILE may follow --watch", argv[optind]);
        if (!once && everyMinutes <= 0)
            return usageError("--watch needs --every MINUTES or --once");
        if (once && everyMinutes > 0)
            return usageError("--every and --once exclude each other");
        return runWatch(watchDir, once ? 0 : everyMinutes, options);
    }
    if (once || everyMinutes > 0)
        return usageError("--every and --once go with --watch");
    if (optind >= argc)
        return usageError("no FILE given");
    return runFiles(std::vector<std::string>(argv + optind, argv + argc), options);
}
