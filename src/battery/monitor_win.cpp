// The battery monitor window: a small captionless dialog on a thread of its own
// that shows the charge as a bar and a percentage and the power state in words,
// places itself, can be dragged in the Free location, and closes by its show mode.
// In high contrast it takes the theme's colours (app/look), and hears itself of a change.
#include <windows.h>
#include <commctrl.h>

#include "app/dpi.h"
#include "app/globals.h"
#include "app/look.h"
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
// The look the window shows: read as it opens and at each change of the theme, on the monitor thread.
static Look monitorLook;

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

// Opaque again once the style is gone; the window is then painted afresh.
static void makeTranslucent(HWND dialog, bool translucent)
{
    LONG style = GetWindowLongA(dialog, GWL_EXSTYLE);
    if (!translucent) {
        if (style & WS_EX_LAYERED)
            SetWindowLongA(dialog, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
        return;
    }
    SetWindowLongA(dialog, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributesProc setAttributes =
        lookUpFunction<SetLayeredWindowAttributesProc>("USER32.dll", "SetLayeredWindowAttributes");
    if (setAttributes != nullptr)
        setAttributes(dialog, 0, translucentAlpha, LWA_ALPHA);
}

static void fillWith(HDC dc, const RECT& area, uint32_t colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A bar drawn by a visual style keeps the style's colours whatever PBM_SETBARCOLOR asks,
// so in high contrast the bar is painted here: its outline a pixel of 100% thick (two at
// 200%), the charge, and the rest.
static void paintBar(HWND bar)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(bar, &paint);
    RECT area = {0, 0, 0, 0};
    GetClientRect(bar, &area);
    fillWith(dc, area, lookColour(monitorLook, barBorder));
    const int line = scaleForDpi(1, windowDpi(bar));
    InflateRect(&area, -line, -line);
    fillWith(dc, area, lookColour(monitorLook, barTrack));
    const int low = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
    const int high = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    int position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
    position = position < low ? low : position > high ? high : position;
    if (high > low && area.right > area.left) {
        area.right = area.left + (area.right - area.left) * (position - low) / (high - low);
        fillWith(dc, area, lookColour(monitorLook, barFill));
    }
    EndPaint(bar, &paint);
}

// The bar is subclassed through the common controls of Windows XP on, which name these
// functions; Windows 2000 has no visual styles, and its classic bar draws in the system's
// colours already.
typedef LRESULT(CALLBACK* BarProc)(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
typedef BOOL(WINAPI* SetWindowSubclassProc)(HWND, BarProc, UINT_PTR, DWORD_PTR);
typedef BOOL(WINAPI* RemoveWindowSubclassProc)(HWND, BarProc, UINT_PTR);
typedef LRESULT(WINAPI* DefSubclassProcProc)(HWND, UINT, WPARAM, LPARAM);
static DefSubclassProcProc defaultBarProc;

static LRESULT CALLBACK barProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NCDESTROY) {  // a subclass ends before its window
        RemoveWindowSubclassProc removeSubclass =
            lookUpFunction<RemoveWindowSubclassProc>("COMCTL32.dll", "RemoveWindowSubclass");
        if (removeSubclass != nullptr)
            removeSubclass(bar, barProc, 1);
    }
    if (lookColour(monitorLook, barFill) == controlsOwnColour)
        return defaultBarProc(bar, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: paintBar(bar); return 0;
    case PBM_SETPOS: {  // a bar may draw a new position at once; here it is painted afresh
        LRESULT previous = defaultBarProc(bar, message, wParam, lParam);
        InvalidateRect(bar, nullptr, FALSE);
        return previous;
    }
    }
    return defaultBarProc(bar, message, wParam, lParam);
}

static void subclassBar(HWND dialog)
{
    SetWindowSubclassProc setSubclass = lookUpFunction<SetWindowSubclassProc>("COMCTL32.dll", "SetWindowSubclass");
    defaultBarProc = lookUpFunction<DefSubclassProcProc>("COMCTL32.dll", "DefSubclassProc");
    if (setSubclass != nullptr && defaultBarProc != nullptr)
        setSubclass(GetDlgItem(dialog, IDC_MONITOR_BAR), barProc, 1, 0);
}

// The look of now: the window opaque in high contrast, translucent again after it where
// the user asked for it, and painted afresh, the frame and the controls too.
static void applyMonitorLook(HWND dialog)
{
    monitorLook = currentLook();
    makeTranslucent(dialog, monitorTranslucent(monitorLook, settings.monitorTransparent));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The face and the texts in the look's colours; outside high contrast, as Windows paints
// any dialog. The DC's own brush takes the colour, so no brush is kept.
static INT_PTR lookBrush(HDC dc)
{
    const uint32_t face = lookColour(monitorLook, monitorBackground);
    if (face == controlsOwnColour)
        return FALSE;
    SetTextColor(dc, lookColour(monitorLook, monitorText));
    SetBkColor(dc, face);
    SetDCBrushColor(dc, face);
    return reinterpret_cast<INT_PTR>(GetStockObject(DC_BRUSH));
}

static void onMonitorInit(HWND dialog)
{
    monitorWindow = dialog;
    appliedOrder = nullptr;
    if (batteryPresent == 0)
        EndDialog(dialog, 0);  // the set-up still runs; the window closes right after
    subclassBar(dialog);
    applyMonitorLook(dialog);
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

static INT_PTR CALLBACK monitorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return lookBrush(reinterpret_cast<HDC>(wParam));
    // A top-level window tells its common controls of new system colours; the theme may have changed.
    case WM_SYSCOLORCHANGE:
        SendDlgItemMessageA(dialog, IDC_MONITOR_BAR, WM_SYSCOLORCHANGE, 0, 0);
        applyMonitorLook(dialog);
        return TRUE;
    case WM_SETTINGCHANGE:
        if (settingChangesLook(static_cast<uint32_t>(wParam), reinterpret_cast<const char*>(lParam)))
            applyMonitorLook(dialog);
        return FALSE;
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
