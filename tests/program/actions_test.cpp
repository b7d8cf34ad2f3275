// The whole program performing power actions: the tray-menu commands in each prompt
// mode, prompts that meet, the forced retries, the scheduled and the idle shutdown,
// seen through the calls of Windows that PelkTest.exe journals and its event log.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "pelk.h"

TEST(Actions, TrayActionsWithoutPromptCallWindowsAtOnce)
{
    Pelk pelk;
    ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 0}}));
    for (UINT command = IDM_POWER_OFF; command <= IDM_HIBERNATE; ++command)
        ASSERT_TRUE(pelk.send(WM_COMMAND, command));
    const Lines calls = {"ExitWindowsEx 8 2147483648", "ExitWindowsEx 2 2147483648",       "ExitWindowsEx 1 2147483648",
                         "ExitWindowsEx 0 2147483648", "SetSystemPowerState 1 0", "SetSystemPowerState 0 0"};
    EXPECT_EQ(calls, pelk.powerCalls());
    EXPECT_EQ("SetProcessShutdownParameters 256 0", pelk.journal().front());
    EXPECT_EQ("", pelk.read("dLog.txt"));  // tray actions are never logged
}

static void answerYes(HWND prompt) { press(prompt, IDOK); }
static void answerNo(HWND prompt) { press(prompt, IDCANCEL); }
static void pressEscape(HWND p) { PostMessageA(GetDlgItem(p, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }
static void countdownRunsOut(HWND prompt) { PostMessageA(prompt, WM_TIMER, 2, 0); }

// A countdown of one second that runs out waits for the user all the same.
static void oneSecondCountdownWaits(HWND prompt)
{
    SendMessageA(prompt, WM_TIMER, 2, 0);
    EXPECT_TRUE(IsWindowVisible(prompt));
    answerYes(prompt);
}

// A prompt before the action, from the tray menu (after "/q") or at a slam start: its
// texts, top-most with the focus on Yes, a countdown in Warn mode. Yes or the end of the
// countdown acts, No does not; No at a slam prompt ends the program.
TEST(Actions, PromptsActOnlyOnYes)
{
    // command: of the tray menu, 0 at a slam start; name: the action's; call: null when nothing is performed
    struct Case { const char* arguments; UINT command; const char* name; uint32_t mode, seconds;
        void (*answer)(HWND); const char* call; };
    const Case cases[] = {
        {"/q", IDM_RESTART, "Restart", 1, 10, answerYes, "ExitWindowsEx 2 2147483648"},
        {"/q", IDM_SUSPEND, "Suspend", 1, 10, answerNo, nullptr},
        {"/q", IDM_SHUTDOWN, "Shutdown", 2, 10, pressEscape, nullptr},
        {"/q", IDM_LOG_OFF, "Log Off", 2, 10, countdownRunsOut, "ExitWindowsEx 0 2147483648"},
        {"/slam /poff /wait", 0, "Log Off", 2, 2, answerYes, "ExitWindowsEx 0 2147483648"},
        {"/slam /poff /wait", 0, "Log Off", 2, 2, answerNo, nullptr},
        {"/slam /poff", 0, "Log Off", 2, 2, countdownRunsOut, "ExitWindowsEx 0 2147483648"},
        {"/slam /hibr", 0, "Suspend", 2, 1, oneSecondCountdownWaits, "SetSystemPowerState 1 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + " " + std::to_string(c.command) + " " + std::to_string(c.call != nullptr));
        Pelk pelk;
        pelk.setReading("tickCount", 50000);  // the countdown below counts from here
        pelk.writeSettings({{&Settings::trayPromptMode, c.mode}, {&Settings::commandPromptMode, c.mode},
                            {&Settings::trayWarnSeconds, 10}, {&Settings::commandWarnSeconds, c.command ? 3 : c.seconds}});
        ASSERT_TRUE(pelk.start(c.arguments));
        if (c.command)
            pelk.command(c.command);
        HWND prompt = pelk.waitForDialog();
        ASSERT_NE(nullptr, prompt);
        const std::string name = c.name;
        EXPECT_EQ("Pelk 1.4", textOf(prompt));
        // A countdown shows its whole seconds on a line of its own, once a second (a one-second one waits).
        const bool counts = c.mode == 2 && !std::strstr(c.arguments, "/wait");
        auto left = [&](uint32_t s) { return counts && c.seconds > 1 ? "\r\n" + std::to_string(s) + (s == 1 ? " second left" : " seconds left") : ""; };
        EXPECT_EQ("Please confirm " + name + left(c.seconds), textOf(prompt, IDC_PROMPT_MESSAGE));
        pelk.setReading("tickCount", 51500);
        SendMessageA(prompt, WM_TIMER, 3, 0);
        EXPECT_EQ("Please confirm " + name + left(c.seconds - 1), textOf(prompt, IDC_PROMPT_MESSAGE));
        EXPECT_EQ(c.command ? "Yes, " + name : "Windows is about to be Slammed...", textOf(prompt, IDOK));
        EXPECT_EQ(c.command ? "No! Don't do it!" : "No", textOf(prompt, IDCANCEL));
        EXPECT_TRUE(GetWindowLongA(prompt, GWL_EXSTYLE) & WS_EX_TOPMOST);
        GUITHREADINFO thread{sizeof thread};
        GetGUIThreadInfo(GetWindowThreadProcessId(prompt, nullptr), &thread);
        EXPECT_EQ(GetDlgItem(prompt, IDOK), thread.hwndFocus);
        const std::string countdown = "SetTimer dialog 2 " + std::to_string(c.seconds * 1000);
        const Lines timers = pelk.timers();  // the start-up timer may come after the prompt's
        EXPECT_EQ(counts, std::count(timers.begin(), timers.end(), countdown));
        c.answer(prompt);
        ASSERT_TRUE(waitForClose(prompt));
        const bool ends = !c.command && !c.call;
        ASSERT_TRUE(ends ? pelk.waitForExit() : pelk.ready());
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, pelk.powerCalls());
        EXPECT_EQ(ends ? pelk.imageBase() : 0u, pelk.exitCode());
        EXPECT_TRUE(!c.command || pelk.read("dLog.txt").empty());  // tray actions are never logged
    }
}

// A countdown comes due while a tray prompt or the schedule dialog shows: its prompt
// waits for that to close (one prompt at a time), and each caller acts on its own
// dialog's answer.
TEST(Actions, DialogsThatMeetKeepTheirOwnAnswers)
{
    // call: null when nothing is performed
    struct Case { UINT opens; int firstButton; void (*answerSecond)(HWND); const char* call; bool scheduled; };
    const Case cases[] = {
        {IDM_RESTART, IDOK, answerNo, "ExitWindowsEx 2 2147483648", false},
        {IDM_SCHEDULE, IDCANCEL, answerYes, "ExitWindowsEx 0 2147483648", false},
        {IDM_SCHEDULE, IDOK, answerNo, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opens + c.firstButton);
        Pelk pelk;
        pelk.setReading("tickCount", 1000000);
        ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 1}, {&Settings::scheduleMinutes, 5}}));
        pelk.command(IDM_SCHEDULE);  // Log Off in 5 minutes
        HWND schedule = pelk.waitForDialog();
        press(schedule, IDOK);
        ASSERT_TRUE(waitForClose(schedule) && pelk.ready());
        pelk.clearJournal();
        pelk.command(c.opens);
        HWND first = pelk.waitForDialog();
        pelk.setReading("tickCount", 1300500);  // 5 minutes after OK, and the half second a schedule adds
        pelk.timer(agendaTimer);
        ASSERT_TRUE(pelk.ready());
        EXPECT_EQ(1u, pelk.windows().size());
        press(first, c.firstButton);
        ASSERT_TRUE(waitForClose(first));
        HWND second = pelk.waitForDialog(first);
        EXPECT_TRUE(waitUntil([second] { return textOf(second, IDC_PROMPT_MESSAGE) == "Please confirm Log Off"; }));
        c.answerSecond(second);
        ASSERT_TRUE(waitForClose(second) && pelk.ready());
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, pelk.powerCalls());
        EXPECT_EQ(c.scheduled, pelk.timers("main").back() == "SetTimer main 8 300500");
    }
}

