// How fast one report's text is made, apart from any file system work: the
// production formatter against one snprintf per line. Both run over the same
// synthetic records, and before timing anything the two texts are compared
// for every record, so the speed difference is never bought with a wrong
// digit. --verify-only stops after that comparison.
#include "PrintfCsvReport.h"
#include "samplegen/SampleSignature.h"
#include "signature/CsvReport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int RecordCount = 64;     // cycled through while timing
constexpr int VerifiedCount = 1000; // compared once at start
constexpr int NumbersPerReport =    // the curve rows alone
    SignatureRecord::PointCount * (1 + SignatureRecord::ChannelCount);

const std::vector<SignatureRecord>& records()
{
    static const std::vector<SignatureRecord> all = [] {
        std::vector<SignatureRecord> v;
        for (std::uint32_t i = 0; i < RecordCount; ++i)
            v.push_back(makeSampleSignature(i));
        return v;
    }();
    return all;
}

template <std::string (*Format)(const SignatureRecord&)> void formatReports(benchmark::State& state)
{
    const auto& all = records();
    std::size_t i = 0, bytes = 0;
    for (auto _ : state) {
        const std::string text = Format(all[i++ % all.size()]);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["numbers"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * NumbersPerReport, benchmark::Counter::kIsRate);
}

void BM_formatCsvReport(benchmark::State& state)
{
    formatReports<formatCsvReport>(state);
}
BENCHMARK(BM_formatCsvReport);

void BM_formatCsvReportWithPrintf(benchmark::State& state)
{
    formatReports<formatCsvReportWithPrintf>(state);
}
BENCHMARK(BM_formatCsvReportWithPrintf);

// Names the first line where the two texts part, so a mismatch can be acted on.
bool sameText(std::uint32_t index)
{
    const SignatureRecord record = makeSampleSignature(index);
    const std::string fast = formatCsvReport(record);
    const std::string plain = formatCsvReportWithPrintf(record);
    if (fast == plain)
        return true;
    const std::size_t at = std::mismatch(fast.begin(), fast.end(), plain.begin(), plain.end()).first - fast.begin();
    const std::size_t lineStart = fast.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
    const int lineNo =
        static_cast<int>(std::count(fast.begin(), fast.begin() + static_cast<std::ptrdiff_t>(from), '\n'));
    auto lineOf = [from](const std::string& s) { return s.substr(from, s.find('\r', from) - from); };
    std::fprintf(stderr,
                 "sample record %u, report line %d differs:\n  formatCsvReport: \"%s\"\n  printf:          \"%s\"\n",
                 index, lineNo + 1, lineOf(fast).c_str(), lineOf(plain).c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    bool verifyOnly = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && !std::strcmp(argv[i], "--verify-only"))
            verifyOnly = true;
        else
            args.push_back(argv[i]);
    }
    int mismatches = 0;
    for (std::uint32_t i = 0; i < VerifiedCount && mismatches < 5; ++i)
        mismatches += !sameText(i);
    if (mismatches > 0) {
        std::fprintf(stderr, "formatCsvReport and printf disagree; not timing a formatter that is wrong\n");
        return 1;
    }
    std::printf("formatCsvReport matches printf on %d sample records\n", VerifiedCount);
    if (verifyOnly)
        return 0;

    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
