// The look of now: the high-contrast switch (through the power door, where the test
// build can serve it) and the system's colours.
#include <windows.h>

#include "app/look.h"
#include "power/power_calls.h"

Look currentLook()
{
    Look look = {osHighContrast(), {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT),
                                    GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)}};
    return look;
}
