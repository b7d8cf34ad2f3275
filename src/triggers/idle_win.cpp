// The idle shutdown's minute check and the wake-up timer.
#include "app/globals.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "triggers/clock_rules.h"
#include "triggers/idle_rules.h"
#include "tray/tray.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"

static HANDLE wakeTimer;
static bool idlePromptShowing;

// A trigger whose prompt was put off, and when it comes back.
struct PutOff {
    DWORD action, warnSeconds, resumeEnabled, resumeMinutes;
    bool idle;
    DWORD startTick, lengthMs;
};
static PutOff putOff;
static bool putOffWaiting;

// A minute counts while this session is the user's, the computer was quiet (where those
// conditions are set) and, unless the user turned this off, no program keeps the system
// or the display on for a film or a presentation.
static bool idleMinuteCounts()
{
    // Read every minute, so that the next minute has a reading to compare with.
    bool quiet = idleMinuteQuiet();
    SessionReading sessions;
    osReadSessions(&sessions);
    if (!quiet || !sessionIsActive(sessions.known, sessions.own, sessions.console, sessions.remote, sessions.remoteActive))
        return false;
    return settings.idleIgnoresKeepAwake != 0 || !keepAwakeAsked(osExecutionState(), osUserNotificationState());
}

void checkIdle(HWND window)
{
    // An unanswered idle prompt is not joined by another, nor is one that was put off;
    // the next minute checks again.
    if (idlePromptShowing || (putOffWaiting && putOff.idle))
        return;
    if (!idleMinuteCounts()) {
        lastActivityTick = osGetTickCount();
        return;
    }
    DWORD idle = idleMinutesFrom(osGetLastInputTick(), lastActivityTick, osGetTickCount());
    if (!idleLimitReached(idle, settings.idleMinutes))
        return;
    settings.forceAction = idleForceFlag(settings.idleForce);
    idlePromptShowing = true;
    runTriggerAction(window, settings.idleAction, 10, settings.idleResumeEnabled, settings.idleResumeMinutes, true);
    idlePromptShowing = false;
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
static void armWakeTimer(DWORD minutes)
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

// A declined action leaves no wake-up armed; a performed one wakes the computer the
// chosen minutes after the moment it was performed, however long the prompt waited.
// One that Windows refused leaves none either: it would wake the user's own sleep later.
void runTriggerAction(HWND window, DWORD action, DWORD warnSeconds, DWORD resumeEnabled, DWORD resumeMinutes,
                      bool idle)
{
    action = triggerAction(action);
    DWORD minutes = putOffMinutes(settings);
    LONG answer = confirmTriggerAction(window, action, warnSeconds, minutes);
    if (answer == promptPutOff) {
        putOff = {action, warnSeconds, resumeEnabled, resumeMinutes, idle, osGetTickCount(), minutes * 60000};
        putOffWaiting = true;
        osSetTimer(mainWindow, putOffTimer, putOff.lengthMs);
        return;
    }
    if (answer != promptYes) {
        cancelWakeTimer();
        return;
    }
    if (resumeEnabled)
        armWakeTimer(resumeMinutes);
    if (performAction(action, settings.logEvents, nullptr) != 0)
        cancelWakeTimer();
}

void onPutOffTimer(HWND window)
{
    osKillTimer(window, putOffTimer);
    if (!putOffWaiting)
        return;
    putOffWaiting = false;
    // The idle shutdown comes back only to a computer that nobody has used since.
    DWORD now = osGetTickCount();
    if (putOff.idle && idleMinutesFrom(osGetLastInputTick(), putOff.startTick, now) < putOff.lengthMs / 60000)
        return;
    runTriggerAction(window, putOff.action, putOff.warnSeconds, putOff.resumeEnabled, putOff.resumeMinutes, putOff.idle);
}

bool putOffPending(uint32_t* action, uint32_t* startTick, uint32_t* lengthMs)
{
    if (action != nullptr) {
        *action = putOff.action;
        *startTick = putOff.startTick;
        *lengthMs = putOff.lengthMs;
    }
    return putOffWaiting;
}

void cancelPutOff()
{
    if (putOffWaiting)
        osKillTimer(mainWindow, putOffTimer);
    putOffWaiting = false;
}
