// The DPI a window is shown at, for the pixel sizes that the code scales itself.
#include <windows.h>

#include "app/dpi.h"
#include "app/look_up.h"

// Windows tells a window's own DPI from Windows 10 1607 on; before, the screen's is taken.
typedef UINT(WINAPI* GetDpiForWindowProc)(HWND);

uint32_t windowDpi(HWND window)
{
    GetDpiForWindowProc dpiForWindow = lookUpFunction<GetDpiForWindowProc>("USER32.dll", "GetDpiForWindow");
    UINT dpi = dpiForWindow != nullptr ? dpiForWindow(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen != nullptr ? static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY)) : 0;
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : standardDpi;
}
