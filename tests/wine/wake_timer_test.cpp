// The wake-up timer: its absolute due time, and what a second arming does to
// the first one.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "triggers/triggers.h"

namespace {

using WakeTimerTest = DialogTest;

std::string dueLine(unsigned long long due)
{
    char line[80];
    std::snprintf(line, sizeof line, "SetWaitableTimer %llu resume", due);
    return line;
}

struct DueCase {
    unsigned long long now;  // UTC as a FILETIME value
    DWORD minutes;
    unsigned long long later;  // 100-ns intervals after now
};

TEST_F(WakeTimerTest, DueTimeIsNowPlusTheMinutes)
{
    const unsigned long long today = 134000000000000000ull;
    // Low 32 bits less than a minute short of wrapping: adding minutes must carry into the high word.
    constexpr unsigned long long nearCarry = 0x01DA0000F0000000ull;
    static_assert((nearCarry >> 32) + 1 == (nearCarry + 600000000ull) >> 32, "one minute carries");
    const DueCase cases[] = {
        {today, 0, 0},
        {today, 1, 600000000ull},
        {today, 120, 72000000000ull},
        {today, 999, 599400000000ull},
        {nearCarry, 1, 600000000ull},
        {nearCarry, 4294967295u, 4294967295ull * 600000000ull},
    };
    for (const DueCase& c : cases) {
        SCOPED_TRACE(c.minutes);
        setReading("systemTime", c.now);
        clearJournal();
        armWakeTimer(c.minutes);
        std::vector<std::string> lines = journal();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(dueLine(c.now + c.later), lines.back());
    }
}

TEST_F(WakeTimerTest, NewArmingCancelsAndClosesThePreviousTimer)
{
    const unsigned long long now = 134000000000000000ull;
    setReading("systemTime", now);
    armWakeTimer(5);
    clearJournal();
    armWakeTimer(10);
    EXPECT_EQ((std::vector<std::string>{"CancelWaitableTimer", "CloseWakeTimer", "CreateWaitableTimer",
                                        dueLine(now + 10 * 600000000ull)}),
              journal());
}

}  // namespace
