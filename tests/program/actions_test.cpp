// The whole program performing power actions: the tray-menu commands in each prompt
// mode, the forced retries, the scheduled shutdown and the idle shutdown, seen through
// the calls of Windows that PelkTest.exe journals and through its event log.
#include <gtest/gtest.h>

#include "app/app.h"
#include "pelk_process.h"
#include "resources/resource.h"
#include "settings/log_format.h"

namespace {

using Lines = std::vector<std::string>;

const char shutdownParameters[] = "SetProcessShutdownParameters 256 0";

// How long a closing dialog may take: a hidden window is destroyed at once on Windows,
// but Wine without a window manager waits up to 2 s for the withdrawal first.
const DWORD closingTime = 4000;

// Starts `pelk` quietly with the defaults changed by `edit` (and no tray icon).
template <class Edit>
void startQuietly(PelkProcess& pelk, Edit edit)
{
    pelk.writeSettings([&edit](Settings& s) {
        s.trayIconEnabled = 0;
        edit(s);
    });
    ASSERT_TRUE(pelk.start("/q"));
    ASSERT_NE(nullptr, pelk.waitForWindow());
}

// ---------------------------------------------------------------------------
// Tray-menu actions

struct TrayCall {
    UINT command;
    const char* call;
};

const TrayCall trayCalls[] = {
    {IDM_POWER_OFF, "ExitWindowsEx 8 0"},       {IDM_RESTART, "ExitWindowsEx 2 0"},
    {IDM_SHUTDOWN, "ExitWindowsEx 1 0"},        {IDM_LOG_OFF, "ExitWindowsEx 0 0"},
    {IDM_SUSPEND, "SetSystemPowerState 1 0"},   {IDM_HIBERNATE, "SetSystemPowerState 0 0"},
};

TEST(Actions, TrayActionsWithoutPromptCallWindowsAtOnce)
{
    PelkProcess pelk;
    ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
        s.trayPromptMode = 0;
        s.forceAction = 0;
        s.logEvents = 1;
    }));
    Lines expected;
    for (const TrayCall& tray : trayCalls) {
        SCOPED_TRACE(tray.call);
        // The sent command returns once handled: the call must be in the journal by then.
        ASSERT_TRUE(pelk.sendCommand(tray.command));
        expected.push_back(shutdownParameters);
        expected.push_back(tray.call);
        EXPECT_EQ(expected, pelk.journal());
        EXPECT_TRUE(pelk.windowsOfClass("#32770").empty());
    }
    EXPECT_TRUE(pelk.running());
    EXPECT_FALSE(pelk.fileExists("dLog.txt"));  // tray actions are never logged
}

TEST(Actions, ConfirmPromptCallsOnlyAfterYes)
{
    PelkProcess pelk;
    ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
        s.trayPromptMode = 1;
        s.logEvents = 1;
    }));

    pelk.command(IDM_RESTART);
    HWND prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ("Please confirm Restart", controlText(prompt, IDC_PROMPT_MESSAGE));
    EXPECT_EQ("Yes, Restart", controlText(prompt, IDOK));
    EXPECT_EQ("No! Don't do it!", controlText(prompt, IDCANCEL));
    pause(1200);
    EXPECT_TRUE(IsWindowVisible(prompt));  // no countdown: it waits for the user
    EXPECT_TRUE(pelk.journal().empty());
    pressButton(prompt, IDOK);
    ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime));
    EXPECT_TRUE(waitForClose(prompt, closingTime));
    EXPECT_EQ(Lines{"ExitWindowsEx 2 0"}, pelk.powerCalls());

    pelk.command(IDM_SUSPEND);
    prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ("Please confirm Suspend", controlText(prompt, IDC_PROMPT_MESSAGE));
    pressButton(prompt, IDCANCEL);
    ASSERT_TRUE(waitForClose(prompt, closingTime));
    ASSERT_TRUE(pelk.sendCommand(0));  // the flow after the prompt has run its course
    pause(500);
    EXPECT_EQ(Lines{"ExitWindowsEx 2 0"}, pelk.powerCalls());
    EXPECT_FALSE(pelk.fileExists("dLog.txt"));
}

