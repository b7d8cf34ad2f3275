// Which colour each part of Pelk's own drawing takes, in its own look and in high contrast.
#include "app/look.h"

#include <cstring>

#include "app/text.h"

// The tray icon's own look: white digits on a dark blue square, which read on a light
// and on a dark taskbar alike.
static const uint32_t ownDigits = 0x00FFFFFF;
static const uint32_t ownSquare = 0x00663A20;  // red 0x20, green 0x3A, blue 0x66

// In high contrast every part takes a colour of one of the pairs that the theme promises
// to read well together, as Windows' own controls take them:
// - the monitor is a dialog, and Windows paints a dialog's face and its texts in the button
//   face and button text colours (a window's text colour is paired with the window colour,
//   not with the face);
// - the bar is the classic progress bar: the charge in the highlight colour, the rest in the
//   face colour, and, since the theme's 3D shades need not stand out from the face, an
//   outline in the button text colour, as high-contrast themes outline their controls;
// - the icon's digits are text on a window of their own: the window text colour on the
//   window colour, opaque, since what the taskbar shows behind them is not Pelk's to know.
uint32_t lookColour(const Look& look, LookPart part)
{
    const SystemColours& s = look.system;
    switch (part) {
    case monitorBackground:
    case barTrack: return look.highContrast ? s.buttonFace : controlsOwnColour;
    case monitorText:
    case barBorder: return look.highContrast ? s.buttonText : controlsOwnColour;
    case barFill: return look.highContrast ? s.highlight : controlsOwnColour;
    case iconDigits: return look.highContrast ? s.windowText : ownDigits;
    case iconSquare: return look.highContrast ? s.window : ownSquare;
    }
    return controlsOwnColour;
}

bool monitorTranslucent(const Look& look, uint32_t monitorTransparent)
{
    return monitorTransparent != 0 && !look.highContrast;
}

bool settingChangesLook(uint32_t action, const char* area)
{
    const uint32_t setHighContrast = 0x0043;  // SPI_SETHIGHCONTRAST
    if (action == setHighContrast)
        return true;
    if (area == nullptr)
        return false;
    static const char* const names[] = {"WindowMetrics", "ImmersiveColorSet"};
    for (const char* name : names) {
        if (sameTextIgnoringCase(area, name, std::strlen(name) + 1))
            return true;
    }
    return false;
}

uint32_t opaquePixel(uint32_t colour)
{
    return 0xFF000000 | (colour & 0x0000FF) << 16 | (colour & 0x00FF00) | (colour & 0xFF0000) >> 16;
}
