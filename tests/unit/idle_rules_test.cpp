// Idle minutes from tick counts, the limit test and the wake-up due time.
#include "triggers/idle_rules.h"

#include <gtest/gtest.h>

namespace {

const uint32_t minute = 60000;

struct IdleCase {
    const char* name;
    uint32_t lastInput;
    uint32_t lastActivity;
    uint32_t now;
    uint32_t minutes;
};

const IdleCase idleCases[] = {
    {"exactly 60 minutes", 1000, 0, 1000 + 60 * minute, 60},
    {"one millisecond short of 60", 1000, 0, 1000 + 60 * minute - 1, 59},
    {"61 minutes", 1000, 0, 1000 + 61 * minute, 61},
    {"under a minute", 5000, 0, 5000 + minute - 1, 0},
    {"later activity tick is the base", 1000, 1000 + 30 * minute, 1000 + 90 * minute, 60},
    {"later input tick is the base", 1000 + 30 * minute, 1000, 1000 + 90 * minute, 60},
    {"now equals base", 7000, 7000, 7000, 0},
    {"wrapped: now below base", 0xFFFF0000u, 0, 0x00001000u, 0},
    {"wrapped activity tick above now", 10, 0xFFFFFFF0u, 20 * minute, 0},
    {"base near the top of the range", 0xFFFFFFFFu - 2 * minute - 5, 0,
     0xFFFFFFFFu, 2},
    {"largest span", 0, 0, 0xFFFFFFFFu, 71582},
};

TEST(IdleRulesTest, IdleMinutesTable)
{
    for (const IdleCase& c : idleCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.minutes, idleMinutesFrom(c.lastInput, c.lastActivity, c.now));
    }
}

struct LimitCase {
    const char* name;
    uint32_t idle;
    uint32_t limit;
    bool reached;
};

const LimitCase limitCases[] = {
    {"one short", 59, 60, false},
    {"exactly", 60, 60, true},
    {"past", 61, 60, true},
    {"nothing idle, limit 2", 0, 2, false},
    {"limit zero always reached", 0, 0, true},
    {"huge limit compared unsigned", 999, 0x80000000u, false},
};

TEST(IdleRulesTest, LimitTable)
{
    for (const LimitCase& c : limitCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.reached, idleLimitReached(c.idle, c.limit));
    }
}

struct WakeCase {
    const char* name;
    uint64_t now;
    uint32_t minutes;
    uint64_t due;
};

const WakeCase wakeCases[] = {
    {"zero minutes stays at now", 0x01D9000000000000ull, 0, 0x01D9000000000000ull},
    {"one minute", 1000, 1, 600001000ull},
    {"120 minutes", 0x01D9000012345678ull, 120, 0x01D9000012345678ull + 72000000000ull},
    {"999 minutes", 0, 999, 599400000000ull},
    {"largest minutes do not overflow the product", 0, 0xFFFFFFFFu, 2576980377000000000ull},
};

TEST(IdleRulesTest, WakeDueTimeTable)
{
    for (const WakeCase& c : wakeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.due, wakeDueTime(c.now, c.minutes));
    }
}

TEST(IdleRulesTest, CarryReachesTheHighWord)
{
    const uint64_t due = wakeDueTime(0x00000001FFFFFFFFull, 1);
    EXPECT_EQ(2u, static_cast<uint32_t>(due >> 32));
    EXPECT_EQ(599999999u, static_cast<uint32_t>(due));
}

struct ForceCase {
    const char* name;
    uint32_t idleForce;
    uint32_t forceAction;
};

const ForceCase forceCases[] = {
    {"off", 0, 0}, {"on", 1, 1}, {"any non-zero is on", 0x80000000u, 1},
};

TEST(IdleRulesTest, ForceFlagTable)
{
    for (const ForceCase& c : forceCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.forceAction, idleForceFlag(c.idleForce));
    }
}

} // namespace
