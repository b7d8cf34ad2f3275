// The idle shutdown's minute check and the wake-up timer.
#include "app/globals.h"
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
    if (settings.idleResumeEnabled)
        armWakeTimer(settings.idleResumeMinutes);
    idlePromptShowing = true;
    confirmTriggerAction(window, settings.idleAction, 10);
    idlePromptShowing = false;
}

// The newest arming is the one the user asked for: an older, earlier
// wake-up time must not wake the computer.
void armWakeTimer(DWORD minutes)
{
    if (wakeTimer != nullptr) {
        osCancelWakeTimer(wakeTimer);
        osCloseWakeTimer(wakeTimer);
    }
    wakeTimer = osCreateWakeTimer();
    FILETIME now;
    osGetSystemTimeAsFileTime(&now);
    uint64_t nowValue = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    LARGE_INTEGER due;
    due.QuadPart = static_cast<LONGLONG>(wakeDueTime(nowValue, minutes));
    osSetWakeTimer(wakeTimer, &due);
}
