#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text rules of a profile file ("[section]" lines followed by "key=value"
// lines), kept apart from file access so the editing can be checked on plain
// strings.
//
// Lines end at CR LF, LF or a lone CR, whatever the system the file was
// written on used, mixed if need be.
//
// Reading: section and key names match without regard to ASCII letter case,
// blanks around names and values are ignored, and the first matching section
// and the first matching key in it win (later duplicates are never looked at).
// Lines starting with ";" or "#" are comments. Bytes are bytes: NUL, bytes
// above 127 and lines of any length are just text.
//
// Writing changes only what it must: the value line of an existing key is
// replaced in place (keeping its line end), a missing key goes after the last
// entry of its section, and a missing section goes at the end of the text.
// Every other byte stays as it was. New lines end like the text's first line
// ("\r\n", "\n" or "\r"; "\n" for a text without line ends).
namespace profile_text {

// The value of key in section, or nothing when the section or the key is
// missing. A key line with nothing after "=" gives the empty text.
std::optional<std::string> findValue(std::string_view text, std::string_view section, std::string_view key);

// The text with key in section set to value, written as "key=value" with key
// spelled as given. The value must hold no line break (see containsLineBreak).
std::string withValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

// A value holding CR or LF would split into lines of its own and could plant
// keys or sections in the file; such a value cannot be stored.
bool containsLineBreak(std::string_view value);

} // namespace profile_text
