// The battery alerts: a balloon once per crossing of the user's levels, the low alert's
// action on the road of every trigger, and the level on the tray icon.
#include "app/globals.h"
#include "battery/alert_rules.h"
#include "battery/battery.h"
#include "power/power_calls.h"
#include "tray/tray.h"
#include "triggers/triggers.h"

static AlertTrack alertTrack;
static bool lowActionAsked;

// Judged before the shell is called: a broadcast let in while that call waits brings a newer
// reading, and this older one judged after it would re-arm an alert already given.
void onBatteryReading(const PowerReading& reading)
{
    BatteryAlert alert = checkBatteryAlert(reading, settings.lowAlertPercent, settings.chargedAlertPercent, alertTrack);
    // The tooltip names the level wherever there is a battery; the icon shows it when asked.
    char level[8];
    trayLevelText(1, reading, level, sizeof level);
    showTrayLevel(level);
    if (alert == alertNone)
        return;
    char title[64];
    char text[256];
    batteryAlertTexts(alert, reading, title, sizeof title, text, sizeof text);
    showTrayBalloon(title, text, alert == alertLow);
    if (settings.warningSound)
        osPlayWarningSound();
    // Posted, so that the prompt's own message loop does not run inside a power broadcast.
    if (alert == alertLow && lowAlertPowerAction(settings.lowAlertAction) >= 0 && !lowActionAsked) {
        lowActionAsked = true;
        PostMessageA(mainWindow, lowAlertActionMessage, 0, 0);
    }
}

// Only the action the user chose, read again now: one changed meanwhile to "Nothing" is not performed.
void runLowAlertAction(HWND window)
{
    lowActionAsked = false;
    int32_t action = lowAlertPowerAction(settings.lowAlertAction);
    if (action >= 0)
        runTriggerAction(window, static_cast<DWORD>(action), settings.trayWarnSeconds, 0, 0);
}
