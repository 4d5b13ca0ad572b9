#include "settings/ProfileText.h"

#include <algorithm>

namespace profile_text {

namespace {

constexpr std::string_view Blanks = " \t\r\v\f";

std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(Blanks) - first + 1);
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

enum class Kind { Blank, Comment, Section, Key, Other };

// One line of the text: its content without the line end, where the next line
// starts, and what the content is.
struct Line
{
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
    Kind kind = Kind::Blank;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed
};

Line lineAt(std::string_view text, std::size_t begin)
{
    Line line;
    line.begin = begin;
    const auto lineBreak = text.find_first_of("\r\n", begin);
    if (lineBreak == std::string_view::npos) {
        line.end = line.next = text.size();
    } else {
        line.end = lineBreak;
        line.next = lineBreak + (text.substr(lineBreak, 2) == "\r\n" ? 2 : 1);
    }

    const std::string_view content = trimmed(text.substr(begin, line.end - begin));
    if (content.empty()) {
        line.kind = Kind::Blank;
    } else if (content.front() == ';' || content.front() == '#') {
        line.kind = Kind::Comment;
    } else if (const auto close = content.rfind(']'); content.front() == '[' && close != std::string_view::npos) {
        line.kind = Kind::Section;
        line.name = trimmed(content.substr(1, close - 1));
    } else if (const auto eq = content.find('='); eq != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = trimmed(content.substr(0, eq));
        line.value = trimmed(content.substr(eq + 1));
    } else {
        line.kind = Kind::Other;
    }
    return line;
}

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The line end the text already uses, that of its first line, for the lines
// added to it.
std::string_view lineEndOf(std::string_view text)
{
    const auto lineBreak = text.find_first_of("\r\n");
    if (lineBreak == std::string_view::npos || text[lineBreak] == '\n')
        return "\n";
    return text.substr(lineBreak, 2) == "\r\n" ? "\r\n" : "\r";
}

} // namespace

std::optional<std::string> findValue(std::string_view text, std::string_view section, std::string_view key)
{
    bool inSection = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        if (line.kind == Kind::Section) {
            if (inSection)
                return std::nullopt; // only the first matching section counts
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Key && sameName(line.name, key)) {
            return std::string(line.value);
        }
    }
    return std::nullopt;
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view eol = lineEndOf(text);
    std::string entry;
    entry.reserve(key.size() + value.size() + 1);
    entry.append(key).append("=").append(value);

    bool found = false;
    std::size_t insertAt = 0; // just past the last entry of the section
    for (std::size_t pos = 0; pos < text.size();) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        if (line.kind == Kind::Section) {
            if (found)
                break;
            found = sameName(line.name, section);
            insertAt = line.next;
        } else if (found && line.kind == Kind::Key && sameName(line.name, key)) {
            std::string out;
            out.reserve(text.size() + entry.size());
            out.append(text.substr(0, line.begin)).append(entry).append(text.substr(line.end));
            return out;
        } else if (found && line.kind != Kind::Blank && line.kind != Kind::Comment) {
            // Blank lines and comments closing a section usually belong to
            // the next one; new keys go before them.
            insertAt = line.next;
        }
    }

    std::string out;
    out.reserve(text.size() + section.size() + entry.size() + 8);
    if (!found) {
        out.append(text);
        if (!text.empty() && !isLineBreak(text.back()))
            out.append(eol);
        out.append("[").append(section).append("]").append(eol).append(entry).append(eol);
        return out;
    }
    out.append(text.substr(0, insertAt));
    if (insertAt > 0 && !isLineBreak(text[insertAt - 1]))
        out.append(eol); // the section's last line ended the text without a line end
    out.append(entry).append(eol).append(text.substr(insertAt));
    return out;
}

bool containsLineBreak(std::string_view value)
{
    return value.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace profile_text
