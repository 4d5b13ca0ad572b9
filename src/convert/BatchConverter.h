#pragma once

#include "IoResult.h"

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
    enum class Stage { Converted, NotOpened, NotWritten, ReportTaken, Skipped };
    Stage stage = Stage::Skipped;
    std::string output; // report path (also when it could not be written)
    IoResult io;        // why it failed
};

// Reads input into record and writes its report to output, unless written
// holds that report from another input; a report written is added to it.
FileOutcome convertFile(const std::string& input, const std::string& output, SignatureRecord& record,
                        WrittenReports& written);

struct BatchOptions
{
    std::string directory;
    std::string prefix;
    int jobs = 1;
    // Checked between files: once set, the remaining files are skipped.
    const std::atomic<bool>* stop = nullptr;
    // Called once per file, serialised, in no particular order; skipped files
    // (after a stop) are reported too, with done unchanged.
    std::function<void(std::size_t index, const FileOutcome&, std::size_t done)> onFile;
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
BatchSummary convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options);