TEST(Actions, WarnPromptAnswersYesAfterTenSeconds)
{
    PelkProcess pelk;
    ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
        s.trayPromptMode = 2;
        s.trayWarnSeconds = 3;  // the tray menu warns for 10 s whatever this says
        s.logEvents = 1;
    }));
    pelk.command(IDM_SHUTDOWN);
    HWND prompt = pelk.waitForDialog();
    DWORD shown = GetTickCount();
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ("Please confirm Shutdown", controlText(prompt, IDC_PROMPT_MESSAGE));
    EXPECT_EQ("Yes, Shutdown", controlText(prompt, IDOK));
    ASSERT_TRUE(waitUntil([prompt] { return !IsWindowVisible(prompt); }, 14000));
    DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 9000u);
    EXPECT_LE(elapsed, 13000u);
    ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime));
    EXPECT_EQ(Lines{"ExitWindowsEx 1 0"}, pelk.powerCalls());
    EXPECT_TRUE(waitForClose(prompt, closingTime));
    EXPECT_FALSE(pelk.fileExists("dLog.txt"));
}

// ---------------------------------------------------------------------------
// Forced retries: Power Off from the tray with forceAction 1, the force fallback
// (timer 5) after its real 15 seconds or fired by hand, then two retries fired by hand.

class ActionsForcedRetry : public ::testing::Test {
protected:
    void startForcing(bool waitForTheFallback)
    {
        ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
            s.trayPromptMode = 0;
            s.forceAction = 1;
        }));
        DWORD requested = GetTickCount();
        ASSERT_TRUE(pelk.sendCommand(IDM_POWER_OFF));
        ASSERT_EQ(Lines{"ExitWindowsEx 8 0"}, pelk.powerCalls());

        if (waitForTheFallback) {
            prompt = pelk.waitForDialog(18000);
            EXPECT_GE(GetTickCount() - requested, 14500u);
        } else {
            pelk.timer(forceFallbackTimer);
            prompt = pelk.waitForDialog();
        }
        forcingSince = GetTickCount();  // the real retry timer runs from just before this
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ("Forcing Shutdown in 10 seconds...", controlText(prompt, IDC_PROMPT_MESSAGE));
        EXPECT_EQ("Yes", controlText(prompt, IDOK));
        EXPECT_EQ("No", controlText(prompt, IDCANCEL));

        // The retries go on while the force prompt shows.
        pelk.timer(forcedRetryTimer);
        pelk.timer(forcedRetryTimer);
        ASSERT_TRUE(pelk.waitForPowerCalls(3, 3000));
        ASSERT_EQ((Lines{"ExitWindowsEx 8 0", "ExitWindowsEx 12 0", "ExitWindowsEx 12 0"}), pelk.powerCalls());
        EXPECT_TRUE(IsWindow(prompt));
    }

    PelkProcess pelk;
    HWND prompt = nullptr;
    DWORD forcingSince = 0;
};

TEST_F(ActionsForcedRetry, NoAtTheForcePromptStopsTheRetries)
{
    ASSERT_NO_FATAL_FAILURE(startForcing(true));
    pressButton(prompt, IDCANCEL);
    ASSERT_TRUE(waitForClose(prompt, closingTime));
    // The real timer would have fired 10 s after the prompt opened.
    DWORD waited = GetTickCount() - forcingSince;
    pause(waited < 11500 ? 11500 - waited : 0);
    EXPECT_EQ(3u, pelk.powerCalls().size());
    EXPECT_TRUE(pelk.running());
}

