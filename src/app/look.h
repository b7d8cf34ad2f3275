// The colours of what Pelk draws itself, the battery monitor and the level on the tray
// icon: its own look, or the system's colours while a high-contrast theme is on, for
// the user who chose that theme to read the screen at all. Free of the Win32 API.
#pragma once
#include <cstdint>

// Colours as Windows gives them (COLORREF: 0x00BBGGRR).
struct SystemColours {
    uint32_t window, windowText, highlight, buttonFace, buttonText;
};
// The look of a moment: whether a high-contrast theme is on, and the system's colours then.
struct Look {
    bool highContrast;
    SystemColours system;
};

enum LookPart : uint32_t { monitorBackground, monitorText, barFill, barTrack, barBorder, iconDigits, iconSquare };
// A part that its control draws as Windows draws it, Pelk choosing nothing.
const uint32_t controlsOwnColour = 0xFFFFFFFF;

// The colour of a part (COLORREF), or controlsOwnColour.
uint32_t lookColour(const Look& look, LookPart part);
// Whether the monitor lets the desktop show through: where the user asked for it, and
// never in high contrast, where a blend of two colours would be neither of the theme's.
bool monitorTranslucent(const Look& look, uint32_t monitorTransparent);
// Whether a WM_SETTINGCHANGE, by its action and the area it names (may be null), can
// have changed the look: the high-contrast switch itself, the theme's metrics, or
// Windows 10's colour set, which it also sends as the theme changes.
bool settingChangesLook(uint32_t action, const char* area);
// A colour as a pixel of a 32-bit bitmap: 0xAARRGGBB, fully opaque.
uint32_t opaquePixel(uint32_t colour);

// The look of now, read from Windows. Windows only (look_win.cpp).
Look currentLook();
