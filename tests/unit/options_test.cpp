// What the option pages decide: clamps, enable rules, the Run value.
#include <gtest/gtest.h>

#include "options/option_rules.h"

TEST(Options, ClampsListsAndRunValue)
{
    struct Clamp { NumberBox box; uint32_t typed, stored; };
    const Clamp clamps[] = {
        // the maxima are seen whole-program
        {trayWarnBox, 2, 3}, {trayWarnBox, 3, 3}, {commandWarnBox, 0, 1}, {idleMinutesBox, 1, 2}, {idleResumeBox, 4, 5},
        {batteryStepBox, 0, 1}, {batteryStepBox, 50, 50}, {batteryStepBox, 51, 100}, {chargedBox, 19, 20}};
    for (const Clamp& c : clamps)
        EXPECT_EQ(c.stored, clampNumber(c.box, c.typed)) << c.box << " " << c.typed;
    EXPECT_EQ(7u, selectedOr(-1, 7));  // no selection: the field stays
    char command[40];
    startupCommand("D:\\Tools\\Pelk.exe", command, sizeof command);
    EXPECT_STREQ("D:\\Tools\\Pelk.exe /q", command);
}

// Each row: the fields, then what the page enables, one bit per control group.
TEST(Options, EnableRules)
{
    Settings s{};
    const uint32_t trays[][5] = {{0, 1, 1, 2, 0}, {1, 0, 0, 2, 4}, {1, 0, 1, 1, 6}, {1, 1, 0, 2, 7}, {2, 2, 0, 2, 4}};
    for (const auto& t : trays) {  // icon, schedule, restart, prompt mode: menu boxes, prompt and force, seconds
        s.trayIconEnabled = t[0];
        s.menuShowSchedule = t[1];
        s.menuShowRestart = t[2];
        s.trayPromptMode = t[3];
        TrayPageEnabling on = trayPageEnabling(s);
        EXPECT_EQ(t[4], 4u * on.menuBoxes + 2u * on.promptAndForce + on.warnSeconds) << t[0] << t[1] << t[3];
    }
    const uint32_t commands[][3] = {{2, 6, 3}, {1, 7, 1}, {2, 5, 2}, {0, 0xFFFFFFFFu, 1}};
    for (const auto& c : commands) {  // prompt mode, action: seconds box, name box
        s.commandPromptMode = c[0];
        s.commandAction = c[1];
        EXPECT_EQ(c[2], 2u * commandPageEnabling(s).warnSeconds + commandPageEnabling(s).remoteName) << c[1];
    }
    const uint32_t idles[][4] = {{0, 5, 1, 0}, {1, 3, 1, 4}, {1, 4, 0, 6}, {1, 5, 1, 7}};
    for (const auto& i : idles) {  // enabled, action, resume: action/force/minutes, resume box, resume minutes
        s.idleEnabled = i[0];
        s.idleAction = i[1];
        s.idleResumeEnabled = i[2];
        IdlePageEnabling on = idlePageEnabling(s);
        EXPECT_EQ(i[3], 4u * on.actionForceMinutes + 2u * on.resumeBox + on.resumeMinutes) << i[1];
    }
    const uint32_t batteries[][4] = {{1, 1, 1, 6}, {1, 1, 2, 5}, {0, 1, 1, 0}, {1, 0, 2, 0}};
    for (const auto& b : batteries) {  // enabled, battery, mode: monitor controls, on top, hover and step
        s.monitorEnabled = b[0];
        s.monitorShowMode = b[2];
        BatteryPageEnabling on = batteryPageEnabling(s, b[1] != 0);
        EXPECT_EQ(b[3], 4u * on.monitorControls + 2u * on.onTop + on.hoverAndStep) << b[0] << b[1] << b[2];
    }
}