// Power Off with forceAction 1 arms the fallback (timer 5, 15 s), which starts the
// forced retries (timer 6, every 10 s) and offers to stop them; Abort stops them too.
// A Suspend in between does not change what the retries repeat.
TEST(Actions, ForcedRetries)
{
    // stops: the timer lines once the prompt has gone
    struct Case { void (*answer)(HWND); bool abort; bool suspend; Lines stops; };
    const Case cases[] = {
        {answerYes, false, true, {"KillTimer dialog 2"}},
        {answerNo, false, false, {"KillTimer dialog 2", "KillTimer main 6"}},
        {answerYes, true, false, {"KillTimer main 5", "KillTimer main 6", "KillTimer dialog 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stops.back());
        Pelk pelk;
        ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 0}, {&Settings::forceAction, 1}}));
        pelk.clearJournal();
        ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_POWER_OFF));
        pelk.timer(forceFallbackTimer);
        HWND prompt = pelk.waitForDialog();
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ("Forcing Shutdown in 10 seconds...", textOf(prompt, IDC_PROMPT_MESSAGE));
        EXPECT_EQ("Yes", textOf(prompt, IDOK));
        if (c.suspend)
            pelk.command(IDM_SUSPEND);
        pelk.timer(forcedRetryTimer);  // the retries go on while the prompt shows
        if (c.abort)
            pelk.command(IDM_ABORT_SHUTDOWN);
        c.answer(prompt);
        ASSERT_TRUE(waitForClose(prompt));
        ASSERT_TRUE(pelk.ready());
        Lines timers = {"SetTimer main 5 15000", "KillTimer main 5", "SetTimer main 6 10000"};
        timers.insert(timers.end(), c.stops.begin(), c.stops.end());
        EXPECT_EQ(timers, pelk.timers());
        Lines calls = {"ExitWindowsEx 8 2147483648", "SetSystemPowerState 1 1", "ExitWindowsEx 12 2147483648"};
        if (!c.suspend)
            calls.erase(calls.begin() + 1);
        EXPECT_EQ(calls, pelk.powerCalls());
    }
}

