// Idle-time arithmetic of the idle shutdown and the wake-up timer's due time.
#pragma once
#include <cstdint>

// Whole minutes since the later of the last input and the last activity tick, right
// also when the tick count has wrapped in between.
uint32_t idleMinutesFrom(uint32_t lastInputTick, uint32_t lastActivityTick, uint32_t nowTick);

bool idleLimitReached(uint32_t idleMinutes, uint32_t limitMinutes);

// A FILETIME (100-ns units) the given number of minutes after nowFileTime.
uint64_t wakeDueTime(uint64_t nowFileTime, uint32_t minutes);

uint32_t idleForceFlag(uint32_t idleForce);
