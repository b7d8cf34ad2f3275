// Power broadcasts; battery presence and classification arrive with the monitor.
#include "battery/battery.h"

#include "app/app.h"
#include "power/power_calls.h"

void updateBatteryPresence() {}

void evaluateBattery() {}

LRESULT onPowerEvent(WPARAM event)
{
    updateBatteryPresence();
    switch (event) {
    case PBT_APMQUERYSUSPEND:
        break;
    // Suspending, a refused suspension and every resume start the idle time afresh.
    case PBT_APMQUERYSUSPENDFAILED:
    case PBT_APMSUSPEND:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMEAUTOMATIC:
        lastActivityTick = osGetTickCount();
        break;
    default:
        evaluateBattery();
        break;
    }
    return TRUE;
}

DWORD WINAPI runMonitor(void*)
{
    monitorOpen = 0;
    return 0;
}