TEST(Actions, ScheduleDialog)
{
    Pelk pelk;
    // A resume value other than 1, as a damaged file holds, is "set" all the same.
    ASSERT_TRUE(pelk.startQuiet({{&Settings::scheduleAction, 4}, {&Settings::scheduleResumeEnabled, 2}}));
    pelk.command(IDM_SCHEDULE);
    HWND dialog = pelk.waitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Schedule Shutdown", textOf(dialog));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_SCHEDULE_RESUME));
    EXPECT_TRUE(enabled(dialog, IDC_SCHEDULE_RESUME_MINUTES));
    EXPECT_EQ("Length of time in minutes prior to shutdown action", pelk.tip(dialog, IDC_SCHEDULE_MINUTES));
    ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_SCHEDULE));  // while the dialog shows: nothing
    EXPECT_EQ(1u, pelk.windows().size());

    // A typed number stays when its list opens and closes without a choice.
    SetDlgItemTextA(dialog, IDC_SCHEDULE_MINUTES, "5");
    for (BOOL open : {TRUE, FALSE})
        SendDlgItemMessageA(dialog, IDC_SCHEDULE_MINUTES, CB_SHOWDROPDOWN, open, 0);
    EXPECT_EQ("5", textOf(dialog, IDC_SCHEDULE_MINUTES));

    // The resume box follows the action, which counts at once; the rest only on OK.
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_RESUME, BM_CLICK, 0, 0);
    EXPECT_FALSE(enabled(dialog, IDC_SCHEDULE_RESUME_MINUTES));
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_RESUME, BM_CLICK, 0, 0);
    pick(dialog, IDC_SCHEDULE_ACTION, 3);
    EXPECT_FALSE(enabled(dialog, IDC_SCHEDULE_RESUME) || enabled(dialog, IDC_SCHEDULE_RESUME_MINUTES));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_SCHEDULE_RESUME));
    SetDlgItemTextA(dialog, IDC_SCHEDULE_MINUTES, "77");
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_FORCE, BM_CLICK, 0, 0);
    press(dialog, IDCANCEL);
    ASSERT_TRUE(waitForClose(dialog));

    pelk.command(IDM_SCHEDULE);
    dialog = pelk.waitForDialog();
    EXPECT_EQ("Log Off", textOf(dialog, IDC_SCHEDULE_ACTION));
    EXPECT_EQ("5", textOf(dialog, IDC_SCHEDULE_MINUTES));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_SCHEDULE_FORCE));
    pasteIntoEveryEdit(dialog, std::string(100000, '9'));
    SendDlgItemMessageA(dialog, IDC_SCHEDULE_FORCE, BM_CLICK, 0, 0);
    press(dialog, IDOK);
    ASSERT_TRUE(waitForClose(dialog));
    Settings saved = pelk.exitAndSaved();
    const uint32_t got[] = {saved.scheduleAction, saved.scheduleMinutes, saved.scheduleResumeMinutes,
                            saved.scheduleResumeEnabled, saved.forceAction};
    EXPECT_EQ((std::vector<uint32_t>{3, 999, 999, 1, 1}), std::vector<uint32_t>(got, got + 5));
}

