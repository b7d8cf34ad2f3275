// The program watch from the Watch page to the power call, and the quiet conditions of
// the idle shutdown, driven through the readings of the processes and counters.
#include "pelk.h"

static HWND watchPage(Pelk& pelk, HWND& sheet)
{
    pelk.post(openOptionsMessage);
    sheet = pelk.waitForDialog();
    return showPage(sheet, 5);
}

static bool armAndClose(HWND sheet, HWND page, const char* program)
{
    SetDlgItemTextA(page, IDC_WATCH_PROGRAM, program);
    press(page, IDC_WATCH_ARM);
    bool armed = waitUntil([page] { return textOf(page, IDC_WATCH_ARM) == "Disarm"; }) &&
                 !enabled(page, IDC_WATCH_PROGRAM);
    press(sheet, IDOK);
    return armed && waitForClose(sheet);
}

// A name that runs nowhere is refused; one that runs is watched until no process of it
// is left, then the action takes the schedule's road. Abort and Disarm end the watch.
TEST(Watch, ArmedFromThePageActsWhenTheProgramEnds)
{
    Pelk pelk;
    pelk.setTextReading("processes", "explorer.exe|render.exe|Explorer.EXE|alpha.exe");
    pelk.setReading("noSystemTimes", 1);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 0}, {&Settings::quietCpuPercent, 150}}));
    HWND sheet = nullptr, page = watchPage(pelk, sheet);
    EXPECT_EQ("alpha.exe|explorer.exe|render.exe", entries(page, IDC_WATCH_PROGRAM));
    EXPECT_FALSE(enabled(page, IDC_WATCH_CPU));
    EXPECT_EQ("Needs Windows XP SP1 or later: this Windows does not tell the processor's use",
              pelk.tip(page, IDC_WATCH_CPU_LABEL));
    SetDlgItemTextA(page, IDC_WATCH_PROGRAM, "C:\\Apps\\nothere.exe");
    press(page, IDC_WATCH_ARM);
    HWND refusal = pelk.waitForDialog(sheet);
    EXPECT_NE(nullptr, FindWindowExA(refusal, nullptr, "Static", "nothere.exe is not running."));
    press(refusal, IDOK);
    ASSERT_TRUE(waitForClose(refusal));
    pick(page, IDC_WATCH_ACTION, 3);
    ASSERT_TRUE(armAndClose(sheet, page, "C:\\Apps\\RENDER"));
    EXPECT_EQ("SetTimer main 9 5000", pelk.timers().back());
    ASSERT_TRUE(pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE));
    EXPECT_EQ("Shell_NotifyIcon modify 7 Log Off when RENDER ends", pelk.trayIcon().back());
    ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_ABORT_SHUTDOWN));
    EXPECT_EQ("KillTimer main 9", pelk.timers().back());

    page = watchPage(pelk, sheet);
    EXPECT_EQ("Arm", textOf(page, IDC_WATCH_ARM));
    ASSERT_TRUE(armAndClose(sheet, page, "render"));
    pelk.clearJournal();
    ASSERT_TRUE(pelk.send(WM_TIMER, watchTimer));
    EXPECT_TRUE(pelk.journal().empty());  // render.exe runs
    pelk.setTextReading("processes", "explorer.exe");
    for (int check = 0; check < 2; ++check)  // the second finds the watch over
        ASSERT_TRUE(pelk.send(WM_TIMER, watchTimer));
    EXPECT_EQ(Lines{"KillTimer main 9"}, pelk.timers());
    EXPECT_EQ(Lines{"ExitWindowsEx 0 2147483648"}, pelk.powerCalls());
    EXPECT_EQ(Lines{"Log Off"}, pelk.logTexts());
    Settings s = pelk.exitAndSaved();
    EXPECT_TRUE(std::string(s.watchProgram) == "render" && s.watchAction == 3 && s.quietCpuPercent == 100);
}

// Each row is one idle check a minute after the last: a busy minute, by processor or by
// network, starts the idle minutes again, and the first minute has nothing to compare with.
TEST(Watch, BusyMinutesStartTheIdleTimeAgain)
{
    const unsigned long long cpuMinute = 600000000;
    struct Minute { unsigned long long used, octets; bool acts; };
    const Minute minutes[] = {{0, 0, false},      {cpuMinute * 8 / 10, 0, false}, {cpuMinute / 10, 600000, false},
                              {0, 7000000, false}, {0, 0, false},                  {0, 0, true}};
    Pelk pelk;
    pelk.setReading("tickCount", 10000000);
    pelk.setReading("lastInputTick", 0);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::idleMinutes, 2},
                                 {&Settings::trayPromptMode, 0}, {&Settings::quietCpuPercent, 50},
                                 {&Settings::quietNetworkKBps, 100}}));
    pelk.clearJournal();
    unsigned long long idle = 0, octets = 0;
    Lines calls;
    for (size_t i = 0; i < sizeof minutes / sizeof minutes[0]; ++i) {
        idle += cpuMinute - minutes[i].used;
        octets += minutes[i].octets;
        for (auto reading : {std::make_pair("cpuIdle", idle), {"cpuKernel", cpuMinute * (i + 1)}, {"netOctets", octets},
                             {"tickCount", 10000000 + 60000 * (i + 1)}})
            pelk.setReading(reading.first, reading.second);
        ASSERT_TRUE(pelk.send(WM_TIMER, idleTimer));
        calls.insert(calls.end(), {"GetSystemTimes", "GetIfTable"});
        if (minutes[i].acts)
            calls.push_back("ExitWindowsEx 0 2147483648");
        EXPECT_EQ(calls, pelk.powerCalls()) << i;
    }
}
