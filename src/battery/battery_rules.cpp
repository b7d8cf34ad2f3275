// Battery classification, notices, the monitor's texts, placement and closing rule.
#include "battery/battery_rules.h"

#include "app/dpi.h"
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

bool placeMonitorAt(uint32_t location, bool hoverOpen, const MonitorArea& area, int32_t width, int32_t height,
                    int32_t& left, int32_t& top)
{
    if (location == 4)
        return false;
    if (hoverOpen) {
        // Measured from the screen's own corner, so that a monitor left of or above the
        // main one (negative coordinates) is nudged as the main one is.
        const PixelRect& s = area.screen;
        uint32_t x = static_cast<uint32_t>(left) - static_cast<uint32_t>(s.left);
        uint32_t y = static_cast<uint32_t>(top) - static_cast<uint32_t>(s.top);
        uint32_t cx = static_cast<uint32_t>(s.right) - static_cast<uint32_t>(s.left);
        uint32_t cy = static_cast<uint32_t>(s.bottom) - static_cast<uint32_t>(s.top);
        auto px = [&area](int32_t pixels) { return static_cast<uint32_t>(scaleForDpi(pixels, area.dpi)); };
        if (x < px(30))
            x += px(25);
        else if (x > cx - px(30))
            x -= px(95);
        if (y > cy - px(30))
            y -= px(20);
        left = static_cast<int32_t>(static_cast<uint32_t>(s.left) + x);
        top = static_cast<int32_t>(static_cast<uint32_t>(s.top) + y);
        return true;
    }
    const PixelRect& w = area.work;
    left = (location == 0 || location == 2) ? w.left : w.right - width;
    top = (location == 0 || location == 1) ? w.top : w.bottom - height;
    return false;
}

void bringIntoArea(const PixelRect& area, int32_t width, int32_t height, int32_t& left, int32_t& top)
{
    if (left > area.right - width)
        left = area.right - width;
    if (top > area.bottom - height)
        top = area.bottom - height;
    if (left < area.left)
        left = area.left;
    if (top < area.top)
        top = area.top;
}

bool monitorStaysOpen(uint32_t showMode, bool trayHoverSeen, bool hoverOpen, uint32_t monitorEnabled)
{
    if (showMode == 2)
        return trayHoverSeen && hoverOpen;
    return monitorEnabled != 0;
}
