// The whole program performing power actions: the tray-menu commands in each prompt
// mode, prompts that meet, the forced retries, the scheduled and the idle shutdown,
// seen through the calls of Windows that PelkTest.exe journals and its event log.
#include <gtest/gtest.h>

#include "app/app.h"
#include "pelk.h"
#include "resources/resource.h"

namespace {

const char shutdownParameters[] = "SetProcessShutdownParameters 256 0";

TEST(Actions, TrayActionsWithoutPromptCallWindowsAtOnce)
{
    Pelk pelk;
    ASSERT_TRUE(pelk.startQuiet([](Settings& s) { s.trayPromptMode = 0; }));
    const std::pair<UINT, const char*> calls[] = {
        {IDM_POWER_OFF, "ExitWindowsEx 8 0"},     {IDM_RESTART, "ExitWindowsEx 2 0"},
        {IDM_SHUTDOWN, "ExitWindowsEx 1 0"},      {IDM_LOG_OFF, "ExitWindowsEx 0 0"},
        {IDM_SUSPEND, "SetSystemPowerState 1 0"}, {IDM_HIBERNATE, "SetSystemPowerState 0 0"},
    };
    Lines expected;
    for (const auto& call : calls) {
        SCOPED_TRACE(call.second);
        ASSERT_TRUE(pelk.send(WM_COMMAND, call.first));
        expected.push_back(shutdownParameters);
        expected.push_back(call.second);
        EXPECT_EQ(expected, pelk.journal());
    }
    EXPECT_TRUE(pelk.windows().empty());
    EXPECT_EQ("", pelk.read("dLog.txt"));  // tray actions are never logged
}

void answerYes(HWND prompt) { press(prompt, IDOK); }
void answerNo(HWND prompt) { press(prompt, IDCANCEL); }
void pressEscape(HWND prompt) { PostMessageA(GetDlgItem(prompt, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }
void countdownRunsOut(HWND prompt) { PostMessageA(prompt, WM_TIMER, 2, 0); }

TEST(Actions, TrayPromptActsOnlyOnYes)
{
    struct Case {
        uint32_t mode;
        UINT command;
        const char* name;
        void (*answer)(HWND);
        const char* call;  // null: nothing is performed
    };
    const Case cases[] = {
        {1, IDM_RESTART, "Restart", answerYes, "ExitWindowsEx 2 0"},
        {1, IDM_SUSPEND, "Suspend", answerNo, nullptr},
        {2, IDM_SHUTDOWN, "Shutdown", pressEscape, nullptr},
        {2, IDM_LOG_OFF, "Log Off", countdownRunsOut, "ExitWindowsEx 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pelk pelk;
        ASSERT_TRUE(pelk.startQuiet([&c](Settings& s) { s.trayPromptMode = c.mode; }));
        pelk.command(c.command);
        HWND prompt = pelk.waitForDialog();
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ("Pelk 1.4", textOf(prompt));
        EXPECT_EQ(std::string("Please confirm ") + c.name, textOf(prompt, IDC_PROMPT_MESSAGE));
        EXPECT_EQ(std::string("Yes, ") + c.name, textOf(prompt, IDOK));
        EXPECT_EQ("No! Don't do it!", textOf(prompt, IDCANCEL));
        EXPECT_TRUE(GetWindowLongA(prompt, GWL_EXSTYLE) & WS_EX_TOPMOST);
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(prompt, nullptr), &thread);
        EXPECT_EQ(GetDlgItem(prompt, IDOK), thread.hwndFocus);
        EXPECT_TRUE(pelk.journal().empty());

        Lines timers = pelk.timers();
        EXPECT_EQ(c.mode == 2, timers.back() == "SetTimer dialog 2 10000");
        c.answer(prompt);
        ASSERT_TRUE(waitForClose(prompt));
        ASSERT_TRUE(pelk.ready());
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, pelk.powerCalls());
        EXPECT_EQ("", pelk.read("dLog.txt"));
    }
}

// A schedule runs out while a tray prompt waits: each prompt keeps its own texts and answer.
TEST(Actions, PromptsThatMeetKeepTheirOwnAnswers)
{
    Pelk pelk;
    ASSERT_TRUE(pelk.startQuiet([](Settings& s) {
        s.trayPromptMode = 1;
        s.scheduleAction = 3;
    }));
    pelk.command(IDM_RESTART);
    HWND first = pelk.waitForDialog();
    ASSERT_NE(nullptr, first);
    pelk.timer(scheduleTimer);
    HWND second = pelk.waitForDialog(first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ("Please confirm Log Off", textOf(second, IDC_PROMPT_MESSAGE));
    answerYes(first);
    ASSERT_TRUE(waitUntil([first] { return !IsWindowVisible(first); }));
    EXPECT_EQ("Yes, Log Off", textOf(second, IDOK));
    answerNo(second);
    ASSERT_TRUE(waitForClose(first));
    ASSERT_TRUE(pelk.ready());
    EXPECT_EQ(Lines{"ExitWindowsEx 2 0"}, pelk.powerCalls());
    EXPECT_EQ(Lines{}, pelk.logTexts());
}

// Power Off with forceAction 1 arms the fallback (timer 5, 15 s), which starts the
// forced retries (timer 6, every 10 s) and offers to stop them; Abort stops them too.
TEST(Actions, ForcedRetries)
{
    struct Case {
        const char* name;
        void (*answer)(HWND);
        bool abort;
        Lines stops;  // the timer lines after the prompt showed
    };
    const Case cases[] = {
        {"Yes", answerYes, false, {"KillTimer dialog 2"}},
        {"No", answerNo, false, {"KillTimer dialog 2", "KillTimer main 6"}},
        {"Abort Shutdown", answerYes, true, {"KillTimer main 6", "KillTimer main 8", "KillTimer dialog 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pelk pelk;
        ASSERT_TRUE(pelk.startQuiet([](Settings& s) {
            s.trayPromptMode = 0;
            s.forceAction = 1;
        }));
        pelk.clearJournal();
        ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_POWER_OFF));
        EXPECT_EQ(Lines{"SetTimer main 5 15000"}, pelk.timers());
        pelk.timer(forceFallbackTimer);
        HWND prompt = pelk.waitForDialog();
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ("Forcing Shutdown in 10 seconds...", textOf(prompt, IDC_PROMPT_MESSAGE));
        EXPECT_EQ("Yes", textOf(prompt, IDOK));
        EXPECT_EQ("No", textOf(prompt, IDCANCEL));
        pelk.timer(forcedRetryTimer);  // the retries go on while the prompt shows
        if (c.abort)
            pelk.command(IDM_ABORT_SHUTDOWN);
        c.answer(prompt);
        ASSERT_TRUE(waitForClose(prompt));
        ASSERT_TRUE(pelk.ready());
        Lines timers = {"SetTimer main 5 15000", "KillTimer main 5", "SetTimer main 6 10000"};
        timers.insert(timers.end(), c.stops.begin(), c.stops.end());
        EXPECT_EQ(timers, pelk.timers());
        EXPECT_EQ((Lines{"ExitWindowsEx 8 0", "ExitWindowsEx 12 0"}), pelk.powerCalls());
    }
}

TEST(Actions, ScheduleDialog)
{
    Pelk pelk;
    ASSERT_TRUE(pelk.startQuiet([](Settings& s) {
        s.trayPromptMode = 0;
        s.scheduleAction = 0;
        s.scheduleMinutes = 5;
        s.scheduleResumeMinutes = 30;
    }));
    pelk.command(IDM_SCHEDULE);
    HWND dialog = pelk.waitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Schedule Shutdown", textOf(dialog));
    EXPECT_EQ("Power Off", textOf(dialog, IDC_SCHEDULE_ACTION));
    EXPECT_EQ("5", textOf(dialog, IDC_SCHEDULE_MINUTES));
    EXPECT_EQ("30", textOf(dialog, IDC_SCHEDULE_RESUME_MINUTES));
    const std::vector<std::pair<int, std::string>> tips = {
        {IDC_SCHEDULE_ACTION, "Selects the Shutdown type (Shutdown, Restart...)"},
        {IDC_SCHEDULE_FORCE, "If a normal shutdown fails then Pelk will attempt to close non-responding programs"},
        {IDC_SCHEDULE_RESUME, "Sets the computer to resume after a set time"},
        {IDC_SCHEDULE_RESUME_MINUTES, "How many minutes before Pelk resumes computer after suspending it"},
        {IDC_SCHEDULE_MINUTES, "Length of time in minutes prior to shutdown action"},
    };
    EXPECT_EQ(tips, pelk.tips(dialog));
    pelk.command(IDM_SCHEDULE);  // while the dialog shows: nothing
    EXPECT_FALSE(waitUntil([&pelk] { return pelk.windows().size() > 1; }, 700));

    // The resume box follows the action; the action choice counts at once.
    struct Step {
        int action;   // index picked in the list, -1: click the resume box
        bool boxEnabled;
        bool boxTicked;
        bool listEnabled;
    };
    const Step steps[] = {{0, false, false, false}, {4, true, false, false}, {-1, true, true, true},
                          {3, false, true, false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.action);
        HWND control = GetDlgItem(dialog, step.action < 0 ? IDC_SCHEDULE_RESUME : IDC_SCHEDULE_ACTION);
        if (step.action < 0) {
            SendMessageA(control, BM_CLICK, 0, 0);
        } else {
            SendMessageA(control, CB_SETCURSEL, step.action, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCHEDULE_ACTION, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(control));
        }
        EXPECT_EQ(step.boxEnabled, IsWindowEnabled(GetDlgItem(dialog, IDC_SCHEDULE_RESUME)) != FALSE);
        EXPECT_EQ(step.boxTicked, IsDlgButtonChecked(dialog, IDC_SCHEDULE_RESUME) == BST_CHECKED);
        EXPECT_EQ(step.listEnabled, IsWindowEnabled(GetDlgItem(dialog, IDC_SCHEDULE_RESUME_MINUTES)) != FALSE);
    }
    SetDlgItemTextA(dialog, IDC_SCHEDULE_MINUTES, "1500");
    SetDlgItemTextA(dialog, IDC_SCHEDULE_RESUME_MINUTES, " 2");
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_FORCE, BM_CLICK, 0, 0);
    press(dialog, IDCANCEL);  // keeps the action and the resume box, drops the rest
    ASSERT_TRUE(waitForClose(dialog));

    pelk.command(IDM_SCHEDULE);
    dialog = pelk.waitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Log Off", textOf(dialog, IDC_SCHEDULE_ACTION));
    EXPECT_EQ("5", textOf(dialog, IDC_SCHEDULE_MINUTES));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_SCHEDULE_FORCE));
    SetDlgItemTextA(dialog, IDC_SCHEDULE_MINUTES, "1500");
    SetDlgItemTextA(dialog, IDC_SCHEDULE_RESUME_MINUTES, " 2");
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_FORCE, BM_SETCHECK, BST_CHECKED, 0);
    press(dialog, IDOK);
    ASSERT_TRUE(waitForClose(dialog));
    pelk.command(IDM_EXIT);
    ASSERT_TRUE(pelk.waitForExit());
    Settings saved;
    ASSERT_TRUE(pelk.savedSettings(saved));
    EXPECT_EQ(3u, saved.scheduleAction);
    EXPECT_EQ(999u, saved.scheduleMinutes);
    EXPECT_EQ(5u, saved.scheduleResumeMinutes);
    EXPECT_EQ(1u, saved.scheduleResumeEnabled);
    EXPECT_EQ(1u, saved.forceAction);
    EXPECT_TRUE(pelk.powerCalls().empty());
}

