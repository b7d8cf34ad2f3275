// Battery presence, the readings that Windows' notices or else a 10-second poll
// bring, the notices that show the monitor, and the MainWindow's power broadcasts.
#include "battery/battery.h"

#include "app/globals.h"
#include "battery/alert_rules.h"
#include "battery/battery_rules.h"
#include "power/power_calls.h"

static DWORD lastBatteryState;

// A notice of the level has come: Windows tells of every change, and the poll is not needed.
static bool notificationsArrive;
static bool pollRunning;
// PBT_POWERSETTINGCHANGE, which the headers of Windows 2000 lack.
static const WPARAM powerSettingChange = 0x8013;

static SYSTEM_POWER_STATUS mainThreadStatus = noStatusYet;

PowerReading readPowerStatus(SYSTEM_POWER_STATUS& record)
{
    SYSTEM_POWER_STATUS fresh;
    if (osGetSystemPowerStatus(&fresh))
        record = fresh;
    return {record.ACLineStatus, record.BatteryFlag, record.BatteryLifePercent};
}

// Only a change of what is needed touches the poll: a computer without a battery has none.
static void updatePoll()
{
    bool needed = batteryPollNeeded(batteryPresent != 0, notificationsArrive);
    if (needed == pollRunning)
        return;
    pollRunning = needed;
    if (needed)
        osSetTimer(mainWindow, batteryPollTimer, 10000);
    else
        osKillTimer(mainWindow, batteryPollTimer);
}

void updateBatteryPresence()
{
    bool present = hasBattery(readPowerStatus(mainThreadStatus));
    if (present != (batteryPresent != 0))
        InterlockedExchange(&batteryPresent, present ? 1 : 0);
    updatePoll();
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
    onBatteryReading(reading);
}

LRESULT onPowerEvent(WPARAM event)
{
    if (event == powerSettingChange)
        notificationsArrive = true;
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
