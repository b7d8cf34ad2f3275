// Scheduled shutdown, idle shutdown, the wake-up timer, and the agenda that holds every
// trigger armed.
#pragma once
#include <windows.h>

#include "battery/battery_rules.h"
#include "triggers/agenda.h"

// The agenda of this process: everything armed.
extern Agenda agenda;
// Hands the agenda one event (the time and the readings it asks for taken now) and applies
// its effects: log lines, a balloon, the save, a prompt withdrawn, the wake-up, the
// action, the prompt asked (posted, so that no prompt runs inside a sent message), and
// the agenda's one timer. True when an abort found something to cancel.
bool agendaDeliver(AgendaEventKind kind, uint8_t action = 0, uint32_t minutes = 0, int32_t answer = 0);
// A battery reading, and whether it crossed the low alert's level.
void agendaBattery(const PowerReading& reading, bool lowCrossed);
// A power broadcast: sleep and resume, with the time asleep where Windows has no count of it.
void agendaPowerEvent(WPARAM event);
AgendaTime agendaNow();
// The MainWindow's agendaAskMessage: the prompt of what came due, shown now.
void onAgendaAsk();

void runScheduleCommand(HWND owner);
// Arms the countdown with settings.scheduleMinutes and scheduleAction, as OK in Schedule Shutdown does.
void startSchedule();
// Everything that is armed or under way stops; true when anything was.
bool abortShutdown(HWND window);

// The idle time as the idle shutdown counts it: since the later of the last input and the
// last activity, a minute that does not count (another session, a film, a busy processor)
// counting as activity.
uint32_t readIdleMs();
void armWakeTimer(DWORD minutes);
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
