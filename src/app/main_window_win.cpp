// The hidden MainWindow: the hub that receives the tray callback, the menu
// commands, the program's own messages, power broadcasts and every timer, and
// hands each to its owner.
#include <windows.h>
#include <shellapi.h>

#include "about/about.h"
#include "app/app.h"
#include "app/dpi.h"
#include "app/hand_over.h"
#include "app/look.h"
#include "app/shell.h"
#include "battery/battery.h"
#include "options/options.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "power/remote.h"
#include "resources/resource.h"
#include "settings/policy.h"
#include "settings/settings_file.h"
#include "tray/tray.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"

static const char trayTip[] = "Pelk 1.4";

// How long a start keeps trying to add the icon to a notification area that does not
// answer; after that the shell's "TaskbarCreated" adds it when a taskbar appears.
static const DWORD trayWaitMs = 120000;
static DWORD trayWaitStart;

// A shell that timed out on the add may have added the icon all the same, and then
// refuses every further add of it: a change that it takes means the icon is there.
static bool addTrayIcon()
{
    return setTrayIcon(NIM_ADD, trayTip) || setTrayIcon(NIM_MODIFY, trayTip);
}

// Nothing waits for the icon: the command line, a slam too, runs at once.
static LRESULT onCreate(HWND window)
{
    mainWindow = window;
    reloadTrayImage();
    if (settings.trayIconEnabled && !addTrayIcon()) {
        trayWaitStart = osGetTickCount();
        osSetTimer(window, trayRetryTimer, 500);
    }
    osSetTimer(window, startupTimer, 100);
    agendaDeliver(eventStart);
    osListenForBatteryChanges(window);
    return 0;
}

// An icon the user has switched off meanwhile stays off.
static void onTrayRetryTimer(HWND window)
{
    if (settings.trayIconEnabled == 0 || addTrayIcon() || osGetTickCount() - trayWaitStart >= trayWaitMs)
        osKillTimer(window, trayRetryTimer);
}

// The scaling of the screen changed: the icon is drawn again at the new size.
static void onDpiChanged()
{
    reloadTrayImage();
    if (settings.trayIconEnabled)
        setTrayIcon(NIM_MODIFY, nullptr);
}

// A new taskbar (Explorer restarted, perhaps at another scaling) gets the icon.
static LRESULT onTaskbarCreated()
{
    reloadTrayImage();
    return addTrayIcon();
}

static void onExit(HWND window)
{
    saveSettings();
    DestroyWindow(window);
}

static BOOL CALLBACK cancelDialog(HWND dialog, LPARAM mainWindow)
{
    if (dialog != reinterpret_cast<HWND>(mainWindow) && IsWindowVisible(dialog))
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// "/exit" of a second start (an installer about to replace the program, a script): the
// settings are saved first, whatever shows is cancelled (a prompt answered No, the
// options and Schedule Shutdown as by Cancel), and the Exit follows the cancels.
static void onExitRequest(HWND window)
{
    saveSettings();
    EnumThreadWindows(GetCurrentThreadId(), cancelDialog, reinterpret_cast<LPARAM>(window));
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
}

// The session ends: the settings are saved. Restart Manager (an installer that replaces
// Pelk's files, from any session) asks this program alone to close, and starts it again.
static void onEndSession(HWND window, WPARAM ending, LPARAM how)
{
    const LPARAM closeApp = 1;  // ENDSESSION_CLOSEAPP
    if (ending == 0)
        return;
    saveSettings();
    if ((how & closeApp) != 0)
        onExitRequest(window);
}

// A change of the theme: the level on the tray icon in its colours (the monitor, a
// window of its own, hears of it itself). After a Group Policy refresh: the policy read
// again, and what it may have changed followed at once: the agenda (the idle shutdown,
// the clock time), the start with Windows, the greyed controls of open options.
static void onSettingChange(UINT action, const char* area)
{
    if (settingChangesLook(action, area))
        onLookChange();
    if (area == nullptr || lstrcmpiA(area, "Policy") != 0)
        return;
    const bool autoStartWasSet = policy.present[policyAutoStart];
    agendaDeliver(eventCheck);
    if (!applyPolicy())
        return;
    agendaDeliver(eventCheck);
    followAutoStartPolicy(autoStartWasSet);
    lockOpenPages();
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
    lastBatteryPercent = 50;
    updateBatteryPresence();
    evaluateBattery();
    PostMessageA(window, showMonitorMessage, 0, 0);
}

static void onTimer(HWND window, WPARAM id)
{
    switch (id) {
    case startupTimer: onStartupTimer(window); break;
    case forceFallbackTimer: onForceFallbackTimer(window); break;
    case forcedRetryTimer: onForcedRetryTimer(window); break;
    case batteryPollTimer: evaluateBattery(); break;
    case agendaTimer: agendaDeliver(eventCheck); break;
    case trayRetryTimer: onTrayRetryTimer(window); break;
    case slamEndTimer: onSlamEndTimer(); break;
    case balloonIconTimer: onBalloonIconTimer(); break;
    case remoteTimer: onRemoteTimer(); break;
    }
}

// A second start's command line, and the process whose console it was typed in; any
// other program's message is ignored.
static LRESULT onCopyData(WPARAM consoleProcess, const COPYDATASTRUCT* data)
{
    static char commandLine[handOverMost];
    if (data == nullptr ||
        !readHandOver(static_cast<uint32_t>(data->dwData), data->lpData, data->cbData, commandLine, sizeof commandLine))
        return 0;
    return runHandedOverSlam(commandLine, static_cast<DWORD>(consoleProcess), handOverFolder(commandLine, data->cbData));
}

// Sleep and resume reach the agenda: what came due asleep is missed, never performed late.
static LRESULT onPowerBroadcast(WPARAM event)
{
    LRESULT answer = onPowerEvent(event);
    if (event == PBT_APMRESUMEAUTOMATIC)
        onAutomaticResume();
    agendaPowerEvent(event);
    return answer;
}

static void onOpenOptions(HWND window)
{
    if (optionsOpen == 0)
        showOptionsSheet(window);
}

static void onDestroy()
{
    cancelRemoteRun();
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
    case WM_POWERBROADCAST: return onPowerBroadcast(wParam);
    case WM_COPYDATA: return onCopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case openOptionsMessage: onOpenOptions(window); return 0;
    case exitRequestMessage: onExitRequest(window); return 0;
    case remoteAnswerMessage: onRemoteAnswer(wParam, lParam); return 0;
    case showMonitorMessage: showMonitor(); return 0;
    case agendaAskMessage: onAgendaAsk(); return 0;
    case agendaPokeMessage: agendaDeliver(eventWindows); return 0;
    case WM_QUERYENDSESSION: saveSettings(); return TRUE;
    case WM_ENDSESSION: onEndSession(window, wParam, lParam); return 0;
    case WM_DESTROY: onDestroy(); return 0;
    case dpiChangedMessage: onDpiChanged(); return 0;
    // The time, the zone or daylight saving changed: the agenda looks at the wall clock.
    case WM_TIMECHANGE: agendaDeliver(eventCheck); return 0;
    case WM_SETTINGCHANGE: onSettingChange(static_cast<UINT>(wParam), reinterpret_cast<const char*>(lParam)); return 0;
    case WM_SYSCOLORCHANGE: onLookChange(); return 0;
    }
    if (message == taskbarCreatedMsg && taskbarCreatedMsg != 0 && settings.trayIconEnabled)
        return onTaskbarCreated();
    return DefWindowProcA(window, message, wParam, lParam);
}
