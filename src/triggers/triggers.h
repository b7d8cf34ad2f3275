// Scheduled shutdown, idle shutdown and the wake-up timer.
#pragma once
#include <windows.h>

extern DWORD scheduleStartTick;
extern DWORD scheduleLengthMs;

void runScheduleCommand(HWND owner);
// Timer 8 for the minutes of settings.scheduleMinutes, as OK in Schedule Shutdown starts it.
void startSchedule();
// Everything that is armed or under way stops; true when anything was.
bool abortShutdown(HWND window);
void onScheduleTimer(HWND window);
void checkIdle(HWND window);
// The road of the automatic triggers (schedule, clock, idle, watch) when they run out:
// the prompt, then the action they name, the wake-up (when resumeEnabled) armed just
// before it. The prompt's put-off brings the same road back a few minutes later; for
// the idle shutdown (idle) only if nobody has used the computer since.
void runTriggerAction(HWND window, DWORD action, DWORD warnSeconds, DWORD resumeEnabled, DWORD resumeMinutes,
                      bool idle = false);
// Timer 13: the put-off has run out.
void onPutOffTimer(HWND window);
// A trigger put off: what it will perform, and when (ticks); false when none is.
bool putOffPending(uint32_t* action = nullptr, uint32_t* startTick = nullptr, uint32_t* lengthMs = nullptr);
void cancelPutOff();
void cancelWakeTimer();

// The clock schedule of the settings: armed (or stopped, when none is set) at the start,
// when the Clock page is left, by a slam's "/time", and again when the wall clock moves
// (a change of time or zone, a resume). Timer 12 checks it each minute.
void armClock();
bool clockArmed();
void checkClock(HWND window);
enum { clockNothing, clockCancelled, clockSkippedToday };
// Abort: a one-off time is cancelled, a repeat skipped today; what was done.
int abortClock();
// A resume without the user: when Pelk's wake-up caused it, the computer stays up.
void onAutomaticResume();
// Fills a combo box with the minute choices and shows `minutes` as its text.
void fillMinutesList(HWND dialog, int comboId, DWORD minutes);
// A minutes list opened on a typed number selects the first entry that begins with it
// ("5": "510 (8.5 hrs)"); closed without a choice, the typed number comes back. Called
// with each notification of the list.
void keepTypedMinutes(HWND dialog, int comboId, int notification);
// Fills a list with the six local actions and selects `value` (none when above 5).
void fillPowerActionList(HWND dialog, int listId, DWORD value);