// A schedule of 0 minutes runs out half a second after OK, the wake-up armed first,
// unless cancelled or aborted.
TEST(Actions, ScheduleRunsOut)
{
    const Lines runs = {"SetTimer main 8 500", "KillTimer main 8"};
    const std::tuple<int, uint32_t, Lines> cases[] = {  // the button, logEvents: the timer lines
        {IDOK, 1, runs}, {IDOK, 0, runs}, {IDCANCEL, 1, {}},
        {IDABORT, 1, {"SetTimer main 8 500", "KillTimer main 5", "KillTimer main 6", "KillTimer main 8"}}};
    for (const auto& c : cases) {
        const int button = std::get<0>(c);
        const Lines& timers = std::get<2>(c);
        SCOPED_TRACE(button * 10 + std::get<1>(c));
        Pelk pelk;
        pelk.setReading("systemTime", 130000000000000000ull);
        ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 0}, {&Settings::scheduleMinutes, 0},
                                     {&Settings::scheduleResumeEnabled, 1}, {&Settings::logEvents, std::get<1>(c)}}));
        pelk.clearJournal();
        pelk.command(IDM_SCHEDULE);
        HWND dialog = pelk.waitForDialog();
        press(dialog, button == IDCANCEL ? IDCANCEL : IDOK);
        if (button == IDABORT)
            pelk.command(IDM_ABORT_SHUTDOWN);  // queued right behind OK
        ASSERT_TRUE(waitForClose(dialog));
        const Lines calls = {"CreateWaitableTimer", "SetWaitableTimer 130000072000000000 resume", "ExitWindowsEx 0 2147483648"};
        const size_t performed = timers == runs ? calls.size() : 0;  // after the timer, as its prompt would
        ASSERT_TRUE(waitUntil([&] { return pelk.timers().size() >= timers.size() && pelk.powerCalls().size() >= performed && pelk.ready(); }));
        EXPECT_EQ(timers, pelk.timers());
        EXPECT_EQ(performed != 0 ? calls : Lines{}, pelk.powerCalls());
        const Lines log = button == IDABORT ? Lines{"Aborted: Log Off."} : std::get<1>(c) && timers == runs ? Lines{"Log Off"} : Lines{};
        EXPECT_EQ(log, pelk.logTexts());
    }
}

