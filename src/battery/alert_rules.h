// The battery alerts: when a level crosses the user's alert levels, what the balloon
// says, the action the low alert may ask for, and whether the level still needs a
// poll; free of the Win32 API.
#pragma once
#include <cstddef>
#include <cstdint>

#include "battery/battery_rules.h"

// How far the level must go back past an alert level before that alert can come again,
// so that a level wavering at the edge does not repeat it.
const uint32_t alertRearmPoints = 3;

// Whether each alert has been given since the level last went back past it.
struct AlertTrack {
    bool lowGiven;
    bool chargedGiven;
};

enum BatteryAlert { alertNone, alertLow, alertCharged };

// A new reading against the alert levels (0: off; a low level above 99 counts as 99, a
// charged one above 100 as 100): the low alert on battery at or below its level, the
// charged one on mains at or above its level, each once per crossing. A reading
// without a battery or without a level changes nothing.
BatteryAlert checkBatteryAlert(const PowerReading& r, uint32_t lowPercent, uint32_t chargedPercent, AlertTrack& track);

// The balloon's title ("Battery low") and text, which names the level, and for the low
// alert the action that follows (the choice of the list below) and how: at once, once
// confirmed, or after its warning, as the prompt mode and its seconds say.
void batteryAlertTexts(BatteryAlert alert, const PowerReading& r, uint32_t lowAction, uint32_t promptMode,
                       uint32_t warnSeconds, char* title, size_t titleSize, char* text, size_t textSize);

// The low alert's choices as the list shows them, and the PowerAction each names;
// -1 for none, also for any value the list does not have.
extern const char* const lowAlertActionNames[5];  // "Nothing", "Suspend", "Hibernate", "Shutdown", "Power Off"
int32_t lowAlertPowerAction(uint32_t choice);

// The 10-second poll is needed only while a battery is present and Windows does not
// tell of its changes by itself.
bool batteryPollNeeded(bool batteryPresent, bool notificationsArrive);

// The number the tray icon shows ("57", "100"), empty when there is none to show: no
// battery, no level reading, or the switch off.
void trayLevelText(uint32_t trayShowsPercent, const PowerReading& r, char* out, size_t outSize);

// What the Alerts dialog stores for an alert: 0 while its box is clear, else the typed
// level within 1 and `most`.
uint8_t alertLevelFromBox(bool checked, uint32_t typed, uint32_t most);
