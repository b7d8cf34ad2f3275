// The battery alerts' crossing rules and texts, and the level on the tray icon.
#include "battery/alert_rules.h"

#include "app/text.h"
#include "power/actions.h"

BatteryAlert checkBatteryAlert(const PowerReading& r, uint32_t lowPercent, uint32_t chargedPercent, AlertTrack& track)
{
    int32_t level = batteryLevel(r);
    if (!hasBattery(r) || level < 0 || level > 100)
        return alertNone;
    uint32_t p = static_cast<uint32_t>(level);
    uint32_t low = lowPercent > 99 ? 99 : lowPercent;
    uint32_t full = chargedPercent > 100 ? 100 : chargedPercent;
    // Back past a level by the margin: that alert can come again.
    if (p >= low + alertRearmPoints)
        track.lowGiven = false;
    if (p + alertRearmPoints <= full)
        track.chargedGiven = false;
    bool onMains = r.acLine == 1;
    if (low != 0 && !onMains && p <= low && !track.lowGiven) {
        track.lowGiven = true;
        return alertLow;
    }
    if (full != 0 && onMains && p >= full && !track.chargedGiven) {
        track.chargedGiven = true;
        return alertCharged;
    }
    return alertNone;
}

void batteryAlertTexts(BatteryAlert alert, const PowerReading& r, uint32_t lowAction, uint32_t promptMode,
                       uint32_t warnSeconds, char* title, size_t titleSize, char* text, size_t textSize)
{
    copyText(title, titleSize, alert == alertLow ? "Battery low" : "Battery charged");
    copyText(text, textSize, alert == alertLow ? "The battery is down to " : "The battery is charged to ");
    appendNumber(text, textSize, static_cast<uint32_t>(batteryLevel(r)));
    if (alert != alertLow) {
        appendText(text, textSize, "%. Unplug the computer to spare the battery.");
        return;
    }
    appendText(text, textSize, "%. Plug the computer in, or save your work");
    const int32_t action = lowAlertPowerAction(lowAction);
    if (action >= 0) {
        appendText(text, textSize, ": ");
        appendText(text, textSize, promptActionName(static_cast<uint32_t>(action)));
        if (promptMode == 2) {
            appendText(text, textSize, " follows after a ");
            appendNumber(text, textSize, warnSeconds);
            appendText(text, textSize, "-second warning");
        } else {
            appendText(text, textSize, promptMode == 1 ? " follows once you confirm it" : " follows at once");
        }
    }
    appendText(text, textSize, ".");
}

const char* const lowAlertActionNames[5] = {"Nothing", "Suspend", "Hibernate", "Shutdown", "Power Off"};

int32_t lowAlertPowerAction(uint32_t choice)
{
    const int32_t actions[] = {-1, 4, 5, 2, 0};
    return choice < sizeof actions / sizeof actions[0] ? actions[choice] : -1;
}

bool batteryPollNeeded(bool batteryPresent, bool notificationsArrive) { return batteryPresent && !notificationsArrive; }

void trayLevelText(uint32_t trayShowsPercent, const PowerReading& r, char* out, size_t outSize)
{
    int32_t level = batteryLevel(r);
    copyText(out, outSize, "");
    if (trayShowsPercent != 0 && hasBattery(r) && level >= 0 && level <= 100)
        appendNumber(out, outSize, static_cast<uint32_t>(level));
}

uint8_t alertLevelFromBox(bool checked, uint32_t typed, uint32_t most)
{
    if (!checked)
        return 0;
    return static_cast<uint8_t>(typed < 1 ? 1 : typed > most ? most : typed);
}
