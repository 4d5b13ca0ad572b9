#include "ConvertCommand.h"

#include "ConvertRun.h"
#include "SummaryRun.h"
#include "convert/OutputFileName.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <optional>
#include <string>
#include <string_view>
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
                 "       %s (--summary OUT.csv | --stats)... [-j N] (FILE... | --watch DIR --once)\n"
                 "Convert QX-4082 KVT signature files into CSV reports, or sum them up.\n"
                 "\n"
                 "  -o, --output DIR     write the reports into DIR (default: the current directory)\n"
                 "  -p, --prefix PREFIX  put PREFIX- in front of every report name; no \"/\" or control\n"
                 "                       characters (default: \"No Prefix\", which means none, as does \"\")\n"
                 "  -j, --jobs N         convert on N threads (default: the number of cores)\n"
                 "      --watch DIR      convert the signature files of DIR (regular files whose names\n"
                 "                       begin with H or h, without extension; links are not followed),\n"
                 "                       as the auto schedule does\n"
                 "      --every MINUTES  with --watch: again every MINUTES (a decimal of at least 1/60,\n"
                 "                       one second; 0.05 is three seconds), counted from the end of a\n"
                 "                       pass; stop with Ctrl-C\n"
                 "      --once           with --watch: one pass, then exit\n"
                 "      --summary OUT    write no reports; write OUT, one row per readable signature\n"
                 "                       (peaks, limits, status, shares), sorted by time, stroke count\n"
                 "                       and path\n"
                 "      --stats          write no reports; print each channel's peak statistics\n"
                 "                       (count, mean, standard deviation, range, strokes out of\n"
                 "                       limits, Cpk) as a table\n"
                 "      --help           show this help and exit\n"
                 "      --version        show the version and exit\n"
                 "\n"
                 "Each FILE gives DIR/[PREFIX-]NAME.csv, NAME being FILE's name without its extension.\n"
                 "When two different FILEs give one report name, the later one fails and the\n"
                 "earlier one's report stays. Files that are not signatures, and a FILE that is\n"
                 "its own report's name, are refused. SIGINT and SIGTERM stop the work between\n"
                 "two files; every report left is complete.\n"
                 "Exit status: 0 all converted, 1 some file failed, 2 usage error,\n"
                 "128+N stopped by signal N (130 SIGINT, 143 SIGTERM; --every always ends so).\n",
                 ConvertProgram, ConvertProgram, ConvertProgram, ConvertProgram);
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

// Plain decimal notation only ("15", "0.5", ".25"): no sign, exponent,
// hexadecimal or "inf" that strtod would also take.
bool isPlainDecimal(std::string_view text)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    return (!whole.empty() || !fraction.empty()) && std::all_of(whole.begin(), whole.end(), digit) &&
           std::all_of(fraction.begin(), fraction.end(), digit);
}

bool parseMinutes(const char* text, double& minutes)
{
    if (!isPlainDecimal(text))
        return false;
    const double v = std::strtod(text, nullptr);
    // At least a second: a shorter interval only spins, filling the log with
    // passes. Up to a year; beyond that the wait would overflow and nobody
    // means it.
    if (v * 60 < 1 || v > 525600)
        return false;
    minutes = v;
    return true;
}

// The prefix becomes part of every report's name: a "/" would put the report
// into another folder, a control character (a newline, say) makes a name
// scripts stumble over. Empty means no prefix, as "No Prefix" does.
bool parsePrefix(const char* text, std::string& prefix)
{
    const std::string_view p = text;
    if (std::any_of(p.begin(), p.end(), [](char c) { return c == '/' || (c >= 0 && c < 0x20) || c == 0x7f; }))
        return false;
    prefix = p.empty() ? std::string(NoPrefix) : std::string(p);
    return true;
}

enum { OptHelp = 1000, OptVersion, OptWatch, OptEvery, OptOnce, OptSummary, OptStats };
const option LongOptions[] = {{"output", required_argument, nullptr, 'o'},
                              {"prefix", required_argument, nullptr, 'p'},
                              {"jobs", required_argument, nullptr, 'j'},
                              {"watch", required_argument, nullptr, OptWatch},
                              {"every", required_argument, nullptr, OptEvery},
                              {"once", no_argument, nullptr, OptOnce},
                              {"summary", required_argument, nullptr, OptSummary},
                              {"stats", no_argument, nullptr, OptStats},
                              {"help", no_argument, nullptr, OptHelp},
                              {"version", no_argument, nullptr, OptVersion},
                              {nullptr, 0, nullptr, 0}};

// What the options asked for.
struct CommandLine
{
    BatchOptions options;
    const char* watchDir = nullptr;
    double everyMinutes = 0;
    bool once = false;
    bool reportOptions = false; // -o or -p given
    SummaryRequest summary;
    bool summarising = false; // --summary or --stats
};

