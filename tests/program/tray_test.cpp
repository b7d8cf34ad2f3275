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

// A high-contrast scheme whose colours all differ, so that each pixel tells which it is.
static int schemeParts[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_BTNFACE, COLOR_BTNTEXT};
const COLORREF window = 0x200000, windowText = 0xFFFFFF, highlight = 0xFFEB1A, face = 0x400000, faceText = 0x00FFFF;

// As the user switches the theme. Wine 8 refuses (ERROR_INVALID_SPI_VALUE): then Pelk is served the switch, told as Windows tells.
static void switchHighContrast(Pelk* pelk, bool on)
{
    HIGHCONTRASTA highContrast = {sizeof highContrast, on ? DWORD(HCF_HIGHCONTRASTON) : 0, nullptr};
    if (!SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof highContrast, &highContrast, SPIF_SENDCHANGE) && pelk) {
        pelk->setReading("highContrast", on);
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, patienceMs, 0);
    }
}

// Switched on while Pelk runs: the monitor opaque, it and the icon in the scheme's colours; switched off, Pelk's own again.
TEST(Tray, HighContrastColours)
{
    struct Scheme {  // for the processes started after, as Wine keeps it; the system's own again at the end
        COLORREF saved[5], colours[5] = {window, windowText, highlight, face, faceText};
        Scheme() { for (int i = 0; i < 5; ++i) saved[i] = GetSysColor(schemeParts[i]); SetSysColors(5, schemeParts, colours); }
        ~Scheme() { SetSysColors(5, schemeParts, saved); switchHighContrast(nullptr, false); }
    } scheme;
    Pelk pelk;
    pelk.setReadings({{"batteryFlag", 0}, {"acLine", 0}, {"batteryPercent", 80}});
    pelk.writeSettings({{&Settings::monitorEnabled, 1}, {&Settings::monitorTransparent, 1}});
    std::string record = pelk.read("dPelk.dat");
    record[settingsHeaderSize + offsetof(Settings, trayShowsPercent)] = 1;
    writeWhole(pelk.path("dPelk.dat"), record);
    ASSERT_TRUE(pelk.start("/q") && pelk.ready());
    HWND monitor = pelk.waitForDialog();
    RECT bar{}, state{}, tray{};
    GetWindowRect(GetDlgItem(monitor, IDC_MONITOR_BAR), &bar);
    GetWindowRect(GetDlgItem(monitor, IDC_MONITOR_STATE), &state);
    GetWindowRect(FindWindowA("__winex11_standalone_tray", nullptr), &tray);  // Wine's own notification area
    auto at = [](LONG x, LONG y) { static HDC screen = GetDC(nullptr); return GetPixel(screen, x, y); };  // one DC for the run
    auto monitorShows = [&] {  // the state's text along its line, its face at its end, the bar's outline, charge and rest
        const LONG y = (bar.top + bar.bottom) / 2, textY = (state.top + state.bottom) / 2;
        LONG x = state.left;
        while (x < state.right && at(x, textY) != faceText)
            ++x;
        return x < state.right && !(GetWindowLongA(monitor, GWL_EXSTYLE) & WS_EX_LAYERED) && at(bar.left, y) == faceText &&
               at(state.right - 1, textY) == face && at((bar.left + bar.right) / 2, y) == highlight && at(bar.right - 3, y) == face;
    };
    auto trayShows = [&](COLORREF digit, COLORREF square) {  // 80 at the size of 100%, from its first pixel on
        const int width = tray.right - tray.left, size = GetSystemMetrics(SM_CXSMICON);
        int first = 0, i = 0;
        while (first < width * (tray.bottom - tray.top) && at(tray.left + first % width, tray.top + first / width) != square)
            ++first;
        while (i < size * size && at(tray.left + first % width + i % size, tray.top + first / width + i / size) ==
                                      (digitPixel("80", layoutDigits(size, 2), i % size, i / size) ? digit : square))
            ++i;
        return i == size * size;
    };
    switchHighContrast(&pelk, true);
    EXPECT_TRUE(waitUntil(monitorShows));
    EXPECT_TRUE(waitUntil([&] { return trayShows(windowText, window); }));
    switchHighContrast(&pelk, false);
    EXPECT_TRUE(waitUntil([&] { return trayShows(0xFFFFFF, 0x663A20) && GetWindowLongA(monitor, GWL_EXSTYLE) & WS_EX_LAYERED; }));
}
