// The Tray page: the tray icon itself, which actions its menu offers, what a
// click on it does, and how actions are confirmed.
#include "options/options.h"

#include "app/globals.h"
#include "options/option_rules.h"
#include "options/page_win.h"
#include "resources/resource.h"
#include "tray/tray.h"
#include "tray/tray_rules.h"

static const char* const clickEntries[] = {"Options", "Stat View", "On/Off", "Schedule"};

static const PageTip trayTips[] = {
    {IDC_TRAY_CLICK, "What happens when you click on the tray icon"},
    {IDC_TRAY_PROMPT_MODE, "Select if you want to give confirmation or a timed warning prior to the shutdown"},
    {IDC_TRAY_FORCE, "If a normal shutdown fails then Pelk will attempt to close non-responding programs"},
    {IDC_TRAY_ICON, "Minimises Pelk to tray. Normally on, but if you only use the command line functions then it should "
                    "be off."},
    {IDC_TRAY_SHOW_SHUTDOWN, "Shows the Shutdown option in the tray menu"},
    {IDC_TRAY_SHOW_LOG_OFF, "Shows the Log Off option in the tray menu"},
    {IDC_TRAY_SHOW_POWER_OFF, "Shows the Power Off option in the tray menu"},
    {IDC_TRAY_SHOW_HIBERNATE, "Shows the Hibernate option in the tray menu"},
    {IDC_TRAY_SHOW_SUSPEND, "Shows the Suspend option in the tray menu"},
    {IDC_TRAY_SHOW_RESTART, "Shows the Restart option in the tray menu"},
    {IDC_TRAY_SHOW_SCHEDULE, "Shows the Schedule Shutdown option in the tray menu"},
};

// The "Functions to show" boxes and the fields they change at once.
static uint32_t* menuField(int id)
{
    switch (id) {
    case IDC_TRAY_SHOW_SHUTDOWN: return &settings.menuShowShutdown;
    case IDC_TRAY_SHOW_LOG_OFF: return &settings.menuShowLogOff;
    case IDC_TRAY_SHOW_POWER_OFF: return &settings.menuShowPowerOff;
    case IDC_TRAY_SHOW_HIBERNATE: return &settings.menuShowHibernate;
    case IDC_TRAY_SHOW_SUSPEND: return &settings.menuShowSuspend;
    case IDC_TRAY_SHOW_RESTART: return &settings.menuShowRestart;
    case IDC_TRAY_SHOW_SCHEDULE: return &settings.menuShowSchedule;
    }
    return nullptr;
}

static const int menuBoxes[] = {IDC_TRAY_SHOW_SHUTDOWN, IDC_TRAY_SHOW_LOG_OFF,   IDC_TRAY_SHOW_POWER_OFF,
                                IDC_TRAY_SHOW_HIBERNATE, IDC_TRAY_SHOW_SUSPEND, IDC_TRAY_SHOW_RESTART,
                                IDC_TRAY_SHOW_SCHEDULE};

static void updateTrayPageControls(HWND page)
{
    TrayPageEnabling enabling = trayPageEnabling(settings);
    enable(page, IDC_TRAY_CLICK, enabling.menuBoxes);
    for (int id : menuBoxes)
        enable(page, id, enabling.menuBoxes);
    enable(page, IDC_TRAY_PROMPT_MODE, enabling.promptAndForce);
    enable(page, IDC_TRAY_FORCE, enabling.promptAndForce);
    enable(page, IDC_TRAY_WARN_SECONDS, enabling.warnSeconds);
}

// The icon follows the box the moment it is clicked, not only when the options close.
static void syncTrayIcon(HWND page)
{
    uint32_t wanted = boxState(page, IDC_TRAY_ICON);
    bool shown = settings.trayIconEnabled != 0;
    settings.trayIconEnabled = wanted;
    if ((wanted == 1) != shown)
        setTrayIcon(wanted ? NIM_ADD : NIM_DELETE, wanted ? trayTipDefault : nullptr);
}

static const PolicyLock trayLocks[] = {
    POLICY_LOCK(IDC_TRAY_PROMPT_MODE, trayPromptMode),
    POLICY_LOCK(IDC_TRAY_WARN_SECONDS, trayWarnSeconds),
    POLICY_LOCK(IDC_TRAY_FORCE, forceAction),
};

static void onTrayPageInit(HWND page)
{
    beginPage();
    fillList(page, IDC_TRAY_PROMPT_MODE, promptModeEntries, 3, settings.trayPromptMode);
    fillList(page, IDC_TRAY_CLICK, clickEntries, 4, settings.trayClickAction);
    for (int id : menuBoxes)
        setBox(page, id, *menuField(id));
    setBox(page, IDC_TRAY_FORCE, settings.forceAction);
    setBox(page, IDC_TRAY_ICON, settings.trayIconEnabled);
    setNumber(page, IDC_TRAY_WARN_SECONDS, settings.trayWarnSeconds);
    updateTrayPageControls(page);
    endPage(page, trayTips, sizeof trayTips / sizeof trayTips[0]);
    lockPolicyControls(page, trayLocks, sizeof trayLocks / sizeof trayLocks[0], updateTrayPageControls);
}

static void onTrayPageCommand(HWND page, int id)
{
    if (id == IDC_TRAY_PROMPT_MODE) {
        settings.trayPromptMode = listSelection(page, id, settings.trayPromptMode);
    } else if (menuField(id) != nullptr) {
        *menuField(id) = boxState(page, id);
    } else if (id == IDC_TRAY_ICON) {
        syncTrayIcon(page);
        // The battery monitor goes with the icon.
        if (settings.trayIconEnabled != 1)
            settings.monitorEnabled = 0;
    }
    updateTrayPageControls(page);
}

// The Battery page may have switched the icon on meanwhile.
static void onTrayPageShown(HWND page)
{
    setBox(page, IDC_TRAY_ICON, settings.trayIconEnabled);
    updateTrayPageControls(page);
}

static void onTrayPageLeft(HWND page)
{
    settings.trayClickAction = listSelection(page, IDC_TRAY_CLICK, settings.trayClickAction);
    settings.trayPromptMode = listSelection(page, IDC_TRAY_PROMPT_MODE, settings.trayPromptMode);
    syncTrayIcon(page);
    settings.forceAction = boxState(page, IDC_TRAY_FORCE);
    settings.trayWarnSeconds = clampNumber(trayWarnBox, readNumber(page, IDC_TRAY_WARN_SECONDS));
}

INT_PTR CALLBACK trayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onTrayPageInit(page); return TRUE;
    case WM_COMMAND: onTrayPageCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY: return onPageNotify(page, lParam, onTrayPageShown, onTrayPageLeft);
    }
    return FALSE;
}
