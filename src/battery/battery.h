// Battery presence, the power-state classification and the monitor window.
#pragma once
#include <windows.h>

#include "battery/battery_rules.h"

// Reads the power status into `record`, which each thread keeps; a failed read leaves
// the record's values as they were (at first: no battery).
PowerReading readPowerStatus(SYSTEM_POWER_STATUS& record);
const SYSTEM_POWER_STATUS noStatusYet = {255, 128, 255, 0, 0, 0};

void updateBatteryPresence();
void evaluateBattery();
// Each reading on the main thread: the level on the tray icon, the alerts' balloons, and
// the reading for the agenda, which asks for the low alert's action.
void onBatteryReading(const PowerReading& reading);
LRESULT onPowerEvent(WPARAM event);

// Message 2005: opens the monitor on a thread of its own when it is enabled and not open.
void showMonitor();
// Asks an open monitor to close now (the tray's On/Off click).
void closeMonitor();
// The monitor's position in the Settings, written whole for the monitor thread.
void setMonitorPosition(LONG left, LONG top);
