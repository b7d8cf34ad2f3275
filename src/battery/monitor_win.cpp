// The battery monitor window: a small captionless dialog on a thread of its own
// that shows the charge as a bar and a percentage and the power state in words,
// places itself, can be dragged in the Free location, and closes by its show mode.
#include <windows.h>
#include <commctrl.h>

#include "app/dpi.h"
#include "app/globals.h"
#include "app/look_up.h"
#include "battery/battery.h"
#include "battery/battery_rules.h"
#include "power/power_calls.h"
#include "resources/resource.h"

static const UINT closeRequest = WM_APP + 1;
static const UINT placeRequest = WM_APP + 2;
static const UINT_PTR closingTimer = 1;
static const UINT_PTR refreshTimer = 2;
static const BYTE translucentAlpha = 50;

// Written on the monitor thread, read by the tray's On/Off click on the main thread.
static HWND volatile monitorWindow;
static bool monitorDragging;
static LONG dragOffsetX;
static LONG dragOffsetY;
// The place in the z-order last given (top-most or bottom), on the monitor thread.
static HWND appliedOrder;

void setMonitorPosition(LONG left, LONG top)
{
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&settings.monitorLeft), left);
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&settings.monitorTop), top);
}

static SYSTEM_POWER_STATUS monitorThreadStatus = noStatusYet;

static void refreshMonitor(HWND dialog)
{
    PowerReading reading = readPowerStatus(monitorThreadStatus);
    if (batteryPresent) {
        char level[16];
        monitorLevelText(reading, level, sizeof level);
        SendDlgItemMessageA(dialog, IDC_MONITOR_BAR, PBM_SETPOS, static_cast<WPARAM>(batteryLevel(reading)), 0);
        SetDlgItemTextA(dialog, IDC_MONITOR_LEVEL, level);
    }
    SetDlgItemTextA(dialog, IDC_MONITOR_STATE, monitorStateText(batteryPresent != 0, reading, settings.chargedPercent));
}

static MonitorArea areaOf(HMONITOR monitor, HWND dialog)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        SetRect(&info.rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        info.rcWork = info.rcMonitor;
    }
    const RECT& s = info.rcMonitor;
    const RECT& w = info.rcWork;
    return {{s.left, s.top, s.right, s.bottom}, {w.left, w.top, w.right, w.bottom}, windowDpi(dialog)};
}

// Corners are those of the work area of the monitor the window is on, so the window
// never covers the taskbar; the hover point belongs to the monitor of the tray; a free
// position that no monitor shows any more (one taken away) comes back to the nearest.
static void placeMonitor(HWND dialog)
{
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(dialog, &frame);
    int32_t width = frame.right - frame.left;
    int32_t height = frame.bottom - frame.top;
    int32_t left = settings.monitorLeft;
    int32_t top = settings.monitorTop;
    uint32_t location = settings.monitorLocation;
    bool hover = monitorHoverOpen != 0;
    RECT stored = {left, top, left + width, top + height};
    POINT point = {left, top};
    HMONITOR monitor = location == 4 ? MonitorFromRect(&stored, MONITOR_DEFAULTTONULL)
                       : hover       ? MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST)
                                     : MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST);
    bool shown = monitor != nullptr;
    MonitorArea area = areaOf(shown ? monitor : MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), dialog);
    if (placeMonitorAt(location, hover, area, width, height, left, top))
        InterlockedExchange(&monitorHoverOpen, 0);
    if (!shown)
        bringIntoArea(area.work, width, height, left, top);
    setMonitorPosition(left, top);
    // Only the opening and a change of the setting move it in the z-order: placed again
    // every 2 seconds, a top-most window would rise above a menu opened meanwhile.
    HWND order = settings.monitorShowMode == 2 || settings.monitorOnTop == 1 ? HWND_TOPMOST : HWND_BOTTOM;
    UINT keepOrder = order == appliedOrder ? SWP_NOZORDER : 0;
    appliedOrder = order;
    SetWindowPos(dialog, order, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | keepOrder);
}

// Layered windows arrived with Windows 2000's user32; the call is looked up, not linked.
typedef BOOL(WINAPI* SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);

static void makeTranslucent(HWND dialog, BYTE alpha)
{
    SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributesProc setAttributes =
        lookUpFunction<SetLayeredWindowAttributesProc>("USER32.dll", "SetLayeredWindowAttributes");
    if (setAttributes != nullptr)
        setAttributes(dialog, 0, alpha, LWA_ALPHA);
}

