#include "ConvertCommand.h"

#include "BatchConverter.h"
#include "OutputFileName.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef QD_VERSION
#define QD_VERSION "0"
#endif

namespace {

constexpr const char* Program = "quorvex-convert";

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: %s [-o DIR] [-p PREFIX] [-j N] FILE...\n"
                 "Convert QX-4082 KVT signature files into CSV reports.\n"
                 "\n"
                 "  -o, --output DIR     write the reports into DIR (default: the current directory)\n"
                 "  -p, --prefix PREFIX  put PREFIX- in front of every report name\n"
                 "                       (default: \"No Prefix\", which means none)\n"
                 "  -j, --jobs N         convert on N threads (default: the number of cores)\n"
                 "      --help           show this help and exit\n"
                 "      --version        show the version and exit\n"
                 "\n"
                 "Each FILE gives DIR/[PREFIX-]NAME.csv, NAME being FILE's name without its extension.\n"
                 "Exit status: 0 all converted, 1 some file failed, 2 usage error.\n",
                 Program);
}

int usageError(const char* what, const char* arg = nullptr)
{
    if (arg)
        std::fprintf(stderr, "%s: %s '%s'\n", Program, what, arg);
    else
        std::fprintf(stderr, "%s: %s\n", Program, what);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", Program);
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

} // namespace

int runConvertCommand(int argc, char** argv)
{
    BatchOptions options;
    options.directory = ".";
    options.prefix = std::string(NoPrefix);
    options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

    enum { OptHelp = 1000, OptVersion };
    static const option longOptions[] = {
        {"output", required_argument, nullptr, 'o'}, {"prefix", required_argument, nullptr, 'p'},
        {"jobs", required_argument, nullptr, 'j'},   {"help", no_argument, nullptr, OptHelp},
        {"version", no_argument, nullptr, OptVersion}, {nullptr, 0, nullptr, 0}};

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
        case OptHelp:
            printUsage(stdout);
            return 0;
        case OptVersion:
            std::printf("%s %s\n", Program, QD_VERSION);
            return 0;
        case ':':
            return usageError("missing argument for", argv[optind - 1]);
        default:
            return usageError("unknown option", argv[optind - 1]);
        }
    }
    if (optind >= argc)
        return usageError("no FILE given");
    if (options.directory.empty())
        return usageError("empty output directory");

    const std::vector<std::string> inputs(argv + optind, argv + argc);
    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    options.onFile = [&](std::size_t index, const FileOutcome& outcome, std::size_t done) {
        if (showProgress)
            std::fputs("\r\033[K", stderr);
        if (outcome.stage == FileOutcome::Stage::NotOpened)
            std::fprintf(stderr, "%s: cannot open %s: %s\n", Program, inputs[index].c_str(), outcome.io.reason.c_str());
        else if (outcome.stage == FileOutcome::Stage::NotWritten)
            std::fprintf(stderr, "%s: cannot write %s (from %s): %s\n", Program, outcome.output.c_str(),
                         inputs[index].c_str(), outcome.io.reason.c_str());
        if (showProgress)
            std::fprintf(stderr, "%zu/%zu", done, inputs.size());
    };

    const std::vector<FileOutcome> outcomes = convertFiles(inputs, options);
    if (showProgress)
        std::fputs("\r\033[K", stderr);

    std::size_t converted = 0;
    for (const FileOutcome& o : outcomes)
        converted += o.stage == FileOutcome::Stage::Converted;
    std::printf("%zu of %zu file(s) converted\n", converted, inputs.size());
    return converted == inputs.size() ? 0 : 1;
}
