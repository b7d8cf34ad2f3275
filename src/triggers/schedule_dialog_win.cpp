// The scheduled shutdown: the Schedule Shutdown dialog, its countdown timer,
// Abort Shutdown, and the minute and action lists shared with the option pages.
#include "app/control_tips.h"
#include "app/dpi.h"
#include "app/globals.h"
#include "app/text.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/policy.h"
#include "tray/tray.h"
#include "triggers/schedule_rules.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"

static bool scheduleDialogOpen;

void fillMinutesList(HWND dialog, int comboId, DWORD minutes)
{
    for (int i = 0; i < 19; ++i)
        SendDlgItemMessageA(dialog, comboId, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(minutesListEntries[i]));
    SetDlgItemInt(dialog, comboId, minutes, FALSE);
}

void keepTypedMinutes(HWND dialog, int comboId, int notification)
{
    static char typed[textSize];
    static bool chosen;
    if (notification == CBN_DROPDOWN) {
        GetDlgItemTextA(dialog, comboId, typed, sizeof typed);
        chosen = false;
    } else if (notification == CBN_SELENDOK) {
        chosen = true;
    } else if (notification == CBN_CLOSEUP && !chosen) {
        SetDlgItemTextA(dialog, comboId, typed);
    }
}

void fillPowerActionList(HWND dialog, int listId, DWORD value)
{
    for (int i = 0; i < 6; ++i)
        SendDlgItemMessageA(dialog, listId, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(powerActionListNames[i]));
    SendDlgItemMessageA(dialog, listId, CB_SETCURSEL, value <= 5 ? value : static_cast<WPARAM>(-1), 0);
}

static DWORD readNumber(HWND dialog, int id)
{
    char text[textSize] = "";
    GetDlgItemTextA(dialog, id, text, textSize);
    return leadingNumber(text);
}

static void updateScheduleEnabling(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_SCHEDULE_RESUME), scheduleResumeBoxEnabled(settings.scheduleAction));
    EnableWindow(GetDlgItem(dialog, IDC_SCHEDULE_RESUME_MINUTES),
                 scheduleResumeListEnabled(settings.scheduleAction, settings.scheduleResumeEnabled));
}

static void addScheduleTips(HWND dialog)
{
    addControlTip(dialog, IDC_SCHEDULE_ACTION, "Selects the Shutdown type (Shutdown, Restart...)");
    addControlTip(dialog, IDC_SCHEDULE_FORCE,
                  "If a normal shutdown fails then Pelk will attempt to close non-responding programs");
    addControlTip(dialog, IDC_SCHEDULE_RESUME, "Sets the computer to resume after a set time");
    addControlTip(dialog, IDC_SCHEDULE_RESUME_MINUTES,
                  "How many minutes before Pelk resumes computer after suspending it");
    addControlTip(dialog, IDC_SCHEDULE_MINUTES, "Length of time in minutes prior to shutdown action");
}

static BOOL onScheduleInit(HWND dialog)
{
    scheduleDialogOpen = true;
    enterPromptOpen();
    fillPowerActionList(dialog, IDC_SCHEDULE_ACTION, settings.scheduleAction);
    fillMinutesList(dialog, IDC_SCHEDULE_RESUME_MINUTES, settings.scheduleResumeMinutes);
    fillMinutesList(dialog, IDC_SCHEDULE_MINUTES, settings.scheduleMinutes);
    CheckDlgButton(dialog, IDC_SCHEDULE_FORCE, settings.forceAction != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SCHEDULE_RESUME, settings.scheduleResumeEnabled != 0 ? BST_CHECKED : BST_UNCHECKED);
    addScheduleTips(dialog);
    updateScheduleEnabling(dialog);
    // No force where a policy forbids it: cleared and greyed, as on the pages.
    if (policySets(policy, policyNoForce)) {
        CheckDlgButton(dialog, IDC_SCHEDULE_FORCE, BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_SCHEDULE_FORCE), FALSE);
        addGreyedControlTip(dialog, IDC_SCHEDULE_FORCE, policyLockedTip);
    }
    centerOnPointerMonitor(dialog);
    SetForegroundWindow(dialog);
    return TRUE;
}

// The action and the resume box take effect at once, even if the dialog is cancelled.
static void onScheduleActionChanged(HWND dialog)
{
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_SCHEDULE_ACTION, CB_GETCURSEL, 0, 0);
    if (selection != CB_ERR)
        settings.scheduleAction = static_cast<DWORD>(selection);
    updateScheduleEnabling(dialog);
}

static void onScheduleResumeClicked(HWND dialog)
{
    settings.scheduleResumeEnabled = IsDlgButtonChecked(dialog, IDC_SCHEDULE_RESUME) == BST_CHECKED ? 1 : 0;
    updateScheduleEnabling(dialog);
}

static void closeSchedule(HWND dialog, LONG answer)
{
    promptRequest.answer = answer;
    scheduleDialogOpen = false;
    leavePromptOpen();
    EndDialog(dialog, answer);
}

// Destroyed with its owner (Exit while it shows): a cancel.
static void onScheduleDestroy()
{
    if (!scheduleDialogOpen)
        return;
    scheduleDialogOpen = false;
    promptRequest.answer = 0;
    leavePromptOpen();
}

static void onScheduleOk(HWND dialog)
{
    settings.scheduleResumeMinutes = clampResumeMinutes(readNumber(dialog, IDC_SCHEDULE_RESUME_MINUTES));
    settings.scheduleMinutes = clampScheduleMinutes(readNumber(dialog, IDC_SCHEDULE_MINUTES));
    settings.forceAction = IsDlgButtonChecked(dialog, IDC_SCHEDULE_FORCE) == BST_CHECKED ? 1 : 0;
    closeSchedule(dialog, 1);
}

static INT_PTR CALLBACK scheduleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return onScheduleInit(dialog);
    if (message == WM_DESTROY)
        onScheduleDestroy();
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_SCHEDULE_ACTION: onScheduleActionChanged(dialog); break;
    case IDC_SCHEDULE_MINUTES:
    case IDC_SCHEDULE_RESUME_MINUTES: keepTypedMinutes(dialog, LOWORD(wParam), HIWORD(wParam)); break;
    case IDC_SCHEDULE_RESUME:
        if (HIWORD(wParam) == BN_CLICKED)
            onScheduleResumeClicked(dialog);
        break;
    case IDOK: onScheduleOk(dialog); break;
    case IDCANCEL: closeSchedule(dialog, 0); break;
    default: return FALSE;
    }
    return TRUE;
}

// The dialog's own result decides: a prompt answered after it closed has written
// promptRequest.answer since. Destroyed with its owner, the dialog gives 0.
void runScheduleCommand(HWND owner)
{
    promptRequest.answer = 0;
    INT_PTR answer = DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_SCHEDULE), owner, scheduleDialogProc, 0);
    if (answer == 1)
        startSchedule();
}

void startSchedule()
{
    agendaDeliver(eventCountdown, static_cast<uint8_t>(triggerAction(settings.scheduleAction)), settings.scheduleMinutes);
}

// Everything under way stops too: the forced fallback and retries, and a wake-up.
bool abortShutdown(HWND window)
{
    osKillTimer(window, forceFallbackTimer);
    osKillTimer(window, forcedRetryTimer);
    return agendaDeliver(eventAbort);
}
