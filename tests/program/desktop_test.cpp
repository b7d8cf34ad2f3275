// What a real desktop does that a quiet test machine does not: a notification area that
// times out or is missing, other sessions, films that keep the display on, sleep states
// the computer lacks, refused power calls, wake-ups, a program folder that cannot be written.
#include <shlobj.h>

#include <algorithm>

#include "pelk.h"

// A timed-out add counts once a change is taken; with no notification area at all the
// slam runs at once, the retries end after two minutes, and a new taskbar gets the icon.
TEST(Desktop, NotificationAreaThatDoesNotAnswer)
{
    {
        Pelk late;
        late.setReading("trayAdd", 0);
        ASSERT_TRUE(late.startQuiet());
        EXPECT_EQ((Lines{"Shell_NotifyIcon add 7 Pelk 1.4", "Shell_NotifyIcon modify 7 Pelk 1.4"}), late.trayIcon());
        const Lines lateTimers = late.timers();
        EXPECT_EQ(0, std::count(lateTimers.begin(), lateTimers.end(), "SetTimer main 10 500"));
    }

    Pelk none;
    none.writeSettings({{&Settings::commandPromptMode, 0}});
    none.setReading("trayAdd", 2);
    none.setReading("tickCount", 5000);
    ASSERT_TRUE(none.start("/slam /poff") && none.waitForPowerCalls(1));
    EXPECT_EQ("SetTimer main 10 500", none.timers().front());
    for (DWORD waited : {119999, 120000}) {
        none.setReading("tickCount", 5000 + waited);
        ASSERT_TRUE(none.send(WM_TIMER, trayRetryTimer));
    }
    const Lines timers = none.timers();
    EXPECT_EQ("KillTimer main 10", timers.back());
    EXPECT_EQ(1, std::count(timers.begin(), timers.end(), "KillTimer main 10"));
    none.setReading("trayAdd", 1);
    ASSERT_TRUE(none.send(RegisterWindowMessageA("TaskbarCreated")));
    EXPECT_EQ("Shell_NotifyIcon add 7 Pelk 1.4", none.trayIcon().back());
}

// Each row's readings, in one process, 100 minutes after the row before: the idle action
// comes only for the user at the desk, and not during a film or a presentation.
TEST(Desktop, IdleMinutesAreTheUsersAtTheDesk)
{
    // session: own, console, remote, remote user connected (own 0: no sessions to ask about)
    struct Case { DWORD own, console, remote, connected, executionState, notificationState, minutes; bool acts; };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0, 100, true},          {1, 1, 0, 0, 0, 0, 100, true},
        {1, 2, 0, 0, 0, 0, 100, false},         {1, 1, 0, 0, 0, 0, 59, false},  // the minutes began again
        {2, 1, 1, 1, 0, 0, 100, true},          {2, 1, 1, 0, 0, 0, 100, false},
        {1, 1, 0, 0, ES_DISPLAY_REQUIRED, 0, 100, false}, {1, 1, 0, 0, ES_SYSTEM_REQUIRED | ES_CONTINUOUS, 0, 100, false},
        {1, 1, 0, 0, ES_CONTINUOUS, 5, 100, true},        {1, 1, 0, 0, 0, 4, 100, false},
        {1, 1, 0, 0, 0, 3, 100, false},                   {1, 1, 0, 0, 0, 1, 100, true},
    };
    Pelk pelk;
    DWORD now = 10000000;
    pelk.setReading("tickCount", now);
    pelk.setReading("lastInputTick", now);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::trayPromptMode, 0}}));
    size_t acted = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        const std::pair<const char*, unsigned long long> readings[] = {
            {"sessionOwn", c.own ? c.own : ~0ull}, {"sessionConsole", c.console}, {"sessionRemote", c.remote},
            {"sessionRemoteActive", c.connected}, {"executionState", c.executionState}, {"notificationState", c.notificationState}};
        for (const auto& r : readings)
            pelk.setReading(r.first, r.second);
        pelk.setReading("tickCount", now += c.minutes * 60000);
        ASSERT_TRUE(pelk.send(WM_TIMER, idleTimer));
        acted += c.acts;
        EXPECT_EQ(acted, pelk.powerCalls().size());
    }
    // Windows refuses: the log and a balloon say so.
    pelk.setReading("callError", ERROR_PRIVILEGE_NOT_HELD);
    pelk.setReading("tickCount", now += 100 * 60000);
    ASSERT_TRUE(pelk.send(WM_TIMER, idleTimer));
    const Lines log = pelk.logTexts();
    EXPECT_EQ((Lines{"Log Off", "Log Off failed (error 1314)"}), Lines(log.end() - std::min<size_t>(2, log.size()), log.end()));
    EXPECT_EQ(0u, pelk.trayIcon().back().rfind("Shell_NotifyIcon modify 16 Log Off failed (error 1314)", 0));
}

