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
// is left in this session, then the action takes the schedule's road. Abort and Disarm
// end the watch. The list offers this session's programs.
TEST(Watch, ArmedFromThePageActsWhenTheProgramEnds)
{
    Pelk pelk;
    pelk.setTextReading("processes", "explorer.exe|render.exe|Explorer.EXE|alpha.exe|*beta.exe");
    pelk.setReadings({{"noSystemTimes", 1}, {"tickCount", 1000000}});
    ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 0}, {&Settings::quietCpuPercent, 150}}));
    HWND sheet = nullptr, page = watchPage(pelk, sheet);
    EXPECT_EQ("alpha.exe|explorer.exe|render.exe", entries(page, IDC_WATCH_PROGRAM));
    EXPECT_TRUE(!enabled(page, IDC_WATCH_CPU) && !pelk.tip(page, IDC_WATCH_CPU_LABEL).empty());
    SetDlgItemTextA(page, IDC_WATCH_PROGRAM, "C:\\Apps\\nothere.exe");
    press(page, IDC_WATCH_ARM);
    HWND refusal = pelk.waitForDialog(sheet);
    EXPECT_NE(nullptr, FindWindowExA(refusal, nullptr, "Static", "nothere.exe is not running."));
    press(refusal, IDOK);
    ASSERT_TRUE(waitForClose(refusal));
    pick(page, IDC_WATCH_ACTION, 3);
    ASSERT_TRUE(armAndClose(sheet, page, "C:\\Apps\\RENDER"));
    EXPECT_EQ("SetTimer main 8 5000", pelk.timers().back());
    ASSERT_TRUE(pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE));
    EXPECT_EQ("Shell_NotifyIcon modify 7 Log Off when RENDER ends", pelk.trayIcon().back());
    ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_ABORT_SHUTDOWN));
    EXPECT_EQ("KillTimer main 8", pelk.timers().back());

    ASSERT_TRUE(armAndClose(sheet, page = watchPage(pelk, sheet), "render"));
    pelk.clearJournal();
    pelk.setReading("tickCount", 1005000);
    ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
    EXPECT_TRUE(pelk.powerCalls().empty());  // render.exe runs
    pelk.setReadings({{"tickCount", 1010000}});
    pelk.setTextReading("processes", "explorer.exe|*render.exe");  // another user's is not this one's
    for (int check = 0; check < 2; ++check)  // the second finds the watch over
        ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
    ASSERT_TRUE(pelk.waitForPowerCalls(1));  // the action comes after the check, as a prompt would
    EXPECT_EQ("KillTimer main 8", pelk.timers().back());
    EXPECT_EQ(Lines{"ExitWindowsEx 0 2147483648"}, pelk.powerCalls());
    EXPECT_EQ((Lines{"Aborted: Log Off when RENDER ends.", "Log Off"}), pelk.logTexts());
    EXPECT_STREQ("render", pelk.exitAndSaved().watchProgram);
}

// One idle check a minute: a busy minute starts the idle minutes again, and the first
// has nothing to compare with; two quiet minutes then reach the limit.
TEST(Watch, BusyMinutesStartTheIdleTimeAgain)
{
    const unsigned long long cpuMinute = 600000000;
    const unsigned long long used[] = {0, cpuMinute * 8 / 10, cpuMinute / 10, 0};  // the first has no minute before it
    Pelk pelk;
    pelk.setReadings({{"tickCount", 10000000}, {"lastInputTick", 0}});
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::idleMinutes, 2},
                                 {&Settings::trayPromptMode, 0}, {&Settings::quietCpuPercent, 50}}));
    pelk.clearJournal();
    unsigned long long idle = 0;
    for (size_t i = 0; i < 4; ++i) {
        idle += cpuMinute - used[i];
        pelk.setReadings({{"cpuIdle", idle}, {"cpuKernel", cpuMinute * (i + 1)}, {"tickCount", 10000000 + 60000 * (i + 1)}});
        ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
    }
    ASSERT_TRUE(pelk.waitForPowerCalls(5));  // the action comes after the check, as a prompt would
    const Lines calls = {"GetSystemTimes", "GetSystemTimes", "GetSystemTimes", "GetSystemTimes", "ExitWindowsEx 0 2147483648"};
    EXPECT_EQ(calls, pelk.powerCalls());
}
