#include "settings/StrToInt.h"
#include "common/SystemError.h"

#include <gtest/gtest.h>

#include <utility>

TEST(SettingsStrToInt, AcceptsOnlySignedDecimalWithin32Bits)
{
    const std::pair<const char*, std::int32_t> good[] = {
        {"0", 0}, {"-5", -5}, {"+7", 7}, {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(strToInt(text), value) << text;

    const char* bad[] = {"",
                         "-",
                         "+",
                         "abc",
                         " 5",
                         "5 ",
                         "1.0",
                         "0x10",
                         "$10",
                         "+-1",
                         "2147483648",
                         "-2147483649",
                         "99999999999999999999"};
    for (const char* text : bad) {
        try {
            strToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const SystemError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}
