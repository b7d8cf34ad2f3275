// The clock schedule: an action at a local clock time, once or on chosen days, checked
// at the start of each minute by timer 12 while one is set, and nothing runs while none is.
#include "app/globals.h"
#include "power/power_calls.h"
#include "triggers/clock_rules.h"
#include "triggers/triggers.h"

// The local time of the last check, and the day the schedule last acted or was skipped.
static WallTime lastCheck;
static uint32_t doneDate;
static bool clockRunning;

// The next check at the start of the next minute: at most one a minute.
static void setClockCheck(const WallTime& now)
{
    osSetTimer(mainWindow, clockTimer, (60 - now.second % 60) * 1000u);
    clockRunning = true;
}

void armClock()
{
    WallTime now;
    osGetLocalTime(&now);
    lastCheck = now;
    // A one-off time that passed while Pelk did not run, or the computer slept, is dropped,
    // and so is a time no clock shows (only a damaged file holds one).
    if (clockOncePassed(settings, now) || settings.clockMinute > 24 * 60)
        settings.clockMinute = 0;
    if (settings.clockMinute != 0) {
        setClockCheck(now);
    } else if (clockRunning) {
        osKillTimer(mainWindow, clockTimer);
        clockRunning = false;
    }
}

bool clockArmed() { return settings.clockMinute != 0; }

void checkClock(HWND window)
{
    WallTime now;
    osGetLocalTime(&now);
    uint32_t due = clockDueDate(settings, lastCheck, now, doneDate);
    lastCheck = now;
    if (due == 0) {
        setClockCheck(now);
        return;
    }
    doneDate = due;
    if (settings.clockDays == 0)
        settings.clockMinute = 0;  // a one-off is spent
    armClock();
    runTriggerAction(window, settings.clockAction, settings.trayWarnSeconds, settings.scheduleResumeEnabled,
                     settings.scheduleResumeMinutes);
}

int abortClock()
{
    if (settings.clockMinute == 0)
        return clockNothing;
    if (settings.clockDays != 0) {
        WallTime now;
        osGetLocalTime(&now);
        doneDate = dateNumber(now);
        return clockSkippedToday;
    }
    settings.clockMinute = 0;
    armClock();
    return clockCancelled;
}
