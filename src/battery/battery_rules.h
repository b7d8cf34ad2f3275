// The battery's classification, when it is worth a notice, and where and how
// long the monitor window shows; free of the Win32 API.
#pragma once
#include <cstddef>
#include <cstdint>

// The fields of the platform's power status that Pelk reads.
struct PowerReading {
    uint8_t acLine;   // 1: on mains power
    uint8_t flag;     // bit 8: charging; bit 128: no system battery
    uint8_t percent;  // 0 to 100; 255: no reading
};

enum BatteryState : uint32_t { onBattery = 1, charged = 2, charging = 3, notCharging = 4 };

// The charge level as a signed byte widened, so that "no reading" (255) is -1.
int32_t batteryLevel(const PowerReading& r);
bool hasBattery(const PowerReading& r);
// Compared unsigned: -1 lies above every threshold.
BatteryState batteryStateFor(const PowerReading& r, uint32_t chargedPercent);

// The baseline of the level notices and the state of the last state notice.
struct BatteryTrack {
    uint32_t lastPercent;
    uint32_t lastState;  // 0: none yet
};
// Updates the track with a new reading; returns how many notices it gives (0 to 2).
int trackBattery(const PowerReading& r, uint32_t stepPercent, uint32_t chargedPercent, BatteryTrack& track);

// The monitor's state line: "No Battery!", "Charged", "Battery Charging ", "NOT Charging", "On Battery".
const char* monitorStateText(bool batteryPresent, const PowerReading& r, uint32_t chargedPercent);
// The level line: the signed level and "%".
void monitorLevelText(const PowerReading& r, char* out, size_t outSize);

// A rectangle of screen pixels; right and bottom lie just outside it, as in Windows.
struct PixelRect {
    int32_t left, top, right, bottom;
};
// A monitor as the monitor window sees it: the whole screen, its work area (what the
// taskbar leaves free), and its DPI.
struct MonitorArea {
    PixelRect screen;
    PixelRect work;
    uint32_t dpi;
};

// Where the monitor window, width x height pixels, goes on `area`: at the hover point
// (nudged away from the screen's edges, unsigned comparisons, distances of 100% scaled
// to the DPI), in a corner of the work area, or at the free position as it stands.
// `left` and `top` hold the stored position and receive the new one; true when the
// hover point was used up.
bool placeMonitorAt(uint32_t location, bool hoverOpen, const MonitorArea& area, int32_t width, int32_t height,
                    int32_t& left, int32_t& top);
// Moves a window of width x height at `left`, `top` the least that puts it inside
// `area`; one larger than the area keeps its top-left corner inside.
void bringIntoArea(const PixelRect& area, int32_t width, int32_t height, int32_t& left, int32_t& top);

// Whether the window stays at its 2-second tick: in mode 2 only while hovering goes
// on over a window that hovering opened, in any other mode while the monitor is enabled.
bool monitorStaysOpen(uint32_t showMode, bool trayHoverSeen, bool hoverOpen, uint32_t monitorEnabled);