// The idle check at the readings of each row, in order, in one process: a power
// event on the way starts the idle time afresh, or not.
TEST(Actions, IdleCheckActsAfterTheIdleMinutes)
{
    const DWORD start = 10000000;
    const DWORD minute = 60000;
    // the event is sent at eventTick, unless that is 0
    struct Case { WPARAM event; DWORD eventTick; DWORD lastInput; DWORD now; bool acts; };
    const Case cases[] = {
        {0, 0, start + minute, start + 61 * minute, true},            // 60:00 after the input
        {0, 0, start - 30 * minute, start + 60 * minute - 1, false},  // counts from start-up
        {PBT_APMPOWERSTATUSCHANGE, start + 110 * minute, start, start + 130 * minute, true},
        {PBT_APMRESUMEAUTOMATIC, start + 150 * minute, start, start + 210 * minute - 1, false},
        {0, 0, start, start + 211 * minute - 1, true},  // 60:00 after the last resume, at the next minute's look
        {PBT_APMRESUMESUSPEND, 0xFFFFFFFF - 30 * minute, start, 30 * minute - 1, true},  // 60:00 across the wrap
    };
    Pelk pelk;
    pelk.setReadings({{"tickCount", start}, {"lastInputTick", start}});
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::trayPromptMode, 0}}));
    const Lines started = pelk.timers();
    EXPECT_EQ(1, std::count(started.begin(), started.end(), "SetTimer main 8 60000"));
    Lines calls;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now - start);
        DWORD_PTR granted = TRUE;
        pelk.setReading("tickCount", c.eventTick);
        if (c.eventTick != 0)
            SendMessageTimeoutA(pelk.window(), WM_POWERBROADCAST, c.event, 0, SMTO_BLOCK, patienceMs, &granted);
        EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), granted);
        pelk.setReadings({{"lastInputTick", c.lastInput}, {"tickCount", c.now}});
        ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
        if (c.acts)
            calls.push_back("ExitWindowsEx 0 2147483648");
        EXPECT_TRUE(waitUntil([&] { return pelk.powerCalls() == calls && pelk.ready(); }));  // after the check, as a prompt
    }
    EXPECT_EQ(Lines(calls.size(), "Log Off"), pelk.logTexts());
}

// The idle check carries idleForce into the shared force flag and performs the action
// its prompt names (a damaged 6 is Hibernate); the wake-up is armed as the action is
// performed, counted from then, and a No leaves none armed. An unanswered prompt is
// not joined. A battery with the monitor off leaves the tray its tooltip.
TEST(Actions, IdleActionArmsTheWakeUpAndForces)
{
    Pelk pelk;
    pelk.setReadings({{"systemTime", 130000000000000000ull}, {"tickCount", 10000000}, {"batteryFlag", 0}});
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleEnabled, 1}, {&Settings::idleMinutes, 2}, {&Settings::idleAction, 6}, {&Settings::idleForce, 1},
                                 {&Settings::idleResumeEnabled, 1}, {&Settings::trayPromptMode, 1}}));
    ASSERT_TRUE(pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE));
    EXPECT_EQ("Shell_NotifyIcon modify 7 Idle Shutdown Enabled", pelk.trayIcon().back());
    pelk.setReadings({{"lastInputTick", 0}, {"tickCount", 10000000 + 120000}});
    pelk.timer(agendaTimer);
    HWND prompt = pelk.waitForDialog();
    ASSERT_TRUE(pelk.send(WM_TIMER, agendaTimer));
    EXPECT_EQ(1u, pelk.windows().size());
    pelk.setReading("systemTime", 130000000000000007ull);  // the prompt waited
    answerYes(prompt);
    ASSERT_TRUE(pelk.waitForPowerCalls(3));
    pelk.setReading("tickCount", 10000000 + 180000);  // the next minute's look
    pelk.timer(agendaTimer);
    answerNo(pelk.waitForDialog(prompt));
    ASSERT_TRUE(pelk.waitForPowerCalls(5));
    const Lines armed = {"CreateWaitableTimer", "SetWaitableTimer 130000072000000007 resume",
                         "SetSystemPowerState 0 1", "CancelWaitableTimer", "CloseWakeTimer"};
    EXPECT_EQ(armed, pelk.powerCalls());
}