TEST_F(ActionsForcedRetry, YesKeepsRetryingUntilAbortShutdown)
{
    ASSERT_NO_FATAL_FAILURE(startForcing(false));
    pressButton(prompt, IDOK);
    ASSERT_TRUE(waitForClose(prompt, closingTime));
    ASSERT_TRUE(pelk.waitForPowerCalls(4, 12500));
    EXPECT_GE(GetTickCount() - forcingSince, 8000u);  // the real 10-second timer, not an echo
    EXPECT_EQ("ExitWindowsEx 12 0", pelk.powerCalls().back());

    ASSERT_TRUE(pelk.sendCommand(IDM_ABORT_SHUTDOWN));
    size_t calls = pelk.powerCalls().size();
    pause(10500);  // the next retry was due 10 s after the one just seen
    EXPECT_EQ(calls, pelk.powerCalls().size());
}

// ---------------------------------------------------------------------------
// Scheduled shutdown

// Opens the ScheduleDialog through command 2049 and returns it.
HWND openScheduleDialog(PelkProcess& pelk)
{
    pelk.command(IDM_SCHEDULE);
    HWND dialog = pelk.waitForDialog();
    if (dialog != nullptr) {
        EXPECT_EQ("Schedule Shutdown", windowText(dialog));
    }
    return dialog;
}

TEST(Actions, ScheduledLogOffRunsHalfASecondAfterOk)
{
    const uint32_t logEventsValues[] = {1, 0};
    for (uint32_t logEvents : logEventsValues) {
        SCOPED_TRACE(logEvents);
        PelkProcess pelk;
        ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [logEvents](Settings& s) {
            s.scheduleMinutes = 0;
            s.scheduleAction = 3;
            s.trayPromptMode = 0;
            s.forceAction = 0;
            s.logEvents = logEvents;
        }));
        HWND dialog = openScheduleDialog(pelk);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("0", controlText(dialog, IDC_SCHEDULE_MINUTES));
        DWORD pressed = GetTickCount();
        pressButton(dialog, IDOK);
        ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime + 500));
        EXPECT_GE(GetTickCount() - pressed, 450u);
        EXPECT_EQ((Lines{shutdownParameters, "ExitWindowsEx 0 0"}), pelk.journal());
        if (logEvents == 1) {
            std::string log = pelk.readFile("dLog.txt");
            EXPECT_EQ(0u, log.find(logHeader));
            ASSERT_GE(log.size(), 12u);
            EXPECT_EQ(" : Log Off\r\n", log.substr(log.size() - 12));
            EXPECT_EQ(Lines{"Log Off"}, pelk.logTexts());
            // The line is written before Windows is asked.
            EXPECT_LE(pelk.lastWriteTime("dLog.txt"), pelk.lastWriteTime("PowerJournal.txt"));
        } else {
            EXPECT_FALSE(pelk.fileExists("dLog.txt"));
        }
    }
}

TEST(Actions, CancelledOrAbortedScheduleRunsNothing)
{
    PelkProcess pelk;
    ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
        s.scheduleMinutes = 0;
        s.scheduleAction = 3;
        s.trayPromptMode = 0;
        s.forceAction = 0;
    }));

    HWND dialog = openScheduleDialog(pelk);
    ASSERT_NE(nullptr, dialog);
    pressButton(dialog, IDCANCEL);
    ASSERT_TRUE(waitForClose(dialog, closingTime));
    pause(700);
    EXPECT_TRUE(pelk.journal().empty());

    // OK and Abort Shutdown wait in the program's one message queue in this order:
    // OK closes the dialog and starts the half-second countdown, Abort comes right after.
    dialog = openScheduleDialog(pelk);
    ASSERT_NE(nullptr, dialog);
    pressButton(dialog, IDOK);
    pelk.command(IDM_ABORT_SHUTDOWN);
    ASSERT_TRUE(waitForClose(dialog, closingTime));
    pause(1200);
    EXPECT_TRUE(pelk.journal().empty());
    EXPECT_FALSE(pelk.fileExists("dLog.txt"));

    // The same schedule left to run out does act.
    dialog = openScheduleDialog(pelk);
    ASSERT_NE(nullptr, dialog);
    pressButton(dialog, IDOK);
    ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime + 500));
    EXPECT_EQ(Lines{"ExitWindowsEx 0 0"}, pelk.powerCalls());
}