// --summary and --stats read, they write no reports.
int runSummaryCommand(const CommandLine& cmd, int argc, char** argv)
{
    if (cmd.reportOptions)
        return usageError("-o and -p name reports, and --summary and --stats write none");
    if (cmd.everyMinutes > 0)
        return usageError("--summary and --stats take FILEs or --watch DIR --once, not --every");
    SummaryRequest request = cmd.summary;
    request.jobs = cmd.options.jobs;
    if (cmd.watchDir) {
        if (optind < argc)
            return usageError("no FILE may follow --watch", argv[optind]);
        if (!cmd.once)
            return usageError("--watch needs --once with --summary and --stats");
        return runSummaryOfFolder(cmd.watchDir, request);
    }
    if (cmd.once)
        return usageError("--once goes with --watch");
    if (optind >= argc)
        return usageError("no FILE given");
    return runSummary(std::vector<std::string>(argv + optind, argv + argc), request);
}

// After the options: a folder watched, or the files named after them.
int runCommandLine(const CommandLine& cmd, int argc, char** argv)
{
    if (cmd.summarising)
        return runSummaryCommand(cmd, argc, argv);
    if (cmd.options.directory.empty())
        return usageError("empty output directory");

    if (cmd.watchDir) {
        if (optind < argc)
            return usageError("no FILE may follow --watch", argv[optind]);
        if (!cmd.once && cmd.everyMinutes <= 0)
            return usageError("--watch needs --every MINUTES or --once");
        if (cmd.once && cmd.everyMinutes > 0)
            return usageError("--every and --once exclude each other");
        return runWatch(cmd.watchDir, cmd.once ? 0 : cmd.everyMinutes, cmd.options);
    }
    if (cmd.once || cmd.everyMinutes > 0)
        return usageError("--every and --once go with --watch");
    if (optind >= argc)
        return usageError("no FILE given");
    return runFiles(std::vector<std::string>(argv + optind, argv + argc), cmd.options);
}

} // namespace

namespace {

// Takes an option that names reports or the folder watched into cmd; a usage
// error's exit status when it is not one.
std::optional<int> takeConvertOption(int c, CommandLine& cmd)
{
    BatchOptions& options = cmd.options;
    switch (c) {
    case 'o':
        options.directory = optarg;
        cmd.reportOptions = true;
        return std::nullopt;
    case 'p':
        cmd.reportOptions = true;
        if (!parsePrefix(optarg, options.prefix))
            return usageError("a prefix may hold no \"/\" and no control character:", optarg);
        return std::nullopt;
    case 'j':
        if (!parseJobs(optarg, options.jobs))
            return usageError("invalid number of jobs", optarg);
        return std::nullopt;
    case OptWatch:
        cmd.watchDir = optarg;
        return std::nullopt;
    case OptEvery:
        if (!parseMinutes(optarg, cmd.everyMinutes))
            return usageError("--every takes a decimal number of minutes from 1/60 (one second) to 525600, not",
                              optarg);
        return std::nullopt;
    case OptOnce:
        cmd.once = true;
        return std::nullopt;
    default:
        return usageError("unknown option", nullptr);
    }
}

// Takes any option into cmd; the exit status when the run ends with it
// (help, version, a usage error).
std::optional<int> takeOption(int c, CommandLine& cmd, char** argv)
{
    switch (c) {
    case OptSummary:
        if (*optarg == '\0')
            return usageError("empty summary file name");
        cmd.summary.output = optarg;
        cmd.summarising = true;
        return std::nullopt;
    case OptStats:
        cmd.summary.stats = true;
        cmd.summarising = true;
        return std::nullopt;
    case OptHelp:
        printUsage(stdout);
        return 0;
    case OptVersion:
        std::printf("%s %s\n", ConvertProgram, QD_VERSION);
        return 0;
    case ':':
        return usageError("missing argument for", argv[optind - 1]);
    case 'o':
    case 'p':
    case 'j':
    case OptWatch:
    case OptEvery:
    case OptOnce:
        return takeConvertOption(c, cmd);
    default:
        return usageError("unknown option", argv[optind - 1]);
    }
}

} // namespace

int runConvertCommand(int argc, char** argv)
{
    CommandLine cmd;
    cmd.options.directory = ".";
    cmd.options.prefix = std::string(NoPrefix);
    cmd.options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

    opterr = 0;
    optind = 1;
    for (int c; (c = getopt_long(argc, argv, ":o:p:j:", LongOptions, nullptr)) != -1;)
        if (const std::optional<int> status = takeOption(c, cmd, argv))
            return *status;
    return runCommandLine(cmd, argc, argv);
}
