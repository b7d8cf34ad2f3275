// The Watch page: the program watch, armed and disarmed at once with its button, and
// what else makes a minute idle for the idle shutdown (a quiet processor and network,
// and whether programs that keep the display on hold it back).
#include "options/options.h"

#include "app/control_tips.h"
#include "app/globals.h"
#include "options/page_win.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"
#include "triggers/watch_rules.h"

static const PageTip watchTips[] = {
    {IDC_WATCH_ACTION, "Selects the Shutdown type (Shutdown, Restart...)"},
    {IDC_WATCH_PROGRAM, "The program to wait for: one that runs now, or its file name (render.exe)"},
    {IDC_WATCH_ARM, "Starts or stops waiting for the program; Pelk looks every 5 seconds whether it still runs"},
    {IDC_WATCH_NETWORK, "An idle minute also needs network traffic below this many KB per second; 0: not used"},
    {IDC_WATCH_KEEP_AWAKE, "On: idle minutes count even while a program keeps the display or the computer on; off: "
                           "the idle shutdown waits for it"},
};
static const char cpuTip[] = "An idle minute also needs processor use below this percentage; 0: not used";
static const char cpuMissingTip[] = "Needs Windows XP SP1 or later: this Windows does not tell the processor's use";

// What the button offers, so that a click does what its text said even when the watch
// ended or was aborted while the page showed.
static bool pageShowsArmed;

static bool addProgramName(const char* name, bool ownSession, void* combo)
{
    HWND list = static_cast<HWND>(combo);
    if (ownSession &&
        SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)) == CB_ERR)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    return true;
}

// The programs that run now in this session, each name once (in any case); the typed text stays.
static void fillProgramList(HWND page)
{
    char typed[textSize] = "";
    GetDlgItemTextA(page, IDC_WATCH_PROGRAM, typed, textSize);
    SendDlgItemMessageA(page, IDC_WATCH_PROGRAM, CB_RESETCONTENT, 0, 0);
    osWalkProcesses(addProgramName, GetDlgItem(page, IDC_WATCH_PROGRAM));
    SetDlgItemTextA(page, IDC_WATCH_PROGRAM, typed);
}

// The program box holds the watched name while the watch is armed.
static void showArmedState(HWND page)
{
    pageShowsArmed = watchArmed();
    SetDlgItemTextA(page, IDC_WATCH_ARM, pageShowsArmed ? "Disarm" : "Arm");
    enable(page, IDC_WATCH_PROGRAM, !pageShowsArmed);
    if (pageShowsArmed)
        SetDlgItemTextA(page, IDC_WATCH_PROGRAM, settings.watchProgram);
}

static const PolicyLock watchLocks[] = {
    POLICY_LOCK(IDC_WATCH_CPU, quietCpuPercent),
    POLICY_LOCK(IDC_WATCH_NETWORK, quietNetworkKBps),
    POLICY_LOCK(IDC_WATCH_KEEP_AWAKE, idleIgnoresKeepAwake),
};

// The processor's use box stays greyed where Windows cannot tell that use.
static void enableProcessorBox(HWND page)
{
    FILETIME idle, kernel, user;
    enable(page, IDC_WATCH_CPU, osGetSystemTimes(&idle, &kernel, &user) != FALSE);
}

static void onWatchPageInit(HWND page)
{
    beginPage();
    fillPowerActionList(page, IDC_WATCH_ACTION, settings.watchAction);
    SetDlgItemTextA(page, IDC_WATCH_PROGRAM, settings.watchProgram);
    fillProgramList(page);
    setNumber(page, IDC_WATCH_CPU, settings.quietCpuPercent);
    setNumber(page, IDC_WATCH_NETWORK, settings.quietNetworkKBps);
    setBox(page, IDC_WATCH_KEEP_AWAKE, settings.idleIgnoresKeepAwake);
    FILETIME idle, kernel, user;
    bool cpuReadable = osGetSystemTimes(&idle, &kernel, &user) != FALSE;
    enable(page, IDC_WATCH_CPU, cpuReadable);
    addControlTip(page, IDC_WATCH_CPU, cpuReadable ? cpuTip : cpuMissingTip);
    addControlTip(page, IDC_WATCH_CPU_LABEL, cpuReadable ? cpuTip : cpuMissingTip);
    showArmedState(page);
    endPage(page, watchTips, sizeof watchTips / sizeof watchTips[0]);
    lockPolicyControls(page, watchLocks, sizeof watchLocks / sizeof watchLocks[0], enableProcessorBox);
}

static void onArmClicked(HWND page)
{
    if (pageShowsArmed) {
        disarmWatch();
    } else {
        char typed[textSize] = "";
        GetDlgItemTextA(page, IDC_WATCH_PROGRAM, typed, textSize);
        if (armWatch(typed, listSelection(page, IDC_WATCH_ACTION, settings.watchAction)) != watchArmedOk) {
            char name[sizeof settings.watchProgram];
            char message[textSize];
            watchedFileName(typed, name, sizeof name);
            watchRefusalText(name, message, sizeof message);
            MessageBoxA(page, message, "Pelk 1.4", MB_OK | MB_ICONINFORMATION);
        }
    }
    showArmedState(page);
}

static void onWatchPageCommand(HWND page, int id, int notification)
{
    if (id == IDC_WATCH_ARM && notification == BN_CLICKED)
        onArmClicked(page);
    else if (id == IDC_WATCH_PROGRAM && notification == CBN_DROPDOWN)
        fillProgramList(page);
    else if (id == IDC_WATCH_ACTION)
        settings.watchAction = listSelection(page, id, settings.watchAction);
}

// A name typed but not armed is kept for the next time; an armed watch keeps its own.
static void onWatchPageLeft(HWND page)
{
    if (!watchArmed()) {
        char typed[textSize] = "";
        GetDlgItemTextA(page, IDC_WATCH_PROGRAM, typed, textSize);
        watchedFileName(typed, settings.watchProgram, sizeof settings.watchProgram);
    }
    settings.watchAction = listSelection(page, IDC_WATCH_ACTION, settings.watchAction);
    settings.quietCpuPercent = clampQuietPercent(readNumber(page, IDC_WATCH_CPU));
    settings.quietNetworkKBps = clampQuietKBps(readNumber(page, IDC_WATCH_NETWORK));
    settings.idleIgnoresKeepAwake = boxState(page, IDC_WATCH_KEEP_AWAKE);
}

INT_PTR CALLBACK watchPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onWatchPageInit(page); return TRUE;
    case WM_COMMAND: onWatchPageCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: return onPageNotify(page, lParam, showArmedState, onWatchPageLeft);
    }
    return FALSE;
}