// A schedule of 0 minutes runs out half a second after OK, unless cancelled or aborted;
// the wake-up is armed first.
TEST(Actions, ScheduleRunsOut)
{
    struct Case {
        const char* name;
        int button;
        bool abort;
        uint32_t logEvents;
        Lines timers;
    };
    const Case cases[] = {
        {"OK, logged", IDOK, false, 1, {"SetTimer main 8 500", "KillTimer main 8"}},
        {"OK, not logged", IDOK, false, 0, {"SetTimer main 8 500", "KillTimer main 8"}},
        {"Cancel", IDCANCEL, false, 1, {}},
        {"OK, then Abort Shutdown", IDOK, true, 1, {"SetTimer main 8 500", "KillTimer main 6", "KillTimer main 8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pelk pelk;
        pelk.setReading("systemTime", 130000000000000000ull);
        ASSERT_TRUE(pelk.startQuiet([&c](Settings& s) {
            s.trayPromptMode = 0;
            s.scheduleMinutes = 0;
            s.scheduleAction = 3;
            s.scheduleResumeEnabled = 1;
            s.scheduleResumeMinutes = 120;
            s.logEvents = c.logEvents;
        }));
        pelk.clearJournal();
        pelk.command(IDM_SCHEDULE);
        HWND dialog = pelk.waitForDialog();
        ASSERT_NE(nullptr, dialog);
        press(dialog, c.button);
        if (c.abort)
            pelk.command(IDM_ABORT_SHUTDOWN);  // queued right behind OK
        ASSERT_TRUE(waitForClose(dialog));
        bool runs = c.timers.size() == 2;
        ASSERT_TRUE(waitUntil([&] { return pelk.timers().size() >= c.timers.size() && pelk.ready(); }));
        EXPECT_EQ(c.timers, pelk.timers());
        Lines calls = {"CreateWaitableTimer", "SetWaitableTimer 130000072000000000 resume", "ExitWindowsEx 0 0"};
        EXPECT_EQ(runs ? calls : Lines{}, pelk.powerCalls());
        EXPECT_EQ(c.logEvents && runs ? Lines{"Log Off"} : Lines{}, pelk.logTexts());
    }
}

// The idle check at the readings of each row, in order, in one process: a power
// event on the way starts the idle time afresh, or not.
TEST(Actions, IdleCheckActsAfterTheIdleMinutes)
{
    const DWORD start = 10000000;
    const DWORD minute = 60000;
    struct Case {
        const char* name;
        WPARAM event;      // a power event at `eventTick`, when that is not 0
        DWORD eventTick;
        DWORD lastInput;
        DWORD now;
        bool acts;
    };
    const Case cases[] = {
        {"59:59.999 after the last input", 0, 0, start + minute, start + 61 * minute - 1, false},
        {"60:00 after the last input", 0, 0, start + minute, start + 61 * minute, true},
        {"input before start-up: counts from start-up", 0, 0, start - 30 * minute, start + 60 * minute - 1, false},
        {"tick count wrapped below the last input", 0, 0, 0xF0000000u, 0x00100000u, false},
        {"query suspend leaves the idle time", PBT_APMQUERYSUSPEND, start + 100 * minute, start, start + 130 * minute,
         true},
        {"status change leaves it", PBT_APMPOWERSTATUSCHANGE, start + 110 * minute, start, start + 130 * minute, true},
        {"query failed restarts it", PBT_APMQUERYSUSPENDFAILED, start + 120 * minute, start, start + 180 * minute - 1,
         false},
        {"suspend restarts it", PBT_APMSUSPEND, start + 130 * minute, start, start + 190 * minute - 1, false},
        {"resume restarts it", PBT_APMRESUMESUSPEND, start + 140 * minute, start, start + 200 * minute - 1, false},
        {"automatic resume restarts it", PBT_APMRESUMEAUTOMATIC, start + 150 * minute, start,
         start + 210 * minute - 1, false},
        {"60:00 after the last resume", 0, 0, start, start + 210 * minute, true},
    };
    Pelk pelk;
    pelk.setReading("tickCount", start);
    pelk.setReading("lastInputTick", start);
    ASSERT_TRUE(pelk.startQuiet([](Settings& s) {
        s.idleEnabled = 1;
        s.idleMinutes = 60;
        s.idleAction = 3;
        s.trayPromptMode = 0;
    }));
    Lines timers = pelk.timers();
    EXPECT_EQ("SetTimer main 2 60000", timers.back());
    Lines calls;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.eventTick != 0) {
            pelk.setReading("tickCount", c.eventTick);
            DWORD_PTR granted = 0;
            SendMessageTimeoutA(pelk.window(), WM_POWERBROADCAST, c.event, 0, SMTO_BLOCK, 5000, &granted);
            EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), granted);
        }
        pelk.setReading("lastInputTick", c.lastInput);
        pelk.setReading("tickCount", c.now);
        ASSERT_TRUE(pelk.send(WM_TIMER, idleTimer));
        if (c.acts)
            calls.push_back("ExitWindowsEx 0 0");
        EXPECT_EQ(calls, pelk.powerCalls());
    }
    EXPECT_EQ(Lines(calls.size(), "Log Off"), pelk.logTexts());
}

