// The battery alerts: a balloon once per crossing of the user's levels, each reading
// handed to the agenda (which keeps the low alert's action while the battery stays low),
// and the level on the tray icon.
#include "app/globals.h"
#include "battery/alert_rules.h"
#include "battery/battery.h"
#include "power/power_calls.h"
#include "tray/tray.h"
#include "triggers/triggers.h"

static AlertTrack alertTrack;

// Judged, and told to the agenda, before the shell is called: a broadcast let in while that
// call waits brings a newer reading, and this older one judged after it would re-arm an
// alert already given, or end the low battery's call as if the level had come back.
void onBatteryReading(const PowerReading& reading)
{
    BatteryAlert alert = checkBatteryAlert(reading, settings.lowAlertPercent, settings.chargedAlertPercent, alertTrack);
    agendaBattery(reading, alert == alertLow);
    // The tooltip names the level wherever there is a battery; the icon shows it when asked.
    char level[8];
    trayLevelText(1, reading, level, sizeof level);
    showTrayLevel(level);
    if (alert != alertNone) {
        char title[64];
        char text[256];
        batteryAlertTexts(alert, reading, settings.lowAlertAction, settings.trayPromptMode, settings.trayWarnSeconds, title,
                          sizeof title, text, sizeof text);
        showTrayBalloon(title, text, alert == alertLow);
        if (settings.warningSound)
            osPlayWarningSound();
    }
}
