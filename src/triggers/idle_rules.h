// Idle-time arithmetic of the idle shutdown and the wake-up timer's due time.
#pragma once
#include <cstdint>

// Whole minutes since the later of the last input and the last activity tick, right
// also when the tick count has wrapped in between.
uint32_t idleMinutesFrom(uint32_t lastInputTick, uint32_t lastActivityTick, uint32_t nowTick);
uint32_t idleMsFrom(uint32_t lastInputTick, uint32_t lastActivityTick, uint32_t nowTick);

bool idleLimitReached(uint32_t idleMinutes, uint32_t limitMinutes);

// A FILETIME (100-ns units) the given number of minutes after nowFileTime.
uint64_t wakeDueTime(uint64_t nowFileTime, uint32_t minutes);

uint32_t idleForceFlag(uint32_t idleForce);

// Whether this session's idle time is the user's: the console session, or a remote
// session whose user is connected; true where the system has no sessions (known false).
// Any other session (a user switched away, a disconnected remote one) is not watched.
bool sessionIsActive(bool known, uint32_t ownSession, uint32_t consoleSession, bool remote, bool remoteActive);

// Whether a program asks to keep the system or the display on (the execution state's
// ES_SYSTEM_REQUIRED, ES_DISPLAY_REQUIRED) or a full-screen program or presentation
// runs (QUNS_BUSY, QUNS_RUNNING_D3D_FULL_SCREEN, QUNS_PRESENTATION_MODE): such a
// minute is not idle, as Windows' own sleep would not come then.
bool keepAwakeAsked(uint32_t executionState, uint32_t notificationState);
