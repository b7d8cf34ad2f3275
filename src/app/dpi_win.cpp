// A window's monitor: the DPI the window is shown at, for the pixel sizes that the code
// scales itself, and where a dialog opens.
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

void centerOnPointerMonitor(HWND window)
{
    POINT pointer = {0, 0};
    GetCursorPos(&pointer);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT frame = {0, 0, 0, 0};
    if (!GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor) || !GetWindowRect(window, &frame))
        return;
    const RECT& work = monitor.rcWork;
    SetWindowPos(window, nullptr, centeredStart(work.left, work.right - work.left, frame.right - frame.left),
                 centeredStart(work.top, work.bottom - work.top, frame.bottom - frame.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
