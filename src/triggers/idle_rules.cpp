// Pure rules of the idle check and the wake-up timer.
#include "triggers/idle_rules.h"

namespace {

const uint32_t millisecondsPerMinute = 60000;
// The last-input tick may run a little ahead of the tick read for now (it need not
// grow steadily, and injected input brings its own time stamp): up to a minute ahead
// is input at this moment, not input a whole wrap of the tick count ago.
const uint32_t inputAheadMostMs = 60000;
const uint64_t fileTimeUnitsPerMinute = 600000000ull;

} // namespace

// Elapsed times in unsigned arithmetic stay right across the wrap of the tick count
// after 49.7 days; the idle time counts from the later event, the one less long ago.
uint32_t idleMsFrom(uint32_t lastInputTick, uint32_t lastActivityTick, uint32_t nowTick)
{
    if (lastInputTick - nowTick <= inputAheadMostMs)
        return 0;
    uint32_t sinceInput = nowTick - lastInputTick;
    uint32_t sinceActivity = nowTick - lastActivityTick;
    return sinceInput < sinceActivity ? sinceInput : sinceActivity;
}

uint32_t idleMinutesFrom(uint32_t lastInputTick, uint32_t lastActivityTick, uint32_t nowTick)
{
    return idleMsFrom(lastInputTick, lastActivityTick, nowTick) / millisecondsPerMinute;
}

bool idleLimitReached(uint32_t idleMinutes, uint32_t limitMinutes)
{
    return idleMinutes >= limitMinutes;
}

uint64_t wakeDueTime(uint64_t nowFileTime, uint32_t minutes)
{
    return nowFileTime + static_cast<uint64_t>(minutes) * fileTimeUnitsPerMinute;
}

uint32_t idleForceFlag(uint32_t idleForce)
{
    return idleForce != 0 ? 1 : 0;
}

bool sessionIsActive(bool known, uint32_t ownSession, uint32_t consoleSession, bool remote, bool remoteActive)
{
    if (!known)
        return true;
    return remote ? remoteActive : ownSession == consoleSession;
}

bool keepAwakeAsked(uint32_t executionState, uint32_t notificationState)
{
    const uint32_t systemOrDisplay = 0x1 | 0x2;
    return (executionState & systemOrDisplay) != 0 || (notificationState >= 2 && notificationState <= 4);
}
