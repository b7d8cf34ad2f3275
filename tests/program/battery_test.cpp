// The battery read when Windows tells of a change, the alerts' balloons and the low
// alert's action, and the level on the tray icon, as drawn and as the shell gets it.
#include <algorithm>
#include <cstdio>
#include <map>

#include "pelk.h"

// How often a minute the MainWindow's timers set and not killed since, as the journal has them, wake Pelk.
static unsigned wakeUpsAMinute(const Lines& timers)
{
    std::map<unsigned, unsigned> periods;
    for (const std::string& line : timers) {
        unsigned id = 0, ms = 0;
        if (std::sscanf(line.c_str(), "SetTimer main %u %u", &id, &ms) == 2)
            periods[id] = ms;
        else if (std::sscanf(line.c_str(), "KillTimer main %u", &id) == 1)
            periods.erase(id);
    }
    unsigned wakeUps = 0;
    for (const auto& period : periods)
        wakeUps += 60000 / period.second;
    return wakeUps;
}

TEST(Battery, WakeUpsFollowWindowsNotices)
{
    Pelk pelk;
    pelk.setReading("batteryFlag", 128);
    ASSERT_TRUE(pelk.startQuiet());
    // A desktop (no battery, nothing armed) sets no timer; a battery is polled until Windows'
    // first notice of its level, then read at each notice.
    struct Notice { unsigned batteryFlag; WPARAM event; unsigned wakeUps; };
    const Notice notices[] = {{128, PBT_APMPOWERSTATUSCHANGE, 0}, {0, PBT_APMPOWERSTATUSCHANGE, 6}, {0, 0x8013, 0}, {0, PBT_APMPOWERSTATUSCHANGE, 0},
                              {128, PBT_APMPOWERSTATUSCHANGE, 0}, {0, PBT_APMPOWERSTATUSCHANGE, 0}};
    for (const Notice& n : notices) {
        pelk.setReading("batteryFlag", n.batteryFlag);
        ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, n.event));
        EXPECT_EQ(n.wakeUps, wakeUpsAMinute(pelk.timers())) << n.event;
    }
}

// The level on the icon and in the tooltip, redrawn when the number changes; a balloon once
// per crossing, also while the shell keeps the start's reading waiting; the low alert's action
// asked first, performed on Yes; the charged one acts not.
TEST(Battery, AlertsAndTheLowAction)
{
    Pelk pelk;
    pelk.setReadings({{"batteryFlag", 0}, {"acLine", 0}, {"batteryPercent", 57}, {"trayHolds", 1}});
    pelk.writeSettings({{&Settings::trayPromptMode, 1}});
    std::string record = pelk.read("dPelk.dat");
    const char tail[] = {10, 80, 2, 1};  // low 10%, charged 80%, then Hibernate; the level on the icon
    record.replace(settingsHeaderSize + offsetof(Settings, lowAlertPercent), 4, tail, 4);
    writeWhole(pelk.path("dPelk.dat"), record);
    ASSERT_TRUE(pelk.start("/q") && pelk.ready());
    for (unsigned percent : {57u, 10u, 9u}) {
        pelk.setReading("batteryPercent", percent);
        ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE));
    }
    pelk.setReading("trayHolds", 0);  // the start's own reading of 57% ends: judged late, it re-arms nothing
    pelk.timer(batteryPollTimer);
    press(pelk.waitForDialog(), IDOK);
    ASSERT_TRUE(pelk.waitForPowerCalls(1));
    pelk.setReadings({{"acLine", 1}, {"batteryPercent", 80}});
    ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE) && pelk.ready());
    const Lines icon = {"Shell_NotifyIcon add 7 Pelk 1.4", "Shell_NotifyIcon modify 7 Pelk 1.4 - 57%",
                        "Shell_NotifyIcon modify 7 Hibernate now - 10%",  // the tooltip tells what waits
                        "Shell_NotifyIcon modify 16 The battery is down to 10%. Plug the computer in, or save your work: Hibernate follows once you confirm it.",
                        "Shell_NotifyIcon modify 7 Hibernate now - 9%", "Shell_NotifyIcon modify 7 Pelk 1.4 - 80%",
                        "Shell_NotifyIcon modify 16 The battery is charged to 80%. Unplug the computer to spare the battery."};
    EXPECT_EQ(icon, pelk.trayIcon()) << pelk.read("PowerJournal.txt");
    EXPECT_EQ(Lines{"SetSystemPowerState 0 0"}, pelk.powerCalls());

    // With the tray icon off (the options show, as they then do), the alert comes on an
    // icon of its own, which goes again.
    pelk.kill();  // one Pelk at a time
    Pelk hidden;
    hidden.setReadings({{"batteryFlag", 0}, {"acLine", 0}, {"batteryPercent", 57}});
    hidden.writeSettings({{&Settings::trayIconEnabled, 0}});
    record = hidden.read("dPelk.dat");
    record[settingsHeaderSize + offsetof(Settings, lowAlertPercent)] = 10;
    writeWhole(hidden.path("dPelk.dat"), record);
    ASSERT_TRUE(hidden.start("") && hidden.ready());
    hidden.setReading("batteryPercent", 9);
    ASSERT_TRUE(hidden.send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE));
    EXPECT_EQ((Lines{"Shell_NotifyIcon add 7 Pelk 1.4",
                     "Shell_NotifyIcon modify 16 The battery is down to 9%. Plug the computer in, or save your work."}),
              hidden.trayIcon());
    const Lines timers = hidden.timers("main");
    EXPECT_EQ(1, std::count(timers.begin(), timers.end(), "SetTimer main 14 30000"));
    ASSERT_TRUE(hidden.send(WM_TIMER, balloonIconTimer));
    EXPECT_EQ("Shell_NotifyIcon delete 2 ", hidden.trayIcon().back());
}

// Drawn at each size the notification area asks for: that many pixels, two colours, the
// pixels of the digits' cells light and every other one dark, the edge too.
TEST(Tray, LevelIconDigitsAt16To32)
{
    for (int size : {16, 20, 24, 32}) {
        for (const char* level : {"57", "100", "8"}) {
            HICON icon = drawLevelIcon(level, size, Look{});
            ICONINFO info{}; BITMAP bitmap{};
            ASSERT_TRUE(icon && GetIconInfo(icon, &info) && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap));
            EXPECT_EQ(size * 100 + size, bitmap.bmWidth * 100 + bitmap.bmHeight);
            BITMAPINFO format{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB}};
            std::vector<DWORD> pixels(size * size);
            HDC dc = GetDC(nullptr);
            GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
            ReleaseDC(nullptr, dc);
            std::map<DWORD, int> colours;
            for (int i = 0; i < size * size; ++i) {
                const int x = i % size, y = i / size, edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
                ++colours[pixels[i] & 0xFFFFFF];
                EXPECT_EQ(!edge && digitPixel(level, layoutDigits(size, lstrlenA(level)), x, y),
                          (pixels[i] & 0xFFFFFF) == 0xFFFFFF) << size << level << i;
            }
            EXPECT_EQ(2u, colours.size()) << size << level;
            DestroyIcon(icon);
        }
    }
}
