// The portable rules: actions and their prompts, the schedule and idle arithmetic,
// the bounded text helpers and the naming of the Windows version.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/text.h"
#include "app/windows_version.h"
#include "power/actions.h"
#include "triggers/idle_rules.h"
#include "triggers/schedule_rules.h"

// The schedule's countdown text and clamps; the prompts' names and countdowns beyond
// their lists (the rest is seen whole-program).
TEST(Schedule, CountdownsClampsAndNames)
{
    for (uint32_t action : {5u, 6u, 7u, 0xFFFFFFFFu})  // and the schedule acts as it reads
        EXPECT_TRUE(promptActionName(action) == std::string("Hibernate") && triggerAction(action) == 5) << action;
    EXPECT_EQ(0x7FFFFFFFu, countdownIntervalMs(0xFFFFFFFFu));
    const std::pair<uint32_t, const char*> cases[] = {
        {300500, "5 Mns"},        {299000, "4 Mns 59 Scs"}, {3661000, "1 Hrs 1 Mns"}, {90061000, "1 Dys 1 Hrs"},
        {86401000, "1 Dys 1 Scs"}, {999, ""},               {1000, "1 Scs"},          {0xFFFFFFFFu, "49 Dys 17 Hrs"},
    };
    for (const auto& c : cases) {
        char out[64];
        formatCountdown(c.first, out, sizeof out);
        EXPECT_STREQ(c.second, out) << c.first;
    }
    for (size_t size : {1u, 5u, 8u, 13u}) {
        std::vector<char> out(size, 'Z');
        formatCountdown(0xFFFFFFFFu, out.data(), out.size());
        EXPECT_EQ(std::string("49 Dys 17 Hrs").substr(0, size - 1), out.data());
    }
    const uint32_t typed[][3] = {{0, 0, 5}, {4, 4, 5}, {5, 5, 5}, {999, 999, 999}, {1000, 999, 999}};
    for (const auto& t : typed) {
        EXPECT_EQ(t[1], clampScheduleMinutes(t[0])) << t[0];
        EXPECT_EQ(t[2], clampResumeMinutes(t[0])) << t[0];
    }
}

TEST(Idle, MinutesAndWakeUp)
{
    const uint32_t minute = 60000;
    const uint32_t cases[][4] = {  // last input, last activity, now: idle minutes
        {1000, 0, 1000 + 60 * minute, 60}, {1000, 0, 1000 + 60 * minute - 1, 59}, {7000, 7000, 7000, 0},
        {1000, 1000 + 30 * minute, 1000 + 90 * minute, 60}, {1000 + 30 * minute, 1000, 1000 + 90 * minute, 60},
        {10 * minute, 0u - 30 * minute, 30 * minute, 20}, {0, 0, 0xFFFFFFFFu - minute, 71581},  // across the wrap
        {1600001, 1000000, 1600000, 0}, {1600000 + minute + 1, 1000000, 1600000, 10}};  // input ahead of now
    for (const auto& c : cases)
        EXPECT_EQ(c[3], idleMinutesFrom(c[0], c[1], c[2])) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_EQ(0x01D9000012345678ull + 72000000000ull, wakeDueTime(0x01D9000012345678ull, 120));
    EXPECT_EQ(4294967295ull * 600000000ull, wakeDueTime(0, 0xFFFFFFFFu));
}

TEST(Text, BoundedHelpers)
{
    char small[8];
    copyText(small, sizeof small, "ab");
    appendText(small, sizeof small, "cdefghij");
    EXPECT_STREQ("abcdefg", small);
    const std::pair<const char*, uint32_t> numbers[] = {
        {"90 (1.5 hrs)", 90}, {"  45", 45}, {"x5", 0}, {"", 0}, {"99999999999", 0xFFFFFFFFu}};
    for (const auto& n : numbers)
        EXPECT_EQ(n.second, leadingNumber(n.first)) << n.first;
    const std::pair<std::string, const char*> paths[] = {{"\\\\?\\C:\\Tools\\Pelk.exe", "C:\\Tools\\Pelk.exe"},
        {"\\\\?\\UNC\\lab\\apps\\Pelk.exe", "\\\\lab\\apps\\Pelk.exe"}, {"C:\\Pelk.exe", "C:\\Pelk.exe"}};
    for (const auto& p : paths) {
        std::string path = p.first;
        plainPathOf(&path[0]);
        EXPECT_STREQ(p.second, path.c_str()) << p.first;
    }
}

TEST(WindowsVersion, Naming)
{
    struct Case { uint32_t platform, major, minor, build; bool tablet, media, extended;
        uint32_t type, suite; const char *servicePack, *text; uint32_t code; };
    const Case cases[] = {
        {1, 4, 10, 0, false, false, false, 0, 0, "", "Unknown OS", 0},
        {2, 5, 0, 0, false, false, true, 3, 0, "", "Windows 2000 Server", 16},
        {2, 5, 1, 0, false, false, true, 1, 0, "Service Pack 2", "Windows XP Professional, Service Pack 2", 19},
        {2, 5, 1, 0, false, false, true, 1, 0x200, "", "Windows XP Home Edition", 19},
        {2, 5, 1, 0, true, true, false, 0, 0, "", "Windows XP Tablet PC Edition", 22},
        {2, 5, 2, 0, false, false, false, 0, 0, "", "Windows Server 2003 family", 23},
        {2, 5, 3, 0, false, false, false, 0, 0, "", "Unknown Windows 2000", 0},
        {2, 10, 0, 19045, false, false, false, 0, 0, "", "Windows 10", 28},
        {2, 10, 0, 22000, false, false, false, 0, 0, "", "Windows 11", 29},
        {2, 12, 1, 0, false, false, false, 0, 0, "", "Windows NT 12.1", 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        VersionRecord v{c.platform, c.major, c.minor, c.build, c.extended, c.type, c.suite, c.tablet, c.media, {}};
        std::strcpy(v.servicePack, c.servicePack);
        char text[600];
        EXPECT_EQ(c.code, describeVersionRecord(v, text, sizeof text));
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(c.code == 16 || c.code >= 19, versionAccepted(c.code));
    }
}
