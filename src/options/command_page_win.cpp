// The Command page: what a command-line run does by default, how it asks, and
// which computer the remote actions address.
#include "options/options.h"

#include "app/globals.h"
#include "app/text.h"
#include "options/option_rules.h"
#include "options/page_win.h"
#include "resources/resource.h"
#include "triggers/triggers.h"

static const PageTip commandTips[] = {
    {IDC_COMMAND_FORCE, "If a normal shutdown fails then Pelk will attempt to close non-responding programs"},
    {IDC_COMMAND_WARN_SECONDS, "Length of time in seconds of warning prior to shutdown action"},
    {IDC_COMMAND_ACTION, "Selects the Shutdown type (Shutdown, Restart...)"},
    {IDC_COMMAND_PROMPT_MODE, "Select if you want to give confirmation or a timed warning prior to the shutdown"},
    {IDC_COMMAND_REMOTE_NAME, "Name of the remote computer to shutdown"},
};

static void updateCommandPageControls(HWND page)
{
    CommandPageEnabling enabling = commandPageEnabling(settings);
    enable(page, IDC_COMMAND_WARN_SECONDS, enabling.warnSeconds);
    enable(page, IDC_COMMAND_REMOTE_NAME, enabling.remoteName);
}

static const PolicyLock commandLocks[] = {
    POLICY_LOCK(IDC_COMMAND_PROMPT_MODE, commandPromptMode),
    POLICY_LOCK(IDC_COMMAND_WARN_SECONDS, commandWarnSeconds),
    POLICY_LOCK(IDC_COMMAND_FORCE, commandForce),
    {IDC_COMMAND_REMOTE_NAME, policyRemoteName, 0},
};

static void onCommandPageInit(HWND page)
{
    beginPage();
    // The six local actions, then the two remote ones; the selection waits for all eight.
    fillPowerActionList(page, IDC_COMMAND_ACTION, settings.commandAction);
    SendDlgItemMessageA(page, IDC_COMMAND_ACTION, CB_INSERTSTRING, 6, reinterpret_cast<LPARAM>("Remote Shut"));
    SendDlgItemMessageA(page, IDC_COMMAND_ACTION, CB_INSERTSTRING, 7, reinterpret_cast<LPARAM>("Remote Restart"));
    SendDlgItemMessageA(page, IDC_COMMAND_ACTION, CB_SETCURSEL, settings.commandAction <= 7 ? settings.commandAction : ~0u,
                        0);
    fillList(page, IDC_COMMAND_PROMPT_MODE, promptModeEntries, 3, settings.commandPromptMode);
    setBox(page, IDC_COMMAND_FORCE, settings.commandForce);
    setNumber(page, IDC_COMMAND_WARN_SECONDS, settings.commandWarnSeconds);
    SetDlgItemTextA(page, IDC_COMMAND_REMOTE_NAME, settings.remoteComputerName);
    endPage(page, commandTips, sizeof commandTips / sizeof commandTips[0]);
    updateCommandPageControls(page);
    lockPolicyControls(page, commandLocks, sizeof commandLocks / sizeof commandLocks[0], updateCommandPageControls);
}

static void onCommandPageCommand(HWND page, int id)
{
    if (id == IDC_COMMAND_PROMPT_MODE)
        settings.commandPromptMode = listSelection(page, id, settings.commandPromptMode);
    else if (id == IDC_COMMAND_ACTION)
        settings.commandAction = listSelection(page, id, settings.commandAction);
    updateCommandPageControls(page);
}

static void onCommandPageLeft(HWND page)
{
    GetDlgItemTextA(page, IDC_COMMAND_REMOTE_NAME, settings.remoteComputerName, sizeof settings.remoteComputerName);
    settings.commandPromptMode = listSelection(page, IDC_COMMAND_PROMPT_MODE, settings.commandPromptMode);
    settings.commandAction = listSelection(page, IDC_COMMAND_ACTION, settings.commandAction);
    settings.commandForce = boxState(page, IDC_COMMAND_FORCE);
    settings.commandWarnSeconds = clampNumber(commandWarnBox, readNumber(page, IDC_COMMAND_WARN_SECONDS));
}

INT_PTR CALLBACK commandPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onCommandPageInit(page); return TRUE;
    case WM_COMMAND: onCommandPageCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY: return onPageNotify(page, lParam, nullptr, onCommandPageLeft);
    }
    return FALSE;
}
