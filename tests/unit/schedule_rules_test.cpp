// Countdown text, clamps, enabling and timer length of the scheduled shutdown.
#include "triggers/schedule_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct CountdownCase {
    const char* name;
    uint32_t durationMs;
    const char* text;
};

const CountdownCase countdownCases[] = {
    {"whole minutes after the half second", 300500, "5 Mns"},
    {"minutes and seconds", 299000, "4 Mns 59 Scs"},
    {"hours and minutes, seconds dropped", 3661000, "1 Hrs 1 Mns"},
    {"days and hours, the rest dropped", 90061000, "1 Dys 1 Hrs"},
    {"zero units are skipped between", 86401000, "1 Dys 1 Scs"},
    {"under one second is empty", 999, ""},
    {"zero is empty", 0, ""},
    {"exactly one second", 1000, "1 Scs"},
    {"exactly one day", 86400000, "1 Dys"},
    {"two-digit units", 45296000, "12 Hrs 34 Mns"},
    {"largest duration", 0xFFFFFFFFu, "49 Dys 17 Hrs"},
};

TEST(ScheduleRulesTest, CountdownTable)
{
    for (const CountdownCase& c : countdownCases) {
        SCOPED_TRACE(c.name);
        char out[64];
        std::memset(out, 'Z', sizeof out);
        formatCountdown(c.durationMs, out, sizeof out);
        EXPECT_STREQ(c.text, out);
    }
}

struct CutCase {
    const char* name;
    size_t outSize;
    const char* text;
};

// 49 Dys 17 Hrs has 13 characters; every smaller buffer keeps a terminated prefix.
const CutCase cutCases[] = {
    {"one byte", 1, ""},
    {"inside the first number", 2, "4"},
    {"inside the first unit", 5, "49 D"},
    {"first unit exactly", 7, "49 Dys"},
    {"on the separator", 8, "49 Dys "},
    {"one short", 13, "49 Dys 17 Hr"},
    {"exact fit", 14, "49 Dys 17 Hrs"},
};

TEST(ScheduleRulesTest, CountdownCutToSmallBuffer)
{
    for (const CutCase& c : cutCases) {
        SCOPED_TRACE(c.name);
        std::vector<char> out(c.outSize, 'Z');
        formatCountdown(0xFFFFFFFFu, out.data(), out.size());
        EXPECT_STREQ(c.text, out.data());
    }
}

TEST(ScheduleRulesTest, CountdownWithoutBufferWritesNothing)
{
    char out[4] = "xyz";
    formatCountdown(300500, out, 0);
    EXPECT_STREQ("xyz", out);
    formatCountdown(300500, nullptr, 16);
}

TEST(ScheduleRulesTest, MinutesEntriesReadAsTheirLeadingNumber)
{
    for (size_t i = 0; i < 19; ++i) {
        SCOPED_TRACE(minutesListEntries[i]);
        // GetDlgItemInt reads the leading digits: the choices step by 30 from 60.
        EXPECT_EQ(60 + 30 * i, std::strtoul(minutesListEntries[i], nullptr, 10));
    }
}

struct ClampCase {
    const char* name;
    uint32_t typed;
    uint32_t scheduleMinutes;
    uint32_t resumeMinutes;
};

const ClampCase clampCases[] = {
    {"zero", 0, 0, 5},
    {"below the resume minimum", 2, 2, 5},
    {"resume minimum", 5, 5, 5},
    {"ordinary", 90, 90, 90},
    {"maximum", 999, 999, 999},
    {"just above", 1000, 999, 999},
    {"typed 1500", 1500, 999, 999},
    {"all bits", 0xFFFFFFFFu, 999, 999},
};

TEST(ScheduleRulesTest, ClampTable)
{
    for (const ClampCase& c : clampCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.scheduleMinutes, clampScheduleMinutes(c.typed));
        EXPECT_EQ(c.resumeMinutes, clampResumeMinutes(c.typed));
    }
}

struct EnablingCase {
    const char* name;
    uint32_t action;
    uint32_t resumeEnabled;
    bool box;
    bool list;
};

const EnablingCase enablingCases[] = {
    {"Power Off", 0, 1, false, false},
    {"Log Off, resume ticked", 3, 1, false, false},
    {"Suspend, resume clear", 4, 0, true, false},
    {"Suspend, resume ticked", 4, 1, true, true},
    {"Hibernate, resume ticked", 5, 1, true, true},
    {"resume flag any non-zero", 5, 2, true, true},
    {"remote action compares as at least 4", 7, 1, true, true},
    {"all bits is unsigned, not negative", 0xFFFFFFFFu, 1, true, true},
};

TEST(ScheduleRulesTest, EnablingTable)
{
    for (const EnablingCase& c : enablingCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.box, scheduleResumeBoxEnabled(c.action));
        EXPECT_EQ(c.list, scheduleResumeListEnabled(c.action, c.resumeEnabled));
    }
}

struct LengthCase {
    const char* name;
    uint32_t minutes;
    uint32_t lengthMs;
};

const LengthCase lengthCases[] = {
    {"zero minutes is half a second", 0, 500},
    {"five minutes", 5, 300500},
    {"clamped 1500", 999, 59940500},
    {"wraps as unsigned 32-bit", 71583, 13204},
};

TEST(ScheduleRulesTest, LengthTable)
{
    for (const LengthCase& c : lengthCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.lengthMs, scheduleLengthFor(c.minutes));
    }
}

TEST(ScheduleRulesTest, LengthShowsWholeMinutesAtStart)
{
    char out[32];
    formatCountdown(scheduleLengthFor(5), out, sizeof out);
    EXPECT_STREQ("5 Mns", out);
}

} // namespace
