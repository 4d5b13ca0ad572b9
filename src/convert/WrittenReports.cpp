#include "convert/WrittenReports.h"

#include <filesystem>
#include <system_error>

bool sameInputFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    // Same device and inode; a file that has gone since counts as another one,
    // which keeps the earlier report.
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

std::optional<std::string> WrittenReports::takenBy(const std::string& output, const std::string& input) const
{
    const auto it = m_writerOf.find(output);
    if (it == m_writerOf.end() || sameInputFile(it->second, input))
        return std::nullopt;
    return it->second;
}

void WrittenReports::add(const std::string& output, const std::string& input)
{
    m_writerOf.insert_or_assign(output, input);
}

std::string reportTakenReason(const std::string& earlierInput)
{
    return "its report would replace the one just written from " + earlierInput;
}
