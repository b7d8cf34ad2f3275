// Pixel sizes written in the code are those of 100% (96 dots per inch); each window
// scales them to its own DPI, so that at 200% they grow with the dialogs around them.
#pragma once
#include <cstdint>

const uint32_t standardDpi = 96;
// WM_DPICHANGED, sent to a window whose DPI changed (Windows 8.1 and later).
const uint32_t dpiChangedMessage = 0x02E0;

// `pixels` at 100% as pixels at `dpi`, rounded to the nearest as MulDiv rounds.
inline int32_t scaleForDpi(int32_t pixels, uint32_t dpi)
{
    int64_t product = static_cast<int64_t>(pixels) * dpi;
    int64_t half = product < 0 ? -int64_t(standardDpi / 2) : int64_t(standardDpi / 2);
    return static_cast<int32_t>((product + half) / standardDpi);
}

// Where a window `length` pixels long starts when centred in an area, but never before
// the area's start: one larger than the area keeps its caption on it.
inline int32_t centeredStart(int32_t areaStart, int32_t areaLength, int32_t length)
{
    int32_t start = areaStart + (areaLength - length) / 2;
    return start > areaStart ? start : areaStart;
}

// The DPI of the window: of its monitor where Windows tells (Windows 10 1607 and
// later), else of the screen; never 0. Windows only (HWND without windows.h).
struct HWND__;
uint32_t windowDpi(HWND__* window);
// Moves a window to the centre of the work area of the monitor that holds the pointer,
// where the user looks. Windows only.
void centerOnPointerMonitor(HWND__* window);
