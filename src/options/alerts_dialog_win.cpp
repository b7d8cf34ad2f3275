// The Alerts dialog, opened from the Battery page: a balloon at a low level on battery
// (and, if the user names one, an action after it), one at a charged level on mains,
// and the level on the tray icon.
#include "options/options.h"

#include "app/control_tips.h"
#include "app/globals.h"
#include "battery/alert_rules.h"
#include "battery/battery.h"
#include "options/page_win.h"
#include "resources/resource.h"
#include "settings/settings_file.h"
#include "tray/tray.h"
#include "tray/tray_rules.h"

// What an empty box suggests: a level worth a warning, and one that spares the battery.
static const uint32_t suggestedLow = 10;
static const uint32_t suggestedCharged = 80;

static const PageTip alertTips[] = {
    {IDC_ALERT_LOW, "A balloon when the battery runs down to this level on battery power"},
    {IDC_ALERT_LOW_ACTION, "What follows the low alert, after the prompt of the Tray page"},
    {IDC_ALERT_CHARGED, "A balloon when the battery has charged to this level on mains power"},
    {IDC_ALERT_TRAY_LEVEL, "The tray icon shows the battery level as a number instead of Pelk's picture"},
};

static void updateAlertControls(HWND dialog)
{
    bool low = boxState(dialog, IDC_ALERT_LOW) != 0;
    enable(dialog, IDC_ALERT_LOW_PERCENT, low);
    enable(dialog, IDC_ALERT_LOW_ACTION, low);
    enable(dialog, IDC_ALERT_THEN_LABEL, low);
    enable(dialog, IDC_ALERT_CHARGED_PERCENT, boxState(dialog, IDC_ALERT_CHARGED) != 0);
}

static void onAlertsInit(HWND dialog)
{
    setBox(dialog, IDC_ALERT_LOW, settings.lowAlertPercent != 0);
    setNumber(dialog, IDC_ALERT_LOW_PERCENT, settings.lowAlertPercent != 0 ? settings.lowAlertPercent : suggestedLow);
    fillList(dialog, IDC_ALERT_LOW_ACTION, lowAlertActionNames, 5,
             lowAlertPowerAction(settings.lowAlertAction) >= 0 ? settings.lowAlertAction : 0);
    setBox(dialog, IDC_ALERT_CHARGED, settings.chargedAlertPercent != 0);
    setNumber(dialog, IDC_ALERT_CHARGED_PERCENT,
              settings.chargedAlertPercent != 0 ? settings.chargedAlertPercent : suggestedCharged);
    setBox(dialog, IDC_ALERT_TRAY_LEVEL, settings.trayShowsPercent != 0);
    updateAlertControls(dialog);
    for (const PageTip& tip : alertTips)
        addControlTip(dialog, tip.controlId, tip.text);
}

// A balloon needs the tray icon: an alert switched on brings it back, as the monitor does.
// Saved at once, like a page that is left: the sheet's Cancel does not take it back.
static void onAlertsOk(HWND dialog)
{
    settings.lowAlertPercent = alertLevelFromBox(boxState(dialog, IDC_ALERT_LOW), readNumber(dialog, IDC_ALERT_LOW_PERCENT), 99);
    settings.lowAlertAction = static_cast<uint8_t>(listSelection(dialog, IDC_ALERT_LOW_ACTION, 0));
    settings.chargedAlertPercent =
        alertLevelFromBox(boxState(dialog, IDC_ALERT_CHARGED), readNumber(dialog, IDC_ALERT_CHARGED_PERCENT), 100);
    settings.trayShowsPercent = static_cast<uint8_t>(boxState(dialog, IDC_ALERT_TRAY_LEVEL));
    bool wantsIcon = settings.lowAlertPercent != 0 || settings.chargedAlertPercent != 0 || settings.trayShowsPercent;
    if (wantsIcon && settings.trayIconEnabled == 0) {
        settings.trayIconEnabled = 1;
        setTrayIcon(NIM_ADD, trayTipDefault);
    }
    saveSettings();
    evaluateBattery();
}

static INT_PTR CALLBACK alertsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        onAlertsInit(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    int id = LOWORD(wParam);
    if (id == IDOK)
        onAlertsOk(dialog);
    if (id == IDOK || id == IDCANCEL)
        EndDialog(dialog, id);
    else
        updateAlertControls(dialog);
    return TRUE;
}

void showAlertsDialog(HWND owner)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ALERTS), owner, alertsDialogProc, 0);
}
