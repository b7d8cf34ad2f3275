// Event log entry layout and the rotation rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/log_format.h"

namespace {

TEST(LogFormat, HeaderIsNineteenBytes)
{
    EXPECT_EQ(std::string("Pelk v1.3 Log\r\n  \r\n"), std::string(logHeader));
    EXPECT_EQ(19u, std::strlen(logHeader));
}

TEST(LogFormat, EntryColumns)
{
    struct Case { const char* name; const char* time; const char* date; const char* text; };
    const Case cases[] = {
        {"usual", "21 07 45", "Sunday, December 06, 2026", "Power Off"},
        {"date of 35 bytes", "00 00 00", "12345678901234567890123456789012345", "Log Off"},
        {"date of 40 bytes cut", "23 59 59", "1234567890123456789012345678901234567890", "Remote Restart"},
        {"empty date", "01 02 03", "", "Hibernate"},
        {"empty text", "01 02 03", "d", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char line[200];
        size_t n = formatLogEntry(c.time, c.date, c.text, line, sizeof line);
        std::string entry(line, n);
        ASSERT_EQ(47 + std::strlen(c.text) + 2, entry.size());
        std::string time = std::string(c.time) + std::string(9, ' ');
        EXPECT_EQ(time.substr(0, 9), entry.substr(0, 9));
        std::string date = std::string(c.date) + std::string(35, ' ');
        EXPECT_EQ(date.substr(0, 35), entry.substr(9, 35));
        EXPECT_EQ(" : ", entry.substr(44, 3));
        EXPECT_EQ(c.text, entry.substr(47, std::strlen(c.text)));
        EXPECT_EQ("\r\n", entry.substr(entry.size() - 2));
    }
}

TEST(LogFormat, EntryThatDoesNotFitIsRefused)
{
    char line[50];
    EXPECT_EQ(0u, formatLogEntry("00 00 00", "d", "Shutdown", line, sizeof line));
    EXPECT_EQ(49u, formatLogEntry("00 00 00", "d", "", line, 49));
}

TEST(LogFormat, RotationThreshold)
{
    struct Case { uint64_t size; LogStart expected; };
    const Case cases[] = {{0, logWriteHeader},     {1, logAppend},
                          {1000000, logAppend},    {1000001, logRotate},
                          {0x100000000ull, logRotate}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(c.expected, logStartFor(c.size));
    }
}

TEST(LogFormat, FillWithSpaces)
{
    struct Case { const char* text; size_t length; const char* expected; };
    const Case cases[] = {{"", 3, "   "}, {"ab", 4, "ab  "}, {"abcd", 4, "abcd"}, {"abcdef", 4, "abcdef"}};
    for (const Case& c : cases) {
        char buffer[16];
        std::strcpy(buffer, c.text);
        fillWithSpaces(buffer, c.length);
        EXPECT_STREQ(c.expected, buffer);
    }
}

}  // namespace
