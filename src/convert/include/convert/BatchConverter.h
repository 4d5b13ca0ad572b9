#pragma once

#include "common/IoResult.h"
#include "common/RegularFile.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class SignatureRecord;
class WrittenReports;

// What became of one input file.
struct FileOutcome
{
    // ReportTaken: another input of the run has already written this report.
    // ReportIsInput: the report's name is the input file itself.
    enum class Stage { Converted, NotOpened, NotWritten, ReportTaken, ReportIsInput, Skipped };
    Stage stage = Stage::Skipped;
    std::string output;         // report path (also when it could not be written)
    IoResult io;                // why it failed
    bool notASignature = false; // NotOpened: it opened, but holds no signature
};

// The one way from a signature file to its report, for every caller: reads
// input into record and writes its report to output. Refused without a write:
// an input that is no signature, a report that written holds from another
// input, and a report name that is the input file itself (a signature under a
// ".csv" name converted in its own folder would be replaced by its report).
// A report written is added to written. link says whether input may be a
// symbolic link.
FileOutcome convertFile(const std::string& input, const std::string& output, SignatureRecord& record,
                        WrittenReports& written, FinalLink link = FinalLink::Follow);

struct BatchOptions
{
    std::string directory;
    std::string prefix;
    int jobs = 1;
    // Checked between files: once set, the remaining files are skipped.
    const std::atomic<bool>* stop = nullptr;
    // Called once per file, serialised, in no particular order; skipped files
    // (after a stop) are reported too, with done unchanged.
    std::function<void(std::size_t index, const FileOutcome&, std::size_t done)> onFile = {};
    // Refuse for inputs taken from a folder rather than named by the user.
    FinalLink inputLinks = FinalLink::Follow;
    // Called, serialised with onFile, when no more than started of the wanted
    // threads could be started (a task limit, a busy host); the run goes on
    // with those.
    std::function<void(int started, int wanted, const std::string& why)> onFewerThreads = {};
};

struct BatchSummary
{
    std::size_t converted = 0;
    std::size_t failed = 0; // could not be read or written
    std::size_t skipped = 0;
};

// Converts every input into a report named by the output naming rule, on up
// to options.jobs threads. An input whose report another input of the run has
// already written fails as ReportTaken and leaves that report alone; the same
// file listed twice is converted again. Inputs that map to one report name are
// converted in list order by one thread, so which input keeps a name depends
// on the list alone, never on which thread is quicker. Outcomes are handed to
// onFile as they come and not kept, so memory does not grow with the results.
// When fewer threads can be started than asked for, the run is finished on
// those that could, the calling thread at least.
BatchSummary convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options);
