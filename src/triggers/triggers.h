// Scheduled shutdown, idle shutdown and the wake-up timer.
#pragma once
#include <windows.h>

extern DWORD scheduleStartTick;
extern DWORD scheduleLengthMs;

void runScheduleCommand(HWND owner);
void abortShutdown(HWND window);
void onScheduleTimer(HWND window);
void checkIdle(HWND window);
// The road of the schedule and the idle shutdown when they run out: the prompt, then
// the action they name, the wake-up (when resumeEnabled) armed just before it.
void runTriggerAction(HWND window, DWORD action, DWORD warnSeconds, DWORD resumeEnabled, DWORD resumeMinutes);
void cancelWakeTimer();
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
