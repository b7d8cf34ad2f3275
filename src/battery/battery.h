// Battery presence, the power-state classification and the monitor window.
#pragma once
#include <windows.h>

void updateBatteryPresence();
void evaluateBattery();
LRESULT onPowerEvent(WPARAM event);
DWORD WINAPI runMonitor(void* unused);