// Before its action the idle check arms the wake-up timer (replacing an older one)
// and carries idleForce into the shared force flag; an unanswered prompt is not joined.
TEST(Actions, IdleActionArmsTheWakeUpAndForces)
{
    Pelk pelk;
    pelk.setReading("systemTime", 130000000000000000ull);
    pelk.setReading("tickCount", 10000000);
    pelk.setReading("lastInputTick", 0);
    ASSERT_TRUE(pelk.startQuiet([](Settings& s) {
        s.idleMinutes = 2;
        s.idleAction = 4;
        s.idleForce = 1;
        s.forceAction = 0;
        s.idleResumeEnabled = 1;
        s.idleResumeMinutes = 120;
        s.trayPromptMode = 1;
    }));
    pelk.setReading("tickCount", 10000000 + 120000);
    pelk.timer(idleTimer);
    HWND prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    pelk.timer(idleTimer);
    EXPECT_FALSE(waitUntil([&pelk] { return pelk.windows().size() > 1; }, 700));
    answerYes(prompt);
    ASSERT_TRUE(pelk.waitForPowerCalls(3));
    pelk.setReading("systemTime", 130000000000000007ull);
    pelk.timer(idleTimer);
    HWND second = pelk.waitForDialog(prompt);
    ASSERT_NE(nullptr, second);
    answerNo(second);
    ASSERT_TRUE(waitForClose(second));
    const Lines armed = {"CreateWaitableTimer", "SetWaitableTimer 130000072000000000 resume",
                         "SetSystemPowerState 1 1", "CancelWaitableTimer", "CloseWakeTimer",
                         "CreateWaitableTimer", "SetWaitableTimer 130000072000000007 resume"};
    EXPECT_EQ(armed, pelk.powerCalls());
}

}  // namespace