// ---------------------------------------------------------------------------
// Idle shutdown, driven by the tick readings

const DWORD startTick = 10000000;  // the tick count at start-up
const DWORD minute = 60000;

// The cases run in this order in one process: a resume stays the latest activity.
struct IdleCase {
    const char* name;
    DWORD resumeTick;  // not 0: a resume event arrives at this tick before the check
    DWORD lastInput;
    DWORD now;
    bool acts;
};

const IdleCase idleCases[] = {
    {"59:59.999 after the last input", 0, startTick + minute, startTick + 61 * minute - 1, false},
    {"60:00 after the last input", 0, startTick + minute, startTick + 61 * minute, true},
    {"input before start-up, 59:59.999 after start-up", 0, startTick - 30 * minute, startTick + 60 * minute - 1,
     false},
    {"input before start-up, 60:00 after start-up", 0, startTick - 30 * minute, startTick + 60 * minute, true},
    {"tick count wrapped below the last input", 0, 0xF0000000u, 0x00100000u, false},
    {"last input now", 0, startTick + 90 * minute, startTick + 90 * minute, false},
    {"59:59.999 after a resume", startTick + 200 * minute, startTick, startTick + 260 * minute - 1, false},
    {"60:00 after a resume", 0, startTick, startTick + 260 * minute, true},
};

TEST(Actions, IdleCheckActsAfterSixtyWholeIdleMinutes)
{
    PelkProcess pelk;
    pelk.setReading("tickCount", startTick);
    pelk.setReading("lastInputTick", startTick);
    ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
        s.idleEnabled = 1;
        s.idleMinutes = 60;
        s.idleAction = 3;
        s.idleForce = 0;
        s.trayPromptMode = 0;
        s.logEvents = 1;
    }));
    Lines calls;
    Lines log;
    for (const IdleCase& c : idleCases) {
        SCOPED_TRACE(c.name);
        if (c.resumeTick != 0) {
            pelk.setReading("tickCount", c.resumeTick);
            ASSERT_TRUE(pelk.send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0));
        }
        pelk.setReading("lastInputTick", c.lastInput);
        pelk.setReading("tickCount", c.now);
        ASSERT_TRUE(pelk.sendTimer(idleTimer));
        if (c.acts) {
            calls.push_back("ExitWindowsEx 0 0");
            log.push_back("Log Off");
        }
        EXPECT_EQ(calls, pelk.powerCalls());
        EXPECT_EQ(log, pelk.logTexts());
    }
}

TEST(Actions, IdleActionArmsTheWakeUpTimerFirstAndSetsTheForceFlag)
{
    const unsigned long long systemTime = 130000000000000000ull;
    PelkProcess pelk;
    pelk.setReading("tickCount", startTick);
    pelk.setReading("lastInputTick", startTick);
    pelk.setReading("systemTime", systemTime);
    ASSERT_NO_FATAL_FAILURE(startQuietly(pelk, [](Settings& s) {
        s.idleEnabled = 1;
        s.idleMinutes = 60;
        s.idleAction = 3;
        s.idleForce = 1;
        s.forceAction = 0;
        s.idleResumeEnabled = 1;
        s.idleResumeMinutes = 120;
        s.trayPromptMode = 0;
    }));
    pelk.setReading("tickCount", startTick + 60 * minute);
    ASSERT_TRUE(pelk.sendTimer(idleTimer));
    EXPECT_EQ((Lines{"CreateWaitableTimer", "SetWaitableTimer 130000072000000000 resume", shutdownParameters,
                     "ExitWindowsEx 0 0"}),
              pelk.journal());

    pelk.command(IDM_EXIT);
    ASSERT_TRUE(pelk.waitForExit(10000));
    Settings saved;
    ASSERT_TRUE(pelk.readSavedSettings(saved));
    EXPECT_EQ(1u, saved.forceAction);  // idleForce carried into the shared force flag
}

}  // namespace
