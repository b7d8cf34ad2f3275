// What a real desktop does that a quiet test machine does not: a notification area that
// times out or is missing, other sessions, films that keep the display on, sleep states
// the computer lacks, refused power calls, wake-ups, a program folder that cannot be written.
#include <shlobj.h>

#include <algorithm>

#include "pelk.h"

// With no notification area at all the slam runs at once, the retries end after two
// minutes, and a new taskbar gets the icon, as a new scaling gets it drawn again.
TEST(Desktop, NoNotificationArea)
{
    Pelk pelk;
    pelk.writeSettings({{&Settings::commandPromptMode, 0}});
    pelk.setReadings({{"trayAdd", 2}, {"tickCount", 5000}});
    ASSERT_TRUE(pelk.start("/slam /poff") && pelk.waitForPowerCalls(1));
    for (DWORD waited : {119999, 120000}) {
        pelk.setReading("tickCount", 5000 + waited);
        ASSERT_TRUE(pelk.send(WM_TIMER, trayRetryTimer));
    }
    const Lines timers = pelk.timers();  // one kill, at the end
    EXPECT_TRUE(timers.front() == "SetTimer main 10 500" && std::count(timers.begin(), timers.end(), timers.back()) == 1);
    pelk.setReading("trayAdd", 1);
    ASSERT_TRUE(pelk.send(RegisterWindowMessageA("TaskbarCreated")));
    EXPECT_EQ("Shell_NotifyIcon add 7 Pelk 1.4", pelk.trayIcon().back());
    ASSERT_TRUE(pelk.send(0x02E0, MAKEWPARAM(192, 192)));  // a new scaling: the icon is drawn anew
    EXPECT_EQ("Shell_NotifyIcon modify 2 ", pelk.trayIcon().back());
}

// One start where the shell times out on the add but takes the icon, the program folder
// cannot be written, the computer has no sleep state and cannot wake by a timer.
TEST(Desktop, ADesktopOfToday)
{
    char appData[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE);
    Pelk perUser("-", std::string(appData) + "\\Orvenlit\\Pelk\\");  // where the files go
    for (const char* file : {"dPelk.dat", "dLog.txt"})
        DeleteFileA(perUser.path(file).c_str());
    Pelk pelk;
    unsigned long long now = 10000000;
    pelk.setReadings({{"trayAdd", 0}, {"programFolderReadOnly", 1}, {"canSuspend", 0}, {"wakeError", ERROR_NOT_SUPPORTED},
                      {"tickCount", now}, {"lastInputTick", now}});
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::trayPromptMode, 0}, {&Settings::menuShowSuspend, 1},
                                 {&Settings::idleResumeEnabled, 1}, {&Settings::idleMinutes, 111}}));
    EXPECT_EQ((Lines{"Shell_NotifyIcon add 7 Pelk 1.4", "Shell_NotifyIcon modify 7 Pelk 1.4"}), pelk.trayIcon());

    // Suspend is greyed, where choosing it does nothing but close the menu; Hibernate is not.
    // Up goes from no item to Exit, then on; Enter comes last, for its character follows
    // every key posted before it is read.
    for (int ups : {3, 2}) {
        pelk.post(trayCallbackMessage, 0, WM_RBUTTONDOWN);
        ASSERT_TRUE(waitUntil([&] { return !pelk.windows("#32768").empty(); }));
        for (int key = 0; key <= ups; ++key)  // to the focus, the MainWindow, whose menu loop takes them
            pelk.post(WM_KEYDOWN, key < ups ? VK_UP : VK_RETURN);
        ASSERT_TRUE(waitUntil([&] { return pelk.windows("#32768").empty(); }));
    }
    ASSERT_TRUE(pelk.waitForPowerCalls(1));
    EXPECT_EQ(Lines{"SetSystemPowerState 0 0"}, pelk.powerCalls());

    // Each row's readings come the given minutes after the row before: the idle action
    // comes only for the user at the desk, and not during a film or a presentation.
    // Sessions: own ~0, none to ask about; remote: the user connected or not.
    struct Case { unsigned long long readings[6], minutes; bool acts; };
    const Case cases[] = {
        {{~0ull, 0, 0, 0, 0, 0}, 120, true}, {{1, 2, 0, 0, 0, 0}, 120, false}, {{1, 1, 0, 0, 0, 0}, 110, false},
        {{2, 1, 1, 1, 0, 0}, 120, true},     {{2, 1, 1, 0, 0, 0}, 120, false}, {{1, 1, 0, 0, ES_DISPLAY_REQUIRED, 0}, 120, false},
        {{1, 1, 0, 0, 0, 4}, 120, false},    {{1, 1, 0, 0, ES_CONTINUOUS, 5}, 120, true},
    };
    long acted = 0;
    for (const Case& c : cases) {
        const unsigned long long* r = c.readings;
        pelk.setReadings({{"sessionOwn", r[0]}, {"sessionConsole", r[1]}, {"sessionRemote", r[2]}, {"sessionRemoteActive", r[3]},
                          {"executionState", r[4]}, {"notificationState", r[5]}, {"tickCount", now += c.minutes * 60000}});
        ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
        acted += c.acts;  // the action comes after the timer, as its prompt would
        EXPECT_TRUE(waitUntil([&] {
            const Lines calls = pelk.powerCalls();
            return std::count(calls.begin(), calls.end(), "ExitWindowsEx 0 2147483648") == acted && pelk.ready();
        })) << &c - cases;
    }
    // The resume that Pelk's own timer caused asks for the system once, so that Windows
    // does not put the computer back to sleep; a resume before it (the first) does not.
    pelk.clearJournal();
    ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC));
    EXPECT_TRUE(pelk.journal().empty());
    pelk.setReading("wakeFired", 1);
    ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC));
    EXPECT_EQ((Lines{"SetThreadExecutionState system display", "CancelWaitableTimer", "CloseWakeTimer"}), pelk.journal());

    // The wake-up that cannot wake is told; Windows refuses the action: the log and a
    // balloon say so, and the wake-up armed for it goes.
    pelk.setReadings({{"callError", ERROR_PRIVILEGE_NOT_HELD}, {"tickCount", now += 120 * 60000}});
    ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
    ASSERT_TRUE(waitUntil([&] { return perUser.logTexts().back() == "Log Off failed (error 1314)" && pelk.ready(); }));
    const Lines log = perUser.logTexts(), calls = pelk.powerCalls();
    EXPECT_EQ((Lines{"Wake-up timer failed (error 50)", "Log Off", "Log Off failed (error 1314)"}), Lines(log.end() - std::min<size_t>(3, log.size()), log.end()));
    EXPECT_EQ(0u, pelk.trayIcon().back().rfind("Shell_NotifyIcon modify 16 Log Off failed (error 1314)", 0));
    EXPECT_EQ((Lines{"ExitWindowsEx 0 2147483648", "CancelWaitableTimer", "CloseWakeTimer"}), Lines(calls.end() - std::min<size_t>(3, calls.size()), calls.end()));
    // The settings were read from the program's folder and are saved in the per-user one.
    DeleteFileA(pelk.path("dPelk.dat").c_str());
    pelk.command(IDM_EXIT);
    Settings saved;
    EXPECT_TRUE(pelk.waitForExit() && perUser.savedSettings(saved) && saved.idleMinutes == 111);
    EXPECT_EQ("", pelk.read("dPelk.dat") + pelk.read("dLog.txt"));
    for (const char* file : {"dPelk.dat", "dLog.txt"})
        DeleteFileA(perUser.path(file).c_str());
}
