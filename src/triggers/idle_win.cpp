// The idle shutdown's minute check and the wake-up timer.
#include "app/globals.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "triggers/idle_rules.h"
#include "triggers/triggers.h"

static HANDLE wakeTimer;
static bool idlePromptShowing;

void checkIdle(HWND window)
{
    // An unanswered idle prompt is not joined by another; the next minute checks again.
    if (idlePromptShowing)
        return;
    DWORD idle = idleMinutesFrom(osGetLastInputTick(), lastActivityTick, osGetTickCount());
    if (!idleLimitReached(idle, settings.idleMinutes))
        return;
    settings.forceAction = idleForceFlag(settings.idleForce);
    idlePromptShowing = true;
    runTriggerAction(window, settings.idleAction, 10, settings.idleResumeEnabled, settings.idleResumeMinutes);
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
    osSetWakeTimer(wakeTimer, &due);
}

// A declined action leaves no wake-up armed; a performed one wakes the computer the
// chosen minutes after the moment it was performed, however long the prompt waited.
void runTriggerAction(HWND window, DWORD action, DWORD warnSeconds, DWORD resumeEnabled, DWORD resumeMinutes)
{
    action = triggerAction(action);
    if (!confirmTriggerAction(window, action, warnSeconds)) {
        cancelWakeTimer();
        return;
    }
    if (resumeEnabled)
        armWakeTimer(resumeMinutes);
    performAction(action, settings.logEvents, nullptr);
}
