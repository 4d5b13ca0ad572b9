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
    // Called once per finished file, serialised, in no particular order.
    std::function<void(std::size_t index, const FileOutcome&, std::size_t done)> onFile;
};

// Converts every input into a report named by the output naming rule, on up
// to options.jobs threads. Inputs that map to one report name are converted in
// list order by one thread, so the files on disk come out exactly as after a
// sequential run (the later input wins).
std::vector<FileOutcome> convertFiles(const std::vector<std::string>& inputs, const BatchOptions& options);
