#pragma once

#include "IoResult.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class SignatureRecord;

// What became of one input file.
struct FileOutcome
{
    enum class Stage { Converted, NotOpened, NotWritten, Skipped };
    Stage stage = Stage::Skipped;
    std::string output; // report path (also when it could not be written)
    IoResult io;        // why it failed
};

// Reads input into record and writes its report to output.
FileOutcome convertFile(const std::string& input, const std::string& output, SignatureRecord& record);

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
// to options.jobs threads. Inputs that map to one report name are converted in
// list order by one thread, so the files on disk come out exactly as after a
// sequential run (the later input wins). Outcomes are handed to onFile as they
// come and not kept, so memory does not grow with the results.
BatchSummary convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options);