// A wake-up the computer cannot honour is reported; the resume that Pelk's own timer
// caused asks for the system once, so that Windows does not put it back to sleep.
TEST(Desktop, WakeUpsReportedAndKeptAwake)
{
    Pelk pelk;
    pelk.setReading("lastInputTick", 0);
    pelk.setReading("tickCount", 100 * 60000);
    pelk.setReading("wakeError", ERROR_NOT_SUPPORTED);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::idleResumeEnabled, 1},
                                 {&Settings::trayPromptMode, 0}, {&Settings::idleAction, 5}}));
    pelk.setReading("tickCount", 200 * 60000);
    ASSERT_TRUE(pelk.send(WM_TIMER, idleTimer));
    EXPECT_EQ((Lines{"Wake-up timer failed (error 50)", "Hibernate"}), pelk.logTexts());
    for (int fired : {0, 1}) {
        pelk.setReading("wakeFired", fired);
        pelk.clearJournal();
        ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC));
        const Lines kept = {"SetThreadExecutionState system display", "CancelWaitableTimer", "CloseWakeTimer"};
        EXPECT_EQ(fired ? kept : Lines{}, pelk.journal());
    }
}

// The sleep states this computer lacks are greyed in the menu, where a choice of them
// does nothing; the items stay.
TEST(Desktop, MenuGreysWhatTheComputerCannotDo)
{
    Pelk pelk;
    pelk.setReading("canSuspend", 0);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::menuShowSuspend, 1}, {&Settings::trayPromptMode, 0}}));
    pelk.post(trayCallbackMessage, 0, WM_RBUTTONDOWN);
    ASSERT_TRUE(waitUntil([&pelk] { return !pelk.windows("#32768").empty(); }));
    for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_RETURN, VK_DOWN, VK_RETURN})  // Suspend, then Hibernate
        PostMessageA(pelk.windows("#32768")[0], WM_KEYDOWN, key, 0);
    ASSERT_TRUE(pelk.waitForPowerCalls(1));
    EXPECT_EQ(Lines{"SetSystemPowerState 0 0"}, pelk.powerCalls());
}

// Where the program folder cannot be written, the settings are read from it as before
// and saved in the per-user folder, as DefSet.txt asks.
TEST(Desktop, ReadOnlyProgramFolderSavesPerUser)
{
    char appData[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE);
    const std::string saved = std::string(appData) + "\\Orvenlit\\Pelk\\dPelk.dat";
    DeleteFileA(saved.c_str());
    Pelk pelk;
    pelk.setReading("programFolderReadOnly", 1);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleMinutes, 111}}));
    DeleteFileA(pelk.path("dPelk.dat").c_str());
    pelk.command(IDM_EXIT);
    ASSERT_TRUE(pelk.waitForExit());
    Pelk data("-", std::string(appData) + "\\Orvenlit\\Pelk\\");
    Settings s;
    EXPECT_TRUE(data.savedSettings(s) && s.idleMinutes == 111);
    EXPECT_EQ("", pelk.read("dPelk.dat"));
    DeleteFileA(saved.c_str());
}
