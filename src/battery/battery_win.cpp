// Battery presence with its 10-second poll, the notices that show the monitor,
// and the MainWindow's power broadcasts.
#include "battery/battery.h"

#include "app/globals.h"
#include "battery/battery_rules.h"
#include "power/power_calls.h"

static DWORD lastBatteryState;

static SYSTEM_POWER_STATUS mainThreadStatus = noStatusYet;

PowerReading readPowerStatus(SYSTEM_POWER_STATUS& record)
{
    SYSTEM_POWER_STATUS fresh;
    if (osGetSystemPowerStatus(&fresh))
        record = fresh;
    return {record.ACLineStatus, record.BatteryFlag, record.BatteryLifePercent};
}

// Only a change of presence touches the poll.
void updateBatteryPresence()
{
    bool present = hasBattery(readPowerStatus(mainThreadStatus));
    if (!present && batteryPresent == 1) {
        InterlockedExchange(&batteryPresent, 0);
        osKillTimer(mainWindow, batteryPollTimer);
    } else if (present && batteryPresent == 0) {
        InterlockedExchange(&batteryPresent, 1);
        osSetTimer(mainWindow, batteryPollTimer, 10000);
    }
}

void evaluateBattery()
{
    BatteryTrack track = {lastBatteryPercent, lastBatteryState};
    PowerReading reading = readPowerStatus(mainThreadStatus);
    int notices = trackBattery(reading, settings.batteryStepPercent, settings.chargedPercent, track);
    lastBatteryPercent = track.lastPercent;
    lastBatteryState = track.lastState;
    for (int i = 0; i < notices; ++i)
        PostMessageA(mainWindow, showMonitorMessage, 1, 0);
}

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
