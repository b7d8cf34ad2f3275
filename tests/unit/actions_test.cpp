// The action table and the prompt texts and countdowns of each flow.
#include <gtest/gtest.h>

#include "power/actions.h"

namespace {

TEST(Actions, Table)
{
    struct Case { uint32_t action; const char* text; uint32_t flags; ActionCall call; uint32_t forced; };
    const Case cases[] = {
        {0, "Power Off", 8, callExitWindows, 12},     {1, "Restart", 2, callExitWindows, 6},
        {2, "Shutdown", 1, callExitWindows, 5},       {3, "Log Off", 0, callExitWindows, 4},
        {4, "Suspend", 1, callSetPowerState, 5},      {5, "Hibernate", 0, callSetPowerState, 4},
        {6, "Remote Shut", 0, callRemoteShutdown, 4}, {7, "Remote Restart", 1, callRemoteShutdown, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ActionEntry* entry = findAction(c.action);
        ASSERT_NE(nullptr, entry);
        EXPECT_STREQ(c.text, entry->logText);
        EXPECT_EQ(c.flags, entry->flags);
        EXPECT_EQ(c.call, entry->call);
        EXPECT_EQ(c.forced, entry->flags | forceFlag);
    }
    for (uint32_t bad : {8u, 9u, 100u, 0xFFFFFFFFu})
        EXPECT_EQ(nullptr, findAction(bad)) << bad;
}

TEST(Actions, PromptNames)
{
    struct Case { uint32_t action; const char* name; };
    const Case cases[] = {{0, "Power Off"}, {1, "Restart"},   {2, "Shutdown"},  {3, "Log Off"},
                          {4, "Suspend"},   {5, "Hibernate"}, {6, "Hibernate"}, {7, "Hibernate"},
                          {0xFFFFFFFFu, "Hibernate"}};
    for (const Case& c : cases)
        EXPECT_STREQ(c.name, promptActionName(c.action)) << c.action;
}

TEST(Actions, PromptPlans)
{
    struct Case {
        const char* name; uint32_t mode; uint32_t action; uint32_t warn;
        bool ask; uint32_t countdown; const char* message; const char* yes;
    };
    const Case cases[] = {
        {"just shutdown", 0, 1, 10, false, 0, "Please confirm Restart", "Yes, Restart"},
        {"confirm", 1, 1, 10, true, 0, "Please confirm Restart", "Yes, Restart"},
        {"warn from tray or idle", 2, 3, 10, true, 10, "Please confirm Log Off", "Yes, Log Off"},
        {"warn from schedule", 2, 0, 30, true, 30, "Please confirm Power Off", "Yes, Power Off"},
        {"unknown mode warns", 7, 4, 10, true, 10, "Please confirm Suspend", "Yes, Suspend"},
        {"damaged action", 2, 9, 10, true, 10, "Please confirm Hibernate", "Yes, Hibernate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PromptPlan plan;
        planActionPrompt(c.mode, c.action, c.warn, plan);
        EXPECT_EQ(c.ask, plan.ask);
        EXPECT_EQ(c.countdown, plan.countdownSeconds);
        EXPECT_STREQ(c.message, plan.message);
        EXPECT_STREQ(c.yes, plan.yesText);
        EXPECT_STREQ("No! Don't do it!", plan.noText);
    }
}

TEST(Actions, SlamCountdownAndTimerInterval)
{
    EXPECT_EQ(0u, slamCountdown(1, 5));
    EXPECT_EQ(5u, slamCountdown(2, 5));
    EXPECT_EQ(9u, slamCountdown(3, 9));
    EXPECT_EQ(1000u, countdownIntervalMs(1));
    EXPECT_EQ(999000u, countdownIntervalMs(999));
    EXPECT_EQ(0x7FFFFFFFu, countdownIntervalMs(0xFFFFFFFFu));
    EXPECT_EQ(0x7FFFFFFFu, countdownIntervalMs(5000000u));
}

}  // namespace
