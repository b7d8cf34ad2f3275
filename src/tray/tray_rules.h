// What the tray icon says and offers, and what a click on it does.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"
#include "triggers/agenda.h"

extern const char* const trayTipDefault;  // "Pelk 1.4"

// One item of the pop-up menu; command 0 is a separator, trayMenuArmedLine a greyed line
// that names what is armed.
struct TrayMenuItem {
    const char* text;
    uint32_t command;
};
const uint32_t trayMenuArmedLine = 1;
const size_t trayMenuMost = 24;
// The menu for these settings, in order; returns the number of items. "Abort Shutdown"
// is there while something is armed that it cancels or skips, each named above it.
size_t buildTrayMenu(const Settings& s, bool abortable, const char (*armed)[agendaLineSize], size_t armedCount,
                     TrayMenuItem out[trayMenuMost]);

enum TrayClick { clickNothing, clickSchedule, clickOptions, clickMonitorOff, clickMonitorOn, clickShowMonitor };
TrayClick trayClickFor(uint32_t trayClickAction, bool promptOpen, bool batteryPresent, bool monitorOpen);

// Two tray mouse messages more than 500 and less than 2,000 ms apart: the mouse rests there.
bool isHovering(uint32_t nowTick, uint32_t previousTick);
