// The hidden MainWindow: the hub that receives the tray callback, the menu
// commands, the program's own messages, power broadcasts and every timer, and
// hands each to its owner.
#include <windows.h>
#include <shellapi.h>

#include "about/about.h"
#include "app/app.h"
#include "app/shell.h"
#include "battery/battery.h"
#include "options/options.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/settings_file.h"
#include "tray/tray.h"
#include "triggers/triggers.h"

static const char trayTip[] = "Pelk 1.4";

// Adds the tray icon, waiting for a shell that has no notification area yet.
static LRESULT onCreate(HWND window)
{
    mainWindow = window;
    if (settings.trayIconEnabled) {
        do {
            Sleep(500);
        } while (!setTrayIcon(NIM_ADD, trayTip));
    }
    osSetTimer(window, startupTimer, 100);
    return 0;
}

static void onExit(HWND window)
{
    saveSettings();
    DestroyWindow(window);
}

static void onAbout(HWND window)
{
    if (aboutOpen == 0)
        showAboutBox(window);
}

static void onScheduleCommand(HWND window)
{
    if (promptOpen == 0)
        runScheduleCommand(window);
}

static LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0)
        return 0;
    UINT id = LOWORD(wParam);
    if (id == IDM_ABOUT)
        onAbout(window);
    else if (id >= IDM_POWER_OFF && id <= IDM_HIBERNATE)
        confirmTrayAction(window, id);
    else if (id == IDM_SCHEDULE)
        onScheduleCommand(window);
    else if (id == IDM_OPTIONS)
        PostMessageA(window, openOptionsMessage, 0, 0);
    else if (id == IDM_HELP)
        openReadMe();
    else if (id == IDM_ABORT_SHUTDOWN)
        abortShutdown(window);
    else if (id == IDM_EXIT)
        onExit(window);
    return 0;
}

// Runs once, 100 ms after creation, when a message loop first turns.
static void onStartupTimer(HWND window)
{
    osKillTimer(window, startupTimer);
    osSetTimer(window, batteryPollTimer, 10000);
    lastBatteryPercent = 50;
    updateBatteryPresence();
    evaluateBattery();
    PostMessageA(window, showMonitorMessage, 0, 0);
    if (settings.idleEnabled)
        osSetTimer(window, idleTimer, 60000);
}

static void onTimer(HWND window, WPARAM id)
{
    switch (id) {
    case startupTimer: onStartupTimer(window); break;
    case idleTimer: checkIdle(window); break;
    case forceFallbackTimer: onForceFallbackTimer(window); break;
    case forcedRetryTimer: onForcedRetryTimer(window); break;
    case batteryPollTimer: evaluateBattery(); break;
    case scheduleTimer: onScheduleTimer(window); break;
    }
}

static void onOpenOptions(HWND window)
{
    if (optionsOpen == 0)
        showOptionsSheet(window);
}

static void onDestroy()
{
    setTrayIcon(NIM_DELETE, trayTip);
    PostQuitMessage(0);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return onCreate(window);
    case WM_COMMAND: return onCommand(window, wParam, lParam);
    case WM_TIMER: onTimer(window, wParam); return 0;
    case trayCallbackMessage: return onTrayMessage(wParam, lParam);
    case WM_POWERBROADCAST: return onPowerEvent(wParam);
    case openOptionsMessage: onOpenOptions(window); return 0;
    case showMonitorMessage: showMonitor(); return 0;
    case WM_QUERYENDSESSION: saveSettings(); return TRUE;
    case WM_DESTROY: onDestroy(); return 0;
    }
    if (message == taskbarCreatedMsg && taskbarCreatedMsg != 0 && settings.trayIconEnabled)
        return setTrayIcon(NIM_ADD, trayTip);
    return DefWindowProcA(window, message, wParam, lParam);
}
