// The Battery page: the monitor window, where it goes, when it shows, and what
// counts as charged. While the page shows, the monitor is asked to show too.
#include "options/options.h"

#include "app/globals.h"
#include "options/option_rules.h"
#include "options/page_win.h"
#include "resources/resource.h"
#include "tray/tray.h"
#include "tray/tray_rules.h"

static const char* const locationEntries[] = {"Top Left", "Top Right", "Bot Left", "Bot Right", "Free"};

static const PageTip batteryTips[] = {
    {IDC_BATTERY_ENABLED, "Enables the Monitor Window. Only valid if your system is a portable."},
    {IDC_BATTERY_LOCATION, "Selects where the battery monitor window will be located. In free mode the Monitor Window "
                           "can be moved."},
    {IDC_BATTERY_ALWAYS_ON, "Shows the Monitor Window at all times"},
    {IDC_BATTERY_ON_CHANGE, "Shows the Monitor Window whenever the battery level changes by the selected percentage"},
    {IDC_BATTERY_ON_TOP, "Makes the Monitor Window the Top-Most window"},
    {IDC_BATTERY_HOVER, "Sets the Monitor Window to appear when the mouse pointer is hovered over the tray icon"},
    {IDC_BATTERY_TRANSLUCENT, "Show the battery monitor transparent"},
    {IDC_BATTERY_STEP, "How much should the battery percentage change before Pelk notifies you"},
    {IDC_BATTERY_CHARGED, "What you want Pelk to consider as a charged battery"},
    {IDC_BATTERY_ALERTS, "Alerts at a low and a charged level, and the level on the tray icon"},
};

static void updateBatteryPageControls(HWND page)
{
    BatteryPageEnabling enabling = batteryPageEnabling(settings, batteryPresent != 0);
    const int monitorControls[] = {IDC_BATTERY_TRANSLUCENT, IDC_BATTERY_LOCATION, IDC_BATTERY_ALWAYS_ON,
                                   IDC_BATTERY_ON_CHANGE, IDC_BATTERY_CHARGED};
    for (int id : monitorControls)
        enable(page, id, enabling.monitorControls);
    enable(page, IDC_BATTERY_ON_TOP, enabling.onTop);
    // Every control greyed for want of a battery: a line says why.
    ShowWindow(GetDlgItem(page, IDC_BATTERY_NONE), batteryPresent == 0 ? SW_SHOW : SW_HIDE);
    enable(page, IDC_BATTERY_HOVER, enabling.hoverAndStep);
    enable(page, IDC_BATTERY_STEP, enabling.hoverAndStep);
}

static void showMonitorNow() { PostMessageA(mainWindow, showMonitorMessage, 1, 0); }

static void onBatteryPageInit(HWND page)
{
    beginPage();
    if (batteryPresent == 0) {
        enable(page, IDC_BATTERY_ENABLED, false);
        enable(page, IDC_BATTERY_ALERTS, false);
    }
    fillList(page, IDC_BATTERY_LOCATION, locationEntries, 5, settings.monitorLocation);
    setBox(page, IDC_BATTERY_ENABLED, settings.monitorEnabled);
    setNumber(page, IDC_BATTERY_STEP, settings.batteryStepPercent);
    setNumber(page, IDC_BATTERY_CHARGED, settings.chargedPercent);
    CheckRadioButton(page, IDC_BATTERY_ALWAYS_ON, IDC_BATTERY_ON_CHANGE,
                     settings.monitorShowMode == 1 ? IDC_BATTERY_ALWAYS_ON : IDC_BATTERY_ON_CHANGE);
    setBox(page, IDC_BATTERY_ON_TOP, settings.monitorOnTop);
    setBox(page, IDC_BATTERY_HOVER, settings.hoverShowsMonitor);
    setBox(page, IDC_BATTERY_TRANSLUCENT, settings.monitorTransparent);
    updateBatteryPageControls(page);
    endPage(page, batteryTips, sizeof batteryTips / sizeof batteryTips[0]);
}

// Enabling the monitor shows it at once, and brings the tray icon back if it was off.
static void onMonitorEnabledClicked(HWND page)
{
    settings.monitorEnabled = boxState(page, IDC_BATTERY_ENABLED);
    showMonitorNow();
    if (settings.trayIconEnabled == 0) {
        settings.trayIconEnabled = 1;
        setTrayIcon(NIM_ADD, trayTipDefault);
    }
}

static void onShowModeClicked(HWND page)
{
    settings.monitorShowMode = boxState(page, IDC_BATTERY_ALWAYS_ON) ? 1 : 2;
    if (settings.monitorShowMode == 1 && settings.monitorEnabled != 0)
        showMonitorNow();
}

static void onBatteryPageCommand(HWND page, int id)
{
    if (id == IDC_BATTERY_ENABLED)
        onMonitorEnabledClicked(page);
    else if (id == IDC_BATTERY_LOCATION)
        settings.monitorLocation = listSelection(page, id, settings.monitorLocation);
    else if (id == IDC_BATTERY_ALWAYS_ON || id == IDC_BATTERY_ON_CHANGE)
        onShowModeClicked(page);
    else if (id == IDC_BATTERY_ALERTS)
        showAlertsDialog(page);
    updateBatteryPageControls(page);
}

// The Tray page clears the monitor when the icon goes; each return here shows it.
static void onBatteryPageShown(HWND page)
{
    setBox(page, IDC_BATTERY_ENABLED, settings.monitorEnabled);
    showMonitorNow();
    updateBatteryPageControls(page);
}

static void onBatteryPageLeft(HWND page)
{
    settings.monitorLocation = listSelection(page, IDC_BATTERY_LOCATION, settings.monitorLocation);
    settings.monitorEnabled = boxState(page, IDC_BATTERY_ENABLED);
    settings.monitorOnTop = boxState(page, IDC_BATTERY_ON_TOP);
    settings.hoverShowsMonitor = boxState(page, IDC_BATTERY_HOVER);
    settings.monitorTransparent = boxState(page, IDC_BATTERY_TRANSLUCENT);
    settings.monitorShowMode = boxState(page, IDC_BATTERY_ALWAYS_ON) ? 1 : 2;
    settings.batteryStepPercent = clampNumber(batteryStepBox, readNumber(page, IDC_BATTERY_STEP));
    settings.chargedPercent = clampNumber(chargedBox, readNumber(page, IDC_BATTERY_CHARGED));
}

INT_PTR CALLBACK batteryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onBatteryPageInit(page); return TRUE;
    case WM_COMMAND: onBatteryPageCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY: return onPageNotify(page, lParam, onBatteryPageShown, onBatteryPageLeft);
    }
    return FALSE;
}
