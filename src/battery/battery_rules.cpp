// Battery classification, notices, the monitor's texts, placement and closing rule.
#include "battery/battery_rules.h"

#include "app/text.h"

int32_t batteryLevel(const PowerReading& r) { return static_cast<int8_t>(r.percent); }

bool hasBattery(const PowerReading& r) { return (r.flag & 128) == 0; }

BatteryState batteryStateFor(const PowerReading& r, uint32_t chargedPercent)
{
    if (r.acLine != 1)
        return onBattery;
    if (static_cast<uint32_t>(batteryLevel(r)) > chargedPercent)
        return charged;
    return (r.flag & 8) ? charging : notCharging;
}

int trackBattery(const PowerReading& r, uint32_t stepPercent, uint32_t chargedPercent, BatteryTrack& track)
{
    int notices = 0;
    uint32_t p = static_cast<uint32_t>(batteryLevel(r));
    uint32_t moved = p > track.lastPercent ? p - track.lastPercent : track.lastPercent - p;
    if (moved >= stepPercent) {
        track.lastPercent = p;
        ++notices;
    }
    uint32_t state = batteryStateFor(r, chargedPercent);
    if (state != track.lastState) {
        track.lastState = state;
        ++notices;
    }
    return notices;
}

const char* monitorStateText(bool batteryPresent, const PowerReading& r, uint32_t chargedPercent)
{
    if (!batteryPresent)
        return "No Battery!";
    switch (batteryStateFor(r, chargedPercent)) {
    case charged: return "Charged";
    case charging: return "Battery Charging ";
    case notCharging: return "NOT Charging";
    default: return "On Battery";
    }
}

void monitorLevelText(const PowerReading& r, char* out, size_t outSize)
{
    int32_t level = batteryLevel(r);
    copyText(out, outSize, level < 0 ? "-" : "");
    appendNumber(out, outSize, static_cast<uint32_t>(level < 0 ? -level : level));
    appendText(out, outSize, "%");
}

bool placeMonitorAt(uint32_t location, bool hoverOpen, int32_t cx, int32_t cy, int32_t& left, int32_t& top)
{
    if (location == 4)
        return false;
    if (hoverOpen) {
        uint32_t x = static_cast<uint32_t>(left);
        uint32_t y = static_cast<uint32_t>(top);
        if (x < 30)
            x += 25;
        else if (x > static_cast<uint32_t>(cx - 30))
            x -= 95;
        if (y > static_cast<uint32_t>(cy - 30))
            y -= 20;
        left = static_cast<int32_t>(x);
        top = static_cast<int32_t>(y);
        return true;
    }
    left = (location == 0 || location == 2) ? 0 : cx - 110;
    top = (location == 0 || location == 1) ? 0 : cy - 40;
    return false;
}

bool monitorStaysOpen(uint32_t showMode, bool trayHoverSeen, bool hoverOpen, uint32_t monitorEnabled)
{
    if (showMode == 2)
        return trayHoverSeen && hoverOpen;
    return monitorEnabled != 0;
}