static void onMonitorInit(HWND dialog)
{
    monitorWindow = dialog;
    appliedOrder = nullptr;
    if (batteryPresent == 0)
        EndDialog(dialog, 0);  // the set-up still runs; the window closes right after
    if (settings.monitorTransparent)
        makeTranslucent(dialog, translucentAlpha);
    placeMonitor(dialog);
    osSetTimer(dialog, closingTimer, 2000);
    osSetTimer(dialog, refreshTimer, 5000);
    refreshMonitor(dialog);
    // Shown here, without activation, before the dialog box would show and activate it:
    // the monitor must not take the keyboard from the window the user works in.
    if (batteryPresent != 0)
        ShowWindow(dialog, SW_SHOWNOACTIVATE);
}

// Every 2 seconds: the closing rule of the show mode, then the placement.
static void onClosingTick(HWND dialog)
{
    uint32_t mode = settings.monitorShowMode;
    if (!monitorStaysOpen(mode, trayHoverSeen != 0, monitorHoverOpen != 0, settings.monitorEnabled)) {
        if (mode == 2)
            InterlockedExchange(&monitorHoverOpen, 0);
        EndDialog(dialog, 0);
    }
    if (mode != 2)
        placeMonitor(dialog);
    InterlockedExchange(&trayHoverSeen, 0);
}

// Moves the window with the pointer, keeping the grab point of this drag's start: the
// pointer's place on the window's frame, so the window moves only when the pointer does.
static void dragStep(HWND dialog)
{
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    if (!monitorDragging) {
        monitorDragging = true;
        SetCapture(dialog);
        RECT frame = {0, 0, 0, 0};
        GetWindowRect(dialog, &frame);
        dragOffsetX = cursor.x - frame.left;
        dragOffsetY = cursor.y - frame.top;
    }
    LONG left = cursor.x - dragOffsetX;
    LONG top = cursor.y - dragOffsetY;
    setMonitorPosition(left, top);
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static INT_PTR CALLBACK monitorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: onMonitorInit(dialog); return FALSE;  // no focus: that would activate the window
    case WM_MOUSEACTIVATE:  // clicks and drags leave the active window as it is
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, MA_NOACTIVATE);
        return TRUE;
    case WM_RBUTTONUP: PostMessageA(mainWindow, openOptionsMessage, 0, 0); return TRUE;
    case WM_LBUTTONUP:
        if (!monitorDragging)
            return FALSE;
        ReleaseCapture();
        monitorDragging = false;
        return TRUE;
    case WM_MOUSEMOVE:
        if (settings.monitorLocation != 4)
            return FALSE;
        if (wParam & MK_LBUTTON)
            dragStep(dialog);
        return TRUE;
    case WM_TIMER:
        if (wParam == closingTimer)
            onClosingTick(dialog);
        else if (wParam == refreshTimer)
            refreshMonitor(dialog);
        return TRUE;
    case closeRequest: EndDialog(dialog, 0); return TRUE;
    // Windows scales the dialog to the DPI of the monitor it has moved to; then the
    // window is placed again for its new size, as its 2-second tick would.
    case dpiChangedMessage: PostMessageA(dialog, placeRequest, 0, 0); return FALSE;
    case placeRequest:
        if (settings.monitorShowMode != 2)
            placeMonitor(dialog);
        return TRUE;
    }
    return FALSE;
}

static DWORD WINAPI runMonitor(void*)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_MONITOR), mainWindow, monitorDialogProc, 0);
    monitorWindow = nullptr;
    monitorDragging = false;
    InterlockedExchange(&monitorOpen, 0);
    return 0;
}

// No thread starts without a battery: its window would only close again, and one started late,
// after a battery came, would take the place of the window the user asks for then.
void showMonitor()
{
    if (!settings.monitorEnabled || batteryPresent == 0 || monitorOpen != 0)
        return;
    InterlockedExchange(&monitorOpen, 1);
    HANDLE thread = CreateThread(nullptr, 0, runMonitor, nullptr, 0, nullptr);
    // A thread that never started must not keep the monitor shut for good.
    if (thread == nullptr)
        InterlockedExchange(&monitorOpen, 0);
    else
        CloseHandle(thread);
}

void closeMonitor()
{
    HWND window = monitorWindow;
    if (window != nullptr)
        PostMessageA(window, closeRequest, 0, 0);
}
