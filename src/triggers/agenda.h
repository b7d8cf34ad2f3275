// The agenda: everything armed that may act by itself (the countdown, the clock time and
// a one-off beside it, the idle shutdown, the program watch, the low battery's action,
// each put-off), and what happens as time, power, the user and the program's windows
// move. Every rule of every trigger is here; the MainWindow turns messages into events
// and applies the effects.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"
#include "triggers/clock_rules.h"

// What comes due. A call's order among calls due at one moment.
enum AgendaKind : uint8_t { kindCountdown, kindClock, kindOnce, kindIdle, kindWatch, kindBattery };

// A moment as three clocks tell it.
struct AgendaTime {
    uint64_t tick;   // ms since Windows started, sleep included: the countdowns run on it
    uint64_t awake;  // ms the computer has been awake, sleep not counted
    WallTime local;  // the wall clock, seconds included
    int64_t utc;     // ms of the universal time: moved with the local clock when the time is set, not by a zone
};

enum AgendaEventKind : uint8_t {
    eventStart,      // Pelk has started with what its record kept
    eventCheck,      // the agenda's timer, or a change that only needs a look (time, settings)
    eventSuspend,    // the computer is about to sleep
    eventResume,     // ... and is back, or the sleep failed
    eventBattery,    // a reading of the power source and the level
    eventCountdown,  // arm `action` in `minutes` minutes
    eventOnce,       // arm `action` at `minutes` (the minute of the day), once, beside the clock time
    eventWatch,      // arm `action` for when the watched program has ended
    eventUnwatch,
    eventAbort,
    eventAnswer,     // the prompt of the call asked has ended with `answer`
    eventWindows,    // a window that a prompt must not meet opened or closed: see `blocked`
};

// The prompt's answers, as the prompt gives them.
enum : int32_t { answerYes = 1, answerNo = 2, answerPutOff = 3 };

struct AgendaEvent {
    AgendaEventKind kind;
    AgendaTime now;
    bool blocked;  // the options, or a prompt or dialog of something else, show
    uint8_t action;
    uint32_t minutes;
    int32_t answer;
    // Readings, taken where agendaWants asks for them.
    bool idleRead;
    uint32_t idleMs;  // without input, or activity that counts
    bool programRead;
    bool programRuns;
    bool batteryRead;
    bool onBattery;
    uint32_t percent;
    bool lowCrossed;  // this reading crossed the low alert's level
    // The clock time is an administrator's: No and Abort put its warning off, never skip it.
    bool clockLocked;
};

const size_t agendaLogMost = 4;
const size_t agendaLogSize = 200;

// What the MainWindow does after an event, in this order: the log lines, the balloon,
// the save, the prompt withdrawn, the wake-up cancelled, the action performed (its
// wake-up armed first), the prompt asked; then one timer at `next`.
struct AgendaOut {
    char log[agendaLogMost][agendaLogSize];
    uint16_t logEntry[agendaLogMost];  // each line's ID in the Windows event log (settings/system_events.h)
    size_t logCount;
    char balloon[256];
    bool save;      // the record's remembered part changed
    bool withdraw;  // the prompt that shows is answered No in the user's place
    bool cancelWake;
    bool perform;
    uint8_t action;
    bool wake;  // arm the wake-up wakeMinutes from now, just before the action
    uint32_t wakeMinutes;
    bool ask;
    AgendaKind askKind;
    uint8_t askAction;
    uint32_t askWarnSeconds;
    uint32_t askPutOffMinutes;
    bool aborted;   // an abort found something to cancel
    uint64_t next;  // the tick of the next check wanted; 0: none
};

// A trigger that has come due and not yet ended: waiting for its turn (or for the
// windows), asked, withdrawn while its prompt still shows, or put off.
enum CallState : uint8_t { callFree, callWaiting, callAsking, callWithdrawn, callPutOff };
struct AgendaCall {
    CallState state;
    AgendaKind kind;
    uint8_t action;
    uint16_t clockMinute;  // the repeated clock time it came from, as the record holds it; 0: any
    uint8_t clockDays;
    uint16_t minute;       // a clock time's minute of the day + 1, for its words; 0: none
    uint64_t tick;         // when it came due, or when its put-off ends
    uint64_t since;        // when it was put off
};
const size_t agendaCallsMost = 8;

struct Agenda {
    bool started;
    AgendaTime last;      // of the event before
    uint64_t awakeSince;  // the tick from which the computer has been awake, and Pelk running
    bool asleep;          // a sleep was announced and nothing has been seen since
    bool blocked;
    bool countdown;
    uint8_t countdownAction;
    uint64_t countdownDue;
    bool watch;
    uint8_t watchAction;
    uint64_t watchLooked;
    uint64_t idleSampled;
    uint64_t idleFrom;  // Abort starts the idle time afresh
    bool batteryKnown;
    bool onBattery;
    uint32_t percent;
    uint64_t clockSeen, onceSeen;  // the clock times as the event before found them
    bool clockLocked;              // as the last event told it
    AgendaCall calls[agendaCallsMost];
};

// The readings an event at `tick` should carry.
struct AgendaWants {
    bool idle;
    bool program;
};
AgendaWants agendaWants(const Agenda& a, const Settings& s, uint64_t tick);

// One event: the agenda and the record's remembered part move, `out` says what to do.
void agendaEvent(Agenda& a, Settings& s, const AgendaEvent& e, AgendaOut& out);

// What is armed, one line each ("4 Mns until Log Off", "Power Off every day at 22:00,
// skipped today", "Log Off when render.exe ends"): the tooltip's and the menu's words.
const size_t agendaLinesMost = 10;
const size_t agendaLineSize = 100;
// A repeat names its next day when that is not today ("..., next Mon"), unless not ahead.
size_t agendaLines(const Agenda& a, const Settings& s, const AgendaTime& now,
                   char lines[agendaLinesMost][agendaLineSize], bool ahead = true);
// The tooltip: the lines, or "Idle Shutdown Enabled" or "Pelk 1.4" when none.
void agendaTooltip(const Agenda& a, const Settings& s, const AgendaTime& now, char* out, size_t outSize);
// Something that Abort would cancel or skip.
bool agendaAbortable(const Agenda& a, const Settings& s, const AgendaTime& now);

// Days since 1 January 2000 of a local date.
int64_t dayNumber(uint32_t year, uint32_t month, uint32_t day);
