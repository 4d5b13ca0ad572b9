#include "settings/ProfileText.h"

#include <gtest/gtest.h>

using namespace profile_text;
using namespace std::string_literals;

TEST(SettingsProfileText, ReadingMatchesNamesWithoutCaseAndIgnoresBlanks)
{
    const std::string text = "k=outside\n; K=comment\n[ s ]\r\n  k  = a=b \r\nk=second\n[S]\nother=2\n";
    EXPECT_EQ(findValue(text, "S", "K"), "a=b");            // first key of the first matching section
    EXPECT_EQ(findValue(text, "s", "other"), std::nullopt); // a later duplicate section is not looked at
    EXPECT_EQ(findValue("[S]\nK=\n", "S", "K"), "");        // present but empty
    EXPECT_EQ(findValue("[S]\nK\n", "S", "K"), std::nullopt);
    EXPECT_EQ(findValue("[T]\nK=1\n", "S", "K"), std::nullopt);
    EXPECT_EQ(findValue("\0\xff[S]\n[S\0]\nK=1"s, "S", "K"), std::nullopt);
}

// A lone CR ends a line as LF and CR LF do: a file saved with CR line ends
// is read as the lines it shows, not as one long line.
TEST(SettingsProfileText, EveryLineEndEndsALine)
{
    EXPECT_EQ(findValue("[S]\rA=1\rK=v\r", "S", "K"), "v");
    EXPECT_EQ(findValue("[T]\rK=t\r[S]\rK=s", "S", "K"), "s");
    EXPECT_EQ(findValue("[S]\nA=1\rK=mixed\r\nB=2", "S", "K"), "mixed");
    EXPECT_EQ(findValue("[S]\r\rK=after a blank line\r", "S", "K"), "after a blank line");
}

struct EditCase
{
    const char* what;
    std::string before;
    std::string after;
};

// Every edit sets K in section S to v; all bytes not named by it must survive.
TEST(SettingsProfileText, WritesChangeOnlyTheirOwnLine)
{
    const EditCase cases[] = {
        {"creates the section in an empty text", "", "[S]\nK=v\n"},
        {"replaces in place, keeping line ends and comments", "; c\r\n[s]\r\n k = old \r\nx=1\r\n",
         "; c\r\n[s]\r\nK=v\r\nx=1\r\n"},
        {"appends after the section's last entry, not after its trailing blanks and comments",
         "[S]\na=1\nodd line\n\n; about T\n[T]\nb=2\n", "[S]\na=1\nodd line\nK=v\n\n; about T\n[T]\nb=2\n"},
        {"ends an unterminated header before appending", "[S]", "[S]\nK=v\n"},
        {"ends an unterminated last line before a new section", "[T]\nb=2", "[T]\nb=2\n[S]\nK=v\n"},
        {"uses CR LF in a CR LF text", "[T]\r\nb=2\r\n", "[T]\r\nb=2\r\n[S]\r\nK=v\r\n"},
        {"only the first matching section is edited", "[S]\nx=1\n[s]\nK=old\n", "[S]\nx=1\nK=v\n[s]\nK=old\n"},
        {"only the first matching key is edited", "[S]\nK=1\nk=2\n", "[S]\nK=v\nk=2\n"},
        {"a key before any section is not the section's", "K=top\n[S]\n", "K=top\n[S]\nK=v\n"},
        {"an unterminated key line stays unterminated", "[S]\nK=old", "[S]\nK=v"},
        {"binary bytes without sections stay as they are", "\0\x01\xff\r\n"s, "\0\x01\xff\r\n[S]\r\nK=v\r\n"s},
        {"replaces in place in a CR text", "[S]\rK=old\rx=1\r", "[S]\rK=v\rx=1\r"},
        {"uses CR in a CR text", "[S]\rx=1\r\r[T]\rb=2\r", "[S]\rx=1\rK=v\r\r[T]\rb=2\r"},
        {"ends an unterminated CR text with CR", "[T]\rb=2", "[T]\rb=2\r[S]\rK=v\r"},
        {"a CR-terminated text needs no line end added", "[S]\ra=1\r", "[S]\ra=1\rK=v\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(withValue(c.before, "S", "K", "v"), c.after);
        EXPECT_EQ(findValue(c.after, "S", "K"), "v");
    }
}
