// Pure rules of the idle check and the wake-up timer.
#include "triggers/idle_rules.h"

namespace {

const uint32_t millisecondsPerMinute = 60000;
const uint64_t fileTimeUnitsPerMinute = 600000000ull;

} // namespace

uint32_t idleMinutesFrom(uint32_t lastInputTick, uint32_t lastActivityTick, uint32_t nowTick)
{
    uint32_t base = lastInputTick > lastActivityTick ? lastInputTick : lastActivityTick;
    if (nowTick <= base)
        return 0;
    return (nowTick - base) / millisecondsPerMinute;
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
