// The Idle page: the idle shutdown, its action and minutes, and a wake-up
// timer before it; the one page that starts and stops a MainWindow timer.
#include "options/options.h"

#include "app/globals.h"
#include "options/option_rules.h"
#include "options/page_win.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "triggers/triggers.h"

static const PageTip idleTips[] = {
    {IDC_IDLE_ACTION, "Selects the Shutdown type (Shutdown, Restart...)"},
    {IDC_IDLE_FORCE, "If a normal shutdown fails then Pelk will attempt to close non-responding programs"},
    {IDC_IDLE_ENABLED, "Sets Pelk to monitor the computer activity, and to perform the shutdown action after a set time "
                       "of idleness"},
    {IDC_IDLE_RESUME, "Sets the computer to resume after a set time"},
    {IDC_IDLE_RESUME_MINUTES, "How many minutes before Pelk resumes computer after suspending it"},
    {IDC_IDLE_MINUTES, "Time of idleness before Pelk initiates shutdown"},
};

static void updateIdlePageControls(HWND page)
{
    IdlePageEnabling enabling = idlePageEnabling(settings);
    enable(page, IDC_IDLE_ACTION, enabling.actionForceMinutes);
    enable(page, IDC_IDLE_FORCE, enabling.actionForceMinutes);
    enable(page, IDC_IDLE_MINUTES, enabling.actionForceMinutes);
    enable(page, IDC_IDLE_RESUME, enabling.resumeBox);
    enable(page, IDC_IDLE_RESUME_MINUTES, enabling.resumeMinutes);
}

static const PolicyLock idleLocks[] = {
    POLICY_LOCK(IDC_IDLE_ENABLED, idleEnabled),
    POLICY_LOCK(IDC_IDLE_MINUTES, idleMinutes),
    POLICY_LOCK(IDC_IDLE_ACTION, idleAction),
    POLICY_LOCK(IDC_IDLE_FORCE, idleForce),
};

static void onIdlePageInit(HWND page)
{
    beginPage();
    fillPowerActionList(page, IDC_IDLE_ACTION, settings.idleAction);
    fillMinutesList(page, IDC_IDLE_RESUME_MINUTES, settings.idleResumeMinutes);
    fillMinutesList(page, IDC_IDLE_MINUTES, settings.idleMinutes);
    setBox(page, IDC_IDLE_FORCE, settings.idleForce);
    setBox(page, IDC_IDLE_ENABLED, settings.idleEnabled);
    setBox(page, IDC_IDLE_RESUME, settings.idleResumeEnabled);
    updateIdlePageControls(page);
    endPage(page, idleTips, sizeof idleTips / sizeof idleTips[0]);
    lockPolicyControls(page, idleLocks, sizeof idleLocks / sizeof idleLocks[0], updateIdlePageControls);
}

// The idle watch starts or stops the moment its box is clicked.
static void onIdleEnabledClicked(HWND page)
{
    settings.idleEnabled = boxState(page, IDC_IDLE_ENABLED);
    updateIdlePageControls(page);
    agendaDeliver(eventCheck);
}

static void onIdlePageCommand(HWND page, int id, int notification)
{
    if (id == IDC_IDLE_MINUTES || id == IDC_IDLE_RESUME_MINUTES) {
        keepTypedMinutes(page, id, notification);
    } else if (id == IDC_IDLE_ENABLED) {
        onIdleEnabledClicked(page);
    } else if (id == IDC_IDLE_ACTION) {
        settings.idleAction = listSelection(page, id, settings.idleAction);
        updateIdlePageControls(page);
    } else if (id == IDC_IDLE_RESUME) {
        settings.idleResumeEnabled = boxState(page, id);
        updateIdlePageControls(page);
    }
}

// The resume box is not read again: it holds what its last click gave it.
static void onIdlePageLeft(HWND page)
{
    settings.idleAction = listSelection(page, IDC_IDLE_ACTION, settings.idleAction);
    settings.idleForce = boxState(page, IDC_IDLE_FORCE);
    settings.idleEnabled = boxState(page, IDC_IDLE_ENABLED);
    settings.idleMinutes = clampNumber(idleMinutesBox, readNumber(page, IDC_IDLE_MINUTES));
    settings.idleResumeMinutes = clampNumber(idleResumeBox, readNumber(page, IDC_IDLE_RESUME_MINUTES));
}

INT_PTR CALLBACK idlePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onIdlePageInit(page); return TRUE;
    case WM_COMMAND: onIdlePageCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: return onPageNotify(page, lParam, nullptr, onIdlePageLeft);
    }
    return FALSE;
}
