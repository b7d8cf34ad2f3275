// The tray's menu, clicks and hover timing; the battery's notices and texts, and
// where and how long the monitor window shows; the colours of both, their own or a high-contrast theme's.
#include <gtest/gtest.h>

#include <string>

#include "app/look.h"
#include "battery/battery_rules.h"
#include "tray/tray_rules.h"

TEST(TrayAndBattery, Rules)
{
    Settings s{};
    struct Menu { uint32_t schedule, actions; bool active; const char* items; };  // actions: a bit per flag
    const Menu menus[] = {
        {1, 0x23, false, "About|Help|Options...|-|Schedule Shutdown|Power Off|Restart|Hibernate|-|Exit"},
        {0, 0, true, "About|Help|Options...|-|Abort Shutdown|Exit"},
        {2, 0x1C, false, "About|Help|Options...|-|Shutdown|Log Off|Suspend|-|Exit"},
    };
    for (const Menu& m : menus) {
        s.menuShowSchedule = m.schedule;
        uint32_t* flags[] = {&s.menuShowPowerOff, &s.menuShowRestart, &s.menuShowShutdown,
                             &s.menuShowLogOff,   &s.menuShowSuspend, &s.menuShowHibernate};
        for (int i = 0; i < 6; ++i)
            *flags[i] = (m.actions >> i) & 1;
        TrayMenuItem items[trayMenuMost];
        std::string joined;
        for (size_t i = 0, n = buildTrayMenu(s, m.active, nullptr, 0, items); i < n; ++i)
            joined += (i ? "|" : "") + std::string(items[i].command ? items[i].text : "-");
        EXPECT_EQ(m.items, joined);
    }
    // Clicks and hover timing.
    struct Click { uint32_t action; bool prompt, battery, monitor; TrayClick click; };
    const Click clicks[] = {
        {3, false, false, false, clickSchedule}, {3, true, true, false, clickNothing},  {0, false, true, false, clickOptions},
        {1, false, false, false, clickOptions},  {2, false, true, true, clickMonitorOff}, {9, true, true, false, clickShowMonitor},
    };
    for (const Click& c : clicks)
        EXPECT_EQ(c.click, trayClickFor(c.action, c.prompt, c.battery, c.monitor)) << c.action << c.battery;
    EXPECT_TRUE(isHovering(401, 0xFFFFFF9Cu) && isHovering(1899, 0xFFFFFF9Cu));  // 501 and 1,999 ms, across the wrap
    EXPECT_FALSE(isHovering(400, 0xFFFFFF9Cu) || isHovering(1900, 0xFFFFFF9Cu));

    // One reading after another, step 5, charged at 97, from the start-up baseline of 50.
    struct Step { uint8_t acLine, flag, percent; int notices; const char* text; };
    const Step steps[] = {
        {0, 0, 80, 2, "On Battery"},   {0, 0, 77, 0, "On Battery"},   {0, 0, 76, 0, "On Battery"},
        {0, 0, 75, 1, "On Battery"},   {1, 8, 97, 2, "Battery Charging "}, {1, 0, 97, 1, "NOT Charging"},
        {1, 0, 98, 1, "Charged"},      {1, 0, 255, 1, "Charged"},     {255, 0, 98, 2, "On Battery"},
        {1, 128, 255, 2, "No Battery!"},
    };
    BatteryTrack track = {50, 0};
    for (const Step& step : steps) {
        PowerReading r = {step.acLine, step.flag, step.percent};
        EXPECT_EQ(step.notices, trackBattery(r, 5, 97, track)) << int(step.percent);
        EXPECT_STREQ(step.text, monitorStateText(hasBattery(r), r, 97)) << int(step.percent);
    }

    // A 110 x 40 window on a 1024 x 768 screen at 100%, whose taskbar takes the bottom 40
    // pixels; on a screen left of it at 200%, taskbar on top; hover points are the tray's.
    const MonitorArea main = {{0, 0, 1024, 768}, {0, 0, 1024, 728}, 96};
    const MonitorArea left200 = {{-2560, 0, 0, 1600}, {-2560, 80, 0, 1600}, 192};
    struct Place { const MonitorArea* area; uint32_t location; bool hover; int32_t x, y, left, top; };
    const Place places[] = {
        {&main, 0, false, 7, 7, 0, 0},             {&main, 1, false, 7, 7, 914, 0},
        {&main, 9, false, 7, 7, 914, 688},         {&main, 1, true, 10, 500, 35, 500},
        {&main, 0, true, 1000, 750, 905, 730},     {&main, 1, true, -5, 800, -100, 780},
        {&left200, 2, false, 7, 7, -2560, 1560},   {&left200, 1, false, 7, 7, -110, 80},
        {&left200, 3, true, -2550, 1590, -2500, 1550}, {&left200, 3, true, -10, 10, -200, 10},
        {&left200, 4, true, -3000, 7, -3000, 7},
    };
    for (const Place& p : places) {
        int32_t left = p.x, top = p.y;
        EXPECT_EQ(p.hover && p.location != 4, placeMonitorAt(p.location, p.hover, *p.area, 110, 40, left, top));
        EXPECT_EQ(std::make_pair(p.left, p.top), std::make_pair(left, top)) << p.location << " " << p.x << "," << p.y;
    }
    // A free position that no monitor shows comes back the shortest way; too large a window keeps its corner in.
    struct Clamp { int32_t x, y, width, left, top; };
    const Clamp clamps[] = {
        {-500, 900, 110, 0, 688}, {2000, -60, 110, 914, 0}, {600, 300, 110, 600, 300}, {50, 9, 2000, 0, 9}};
    for (const Clamp& c : clamps) {
        int32_t left = c.x, top = c.y;
        bringIntoArea(main.work, c.width, 40, left, top);
        EXPECT_EQ(std::make_pair(c.left, c.top), std::make_pair(left, top)) << c.x << "," << c.y;
    }
    EXPECT_TRUE(monitorStaysOpen(1, false, false, 1) && !monitorStaysOpen(1, true, true, 0));
}

// Each part in Pelk's own look and in high contrast; the notices that may change it.
TEST(TrayAndBattery, LookInHighContrast)
{
    const SystemColours system = {1, 2, 3, 4, 5};  // window, window text, highlight, button face, button text
    const uint32_t own = controlsOwnColour;
    const struct { LookPart part; uint32_t own, highContrast; } parts[] = {
        {monitorBackground, own, 4}, {monitorText, own, 5},     {barFill, own, 3},         {barTrack, own, 4},
        {barBorder, own, 5},         {iconDigits, 0xFFFFFF, 2}, {iconSquare, 0x663A20, 1}};
    for (const auto& p : parts) {
        EXPECT_EQ(p.own, lookColour({false, system}, p.part)) << p.part;
        EXPECT_EQ(p.highContrast, lookColour({true, system}, p.part)) << p.part;
    }
    const struct { uint32_t action; const char* area; bool changes; } notices[] = {
        {0x43, nullptr, true}, {0, "windowmetrics", true}, {0x2A, "ImmersiveColorSet", true}, {0, "Policy", false},
        {0, nullptr, false},   {0, "WindowMetricsX", false}};
    for (const auto& n : notices)
        EXPECT_EQ(n.changes, settingChangesLook(n.action, n.area)) << n.action << (n.area ? n.area : "");
}
