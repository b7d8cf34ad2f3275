// The whole program's tray icon and battery monitor, driven as the shell and the
// user would: tray callbacks, the pop-up menu, power broadcasts, mouse messages.
#include "pelk.h"

static bool trayMessage(Pelk& pelk, LPARAM mouse) { return pelk.send(trayCallbackMessage, 0, mouse); }

static std::string placeOf(HWND window)
{
    RECT r{};
    return GetWindowRect(window, &r) ? std::to_string(r.left) + "," + std::to_string(r.top) : "";
}

TEST(Tray, IconMenuAndMonitor)
{
    Pelk pelk;
    const unsigned start = 0xFFFFFFFF - 20000;  // the schedule starts just before the tick count wraps
    pelk.setReadings({{"tickCount", start}, {"batteryFlag", 128}, {"acLine", 0}, {"batteryPercent", 80}});
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::monitorEnabled, 1},
                                 {&Settings::monitorShowMode, 2}, {&Settings::trayClickAction, 2},
                                 {&Settings::monitorLocation, 4},
                                 {&Settings::monitorTransparent, 1}}));
    // Without a battery the tooltip tells the state: idle watch, then a schedule's countdown.
    ASSERT_TRUE(trayMessage(pelk, WM_MOUSEMOVE));
    pelk.command(IDM_SCHEDULE);
    HWND schedule = pelk.waitForDialog();
    press(schedule, IDOK);  // the schedule starts as the dialog closes
    ASSERT_TRUE(waitForClose(schedule) && pelk.ready());
    pelk.setReading("tickCount", start + 60000);
    ASSERT_TRUE(trayMessage(pelk, WM_MOUSEMOVE));
    pelk.post(trayCallbackMessage, 0, WM_RBUTTONDOWN);  // the menu; "Abort Shutdown" is there while a schedule runs
    HWND menu = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }));
    for (WPARAM key : {VK_UP, VK_UP, VK_RETURN})
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    const std::string aborted = "Shell_NotifyIcon modify 16 Aborted: 4 Mns until Log Off.";
    ASSERT_TRUE(waitUntil([&] { return pelk.trayIcon().back() == aborted; })) << pelk.read("PowerJournal.txt");  // the menu's command comes after it closed
    const Lines icon = {"Shell_NotifyIcon add 7 Pelk 1.4", "Shell_NotifyIcon modify 7 Idle Shutdown Enabled",
                        "Shell_NotifyIcon modify 7 4 Mns until Log Off", "Shell_NotifyIcon modify 7 4 Mns until Log Off",
                        aborted};
    EXPECT_EQ(icon, pelk.trayIcon());

    // A battery arrives (a failed read before is not one): the poll starts, and resting on
    // the icon shows the monitor at the pointer.
    pelk.setReading("statusFails", 1);
    ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE));
    EXPECT_NE("SetTimer main 7 10000", pelk.timers("main").back());
    pelk.setReadings({{"statusFails", 0}, {"batteryFlag", 0}});
    ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE));
    EXPECT_EQ("SetTimer main 7 10000", pelk.timers("main").back());
    moveCursor(10, 500);
    pelk.setReading("tickCount", 0xFFFFFF00);  // resting 501 ms, across the wrap
    ASSERT_TRUE(trayMessage(pelk, WM_MOUSEMOVE));
    pelk.setReading("tickCount", 0xFFFFFF00 + 501);
    ASSERT_TRUE(trayMessage(pelk, WM_MOUSEMOVE));
    HWND monitor = pelk.waitForDialog();
    // Translucent, and never active: the keyboard stays with the window the user works in.
    const LONG styles = WS_EX_LAYERED | WS_EX_NOACTIVATE;
    EXPECT_EQ(styles, GetWindowLongA(monitor, GWL_EXSTYLE) & styles);
    EXPECT_NE(monitor, GetForegroundWindow());
    EXPECT_EQ("10,500 80% On Battery", placeOf(monitor) + " " + textOf(monitor, IDC_MONITOR_LEVEL) + " " +
                                           textOf(monitor, IDC_MONITOR_STATE));
    Lines withLevel = icon;  // the tooltip names the battery's level once there is one; nothing more while hovering is watched
    withLevel.push_back("Shell_NotifyIcon modify 7 Idle Shutdown Enabled - 80%");
    EXPECT_EQ(withLevel, pelk.trayIcon());
    for (int x : {300, 400, 0}) {  // a drag moves it with the pointer from its grab, then a second drag's grab
        moveCursor(x, x / 2);
        SendMessageA(monitor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 6));
        if (x == 400)
            SendMessageA(monitor, WM_LBUTTONUP, 0, 0);
    }
    EXPECT_EQ("110,550", placeOf(monitor));
    for (int tick = 0; tick < 2; ++tick)  // hovering seen at the first 2-second tick, none at the second
        PostMessageA(monitor, WM_TIMER, 1, 0);
    ASSERT_TRUE(waitForClose(monitor));
    ASSERT_TRUE(trayMessage(pelk, WM_LBUTTONDOWN));  // On: "Always On", top-most where it was left
    monitor = pelk.waitForDialog();
    EXPECT_EQ("110,550", placeOf(monitor));
    EXPECT_TRUE(GetWindowLongA(monitor, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Placed again every 2 seconds, it stays under a top-most window opened since, a menu say.
    HWND above = CreateWindowExA(WS_EX_TOPMOST, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, 0, 0, 0, 0);
    SendMessageA(monitor, WM_TIMER, 1, 0);
    HWND higher = GetTopWindow(nullptr);
    while (higher != nullptr && higher != above && higher != monitor)
        higher = GetWindow(higher, GW_HWNDNEXT);
    EXPECT_EQ(above, higher);
    DestroyWindow(above);
    ASSERT_TRUE(trayMessage(pelk, WM_LBUTTONDOWN));  // Off: closes at once
    ASSERT_TRUE(waitForClose(monitor));
    pelk.setReading("batteryFlag", 128);
    ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE));
    EXPECT_EQ("KillTimer main 7", pelk.timers("main").back());
    Settings saved = pelk.exitAndSaved();
    EXPECT_EQ(2u, saved.monitorShowMode);
    EXPECT_EQ(110, saved.monitorLeft);
    EXPECT_EQ("Shell_NotifyIcon delete 7 Pelk 1.4", pelk.trayIcon().back());
}
