// What the option pages decide: clamps, enable rules, the Run value, the force flag.
#include <gtest/gtest.h>

#include <tuple>

#include "options/option_rules.h"

namespace {

TEST(Options, ClampsAndLists)
{
    struct Clamp { NumberBox box; uint32_t typed, stored; };
    const Clamp clamps[] = {
        {trayWarnBox, 2, 3}, {trayWarnBox, 3, 3}, {trayWarnBox, 1000, 999}, {commandWarnBox, 0, 1},
        {commandWarnBox, 999, 999}, {idleMinutesBox, 1, 2}, {idleMinutesBox, 1000, 999}, {idleResumeBox, 4, 5},
        {idleResumeBox, 999, 999}, {batteryStepBox, 0, 1}, {batteryStepBox, 50, 50}, {batteryStepBox, 51, 100},
        {chargedBox, 19, 20}, {chargedBox, 100, 100}, {chargedBox, 101, 100}, {chargedBox, 0xFFFFFFFFu, 100}};
    for (const Clamp& c : clamps)
        EXPECT_EQ(c.stored, clampNumber(c.box, c.typed)) << c.box << " " << c.typed;
    EXPECT_EQ(2u, selectedOr(2, 7));
    EXPECT_EQ(7u, selectedOr(-1, 7));  // no selection: the field stays
}

TEST(Options, EnableRules)
{
    Settings s{};
    struct Tray { uint32_t icon, schedule, restart, mode; TrayPageEnabling on; };
    const Tray trays[] = {
        {0, 1, 1, 2, {false, false, false}}, {1, 0, 0, 2, {true, false, false}}, {1, 0, 1, 1, {true, true, false}},
        {1, 1, 0, 2, {true, true, true}}, {2, 2, 0, 2, {true, false, false}}};
    for (const Tray& t : trays) {
        s.trayIconEnabled = t.icon;
        s.menuShowSchedule = t.schedule;
        s.menuShowRestart = t.restart;
        s.trayPromptMode = t.mode;
        TrayPageEnabling on = trayPageEnabling(s);
        EXPECT_EQ(std::make_tuple(t.on.menuBoxes, t.on.promptAndForce, t.on.warnSeconds),
                  std::make_tuple(on.menuBoxes, on.promptAndForce, on.warnSeconds)) << t.icon << t.schedule << t.mode;
    }
    const uint32_t commands[][4] = {{2, 6, 1, 1}, {1, 7, 0, 1}, {2, 5, 1, 0}, {0, 0xFFFFFFFFu, 0, 1}};
    for (const auto& c : commands) {  // prompt mode, action: seconds box, name box
        s.commandPromptMode = c[0];
        s.commandAction = c[1];
        EXPECT_EQ(c[2] != 0, commandPageEnabling(s).warnSeconds);
        EXPECT_EQ(c[3] != 0, commandPageEnabling(s).remoteName) << c[1];
    }
    const uint32_t idles[][6] = {{0, 5, 1, 0, 0, 0}, {1, 3, 1, 1, 0, 0}, {1, 4, 0, 1, 1, 0}, {1, 5, 1, 1, 1, 1}};
    for (const auto& i : idles) {  // enabled, action, resume: action/force/minutes, resume box, resume minutes
        s.idleEnabled = i[0];
        s.idleAction = i[1];
        s.idleResumeEnabled = i[2];
        IdlePageEnabling on = idlePageEnabling(s);
        EXPECT_EQ(std::make_tuple(i[3] != 0, i[4] != 0, i[5] != 0),
                  std::make_tuple(on.actionForceMinutes, on.resumeBox, on.resumeMinutes)) << i[1];
    }
    const uint32_t batteries[][6] = {{1, 1, 1, 1, 1, 0}, {1, 1, 2, 1, 0, 1}, {0, 1, 1, 0, 0, 0}, {1, 0, 2, 0, 0, 0}};
    for (const auto& b : batteries) {  // enabled, battery, mode: monitor controls, on top, hover and step
        s.monitorEnabled = b[0];
        s.monitorShowMode = b[2];
        BatteryPageEnabling on = batteryPageEnabling(s, b[1] != 0);
        EXPECT_EQ(std::make_tuple(b[3] != 0, b[4] != 0, b[5] != 0),
                  std::make_tuple(on.monitorControls, on.onTop, on.hoverAndStep)) << b[0] << b[1] << b[2];
    }
}

TEST(Options, RunValue)
{
    char command[40];
    startupCommand("D:\\Tools\\Pelk.exe", command, sizeof command);
    EXPECT_STREQ("D:\\Tools\\Pelk.exe /q", command);
    startupCommand("C:\\Program Files\\Pelk\\Pelk.exe", command, sizeof command);
    EXPECT_STREQ("\"C:\\Program Files\\Pelk\\Pelk.exe\" /q", command);
}

}  // namespace
