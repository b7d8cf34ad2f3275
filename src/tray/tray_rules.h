// What the tray icon says and offers, and what a click on it does.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

extern const char* const trayTipDefault;  // "Pelk 1.4"

// A countdown to an action: a prompt put off.
struct Countdown {
    uint32_t action, startTick, lengthMs;
};

// The tooltip: the schedule's countdown and action ("5 Mns until Log Off") while
// a schedule runs, a prompt put off (the same form), the armed program watch ("Log Off
// when render.exe ends"), the clock schedule ("Power Off every day at 23:30"), else
// "Idle Shutdown Enabled" or "Pelk 1.4". Unsigned tick arithmetic.
void trayTooltip(const Settings& s, bool scheduleActive, bool watchArmed, uint32_t startTick, uint32_t lengthMs,
                 uint32_t nowTick, char* out, size_t outSize, const Countdown* putOff = nullptr);

// One item of the pop-up menu; command 0 is a separator.
struct TrayMenuItem {
    const char* text;
    uint32_t command;
};
const size_t trayMenuMost = 14;
// The menu for these settings, in order; returns the number of items. "Abort Shutdown"
// is there while something is under way that it stops (a schedule, the program watch).
size_t buildTrayMenu(const Settings& s, bool abortable, TrayMenuItem out[trayMenuMost]);

enum TrayClick { clickNothing, clickSchedule, clickOptions, clickMonitorOff, clickMonitorOn, clickShowMonitor };
TrayClick trayClickFor(uint32_t trayClickAction, bool promptOpen, bool batteryPresent, bool monitorOpen);

// Two tray mouse messages more than 500 and less than 2,000 ms apart: the mouse rests there.
bool isHovering(uint32_t nowTick, uint32_t previousTick);
