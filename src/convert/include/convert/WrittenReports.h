#pragma once

#include <optional>
#include <string>
#include <unordered_map>

// The reports one batch has written and the input each came from. Two inputs
// may map to one report name (A/H0001.wav and B/H0001.wav, or H0001 beside
// H0001.wav); the later one must not silently replace the report the earlier
// one has just written, since the user would lose a stroke and see it counted.
// Reports from earlier batches are not tracked: they are replaced as always.
class WrittenReports
{
public:
    // The input that has already written output in this batch, when that is
    // another file than input; nothing when output is free or input rewrites
    // its own report (the same path listed twice is converted again).
    std::optional<std::string> takenBy(const std::string& output, const std::string& input) const;
    void add(const std::string& output, const std::string& input);
    void clear() { m_writerOf.clear(); }

private:
    std::unordered_map<std::string, std::string> m_writerOf; // report path -> input
};

// Two inputs are the same file when their text is equal or, spelt apart
// ("./H1.wav" and "H1.wav", a link and its target), they name one file now.
bool sameInputFile(const std::string& a, const std::string& b);

// Why input cannot have its report: "its report would replace the one just
// written from " and the earlier input.
std::string reportTakenReason(const std::string& earlierInput);
