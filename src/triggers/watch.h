// The program watch (an action once a program has ended) and the readings of the idle
// shutdown's quiet conditions.
#pragma once
#include <windows.h>

enum WatchArmResult { watchArmedOk, watchNotRunning, watchNoName };
// Waits for the program of this name (a file name or a path; "render" is render.exe
// too) to end, then performs `action` on the road of every trigger: sets
// settings.watchProgram and watchAction and arms the agenda's watch. Refused when the
// name runs nowhere now.
WatchArmResult armWatch(const char* program, DWORD action);
void disarmWatch();
bool watchArmed();
// Whether a process of this name runs in this session; true when the list cannot be read.
bool programRuns(const char* name);

// Takes this minute's readings for the quiet conditions; false when the minute was busy.
bool idleMinuteQuiet();
