// The idle time as the idle shutdown counts it, and the wake-up timer.
#include "app/globals.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "triggers/idle_rules.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"

static HANDLE wakeTimer;

// A minute counts while this session is the user's, the computer was quiet (where those
// conditions are set) and, unless the user turned this off, no program keeps the system
// or the display on for a film or a presentation.
static bool idleMinuteCounts()
{
    // Read every time, so that the next reading has one to compare with.
    bool quiet = idleMinuteQuiet();
    SessionReading sessions;
    osReadSessions(&sessions);
    if (!quiet || !sessionIsActive(sessions.known, sessions.own, sessions.console, sessions.remote, sessions.remoteActive))
        return false;
    return settings.idleIgnoresKeepAwake != 0 || !keepAwakeAsked(osExecutionState(), osUserNotificationState());
}

uint32_t readIdleMs()
{
    if (!idleMinuteCounts())
        lastActivityTick = osGetTickCount();
    return idleMsFrom(osGetLastInputTick(), lastActivityTick, osGetTickCount());
}

void cancelWakeTimer()
{
    if (wakeTimer == nullptr)
        return;
    osCancelWakeTimer(wakeTimer);
    osCloseWakeTimer(wakeTimer);
    wakeTimer = nullptr;
}

// The newest arming is the one the user asked for: an older, earlier
// wake-up time must not wake the computer.
void armWakeTimer(DWORD minutes)
{
    cancelWakeTimer();
    wakeTimer = osCreateWakeTimer();
    FILETIME now;
    osGetSystemTimeAsFileTime(&now);
    uint64_t nowValue = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    LARGE_INTEGER due;
    due.QuadPart = static_cast<LONGLONG>(wakeDueTime(nowValue, minutes));
    DWORD error = osSetWakeTimer(wakeTimer, &due);
    if (error != 0)
        reportFailure("Wake-up timer", error, settings.logEvents);
}

// Windows sends a computer that a timer woke back to sleep within minutes unless
// something asks for it: the wake-up Pelk armed was meant to keep it up.
void onAutomaticResume()
{
    if (!osWakeTimerFired(wakeTimer))
        return;
    osRequestSystemAndDisplay();
    cancelWakeTimer();
}
