// The Clock page: an action at a time of day, once or on chosen days, and what every
// warning does (the minutes its put-off adds, a sound as it begins). All of it is read
// when the page is left; the agenda looks at the time it had, then at the new one.
#include "options/options.h"

#include "app/control_tips.h"
#include "app/globals.h"
#include "app/text.h"
#include "options/page_win.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "triggers/clock_rules.h"
#include "triggers/triggers.h"

static const char* const repeatEntries[] = {"Once", "Every day", "On these days"};

static const char dayTip[] = "A day the action comes on, when it repeats on these days";
static const PageTip clockTips[] = {
    {IDC_CLOCK_ENABLED, "Performs the action at a time of day, once or on the days chosen, also after a restart"},
    {IDC_CLOCK_ACTION, "Selects the Shutdown type (Shutdown, Restart...)"},
    {IDC_CLOCK_TIME, "The time of day on the 24-hour clock, such as 23:30"},
    {IDC_CLOCK_REPEAT, "Once (the next time the clock shows it), every day, or on the days ticked below"},
    {IDC_CLOCK_PUT_OFF, "How many minutes, 1 to 120, the prompt's put-off button delays an automatic action"},
    {IDC_CLOCK_SOUND, "Plays the system's exclamation sound when a countdown before an action begins"},
    {IDC_CLOCK_DAY + 0, dayTip}, {IDC_CLOCK_DAY + 1, dayTip}, {IDC_CLOCK_DAY + 2, dayTip}, {IDC_CLOCK_DAY + 3, dayTip},
    {IDC_CLOCK_DAY + 4, dayTip}, {IDC_CLOCK_DAY + 5, dayTip}, {IDC_CLOCK_DAY + 6, dayTip},
};

// The prompt's button as the minutes typed will make it.
static void showPutOffNote(HWND page)
{
    char note[64] = "minutes (the prompt's +";
    appendNumber(note, sizeof note, clampPutOffMinutes(readNumber(page, IDC_CLOCK_PUT_OFF)));
    appendText(note, sizeof note, " min)");
    SetDlgItemTextA(page, IDC_CLOCK_PUT_OFF_NOTE, note);
}

static void updateClockPageControls(HWND page)
{
    bool on = boxState(page, IDC_CLOCK_ENABLED) != 0;
    enable(page, IDC_CLOCK_ACTION, on);
    enable(page, IDC_CLOCK_TIME, on);
    enable(page, IDC_CLOCK_REPEAT, on);
    bool days = on && listSelection(page, IDC_CLOCK_REPEAT, repeatOnce) == repeatDays;
    for (int day = 0; day < 7; ++day)
        enable(page, IDC_CLOCK_DAY + day, days);
}

static const PolicyLock clockLocks[] = {
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_ENABLED, clockMinute),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_TIME, clockMinute),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_ACTION, clockAction),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_REPEAT, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 0, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 1, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 2, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 3, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 4, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 5, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_DAY + 6, clockDays),
    POLICY_LOCK_SHOWN_BY_PAGE(IDC_CLOCK_PUT_OFF, putOffMinutes),
};

// What the record in effect holds, in the controls of the fields a policy may set.
static void showClockValues(HWND page)
{
    setBox(page, IDC_CLOCK_ENABLED, settings.clockMinute);
    SendDlgItemMessageA(page, IDC_CLOCK_ACTION, CB_SETCURSEL, settings.clockAction <= 5 ? settings.clockAction : ~0u, 0);
    char time[16];
    formatClockTime(settings.clockMinute != 0 ? settings.clockMinute - 1u : 22 * 60, time, sizeof time);
    SetDlgItemTextA(page, IDC_CLOCK_TIME, time);
    SendDlgItemMessageA(page, IDC_CLOCK_REPEAT, CB_SETCURSEL, clockRepeatOf(settings), 0);
    // Working days are ticked to begin with.
    uint32_t days = settings.clockDays != 0 ? settings.clockDays : 0x3E;
    for (int day = 0; day < 7; ++day)
        setBox(page, IDC_CLOCK_DAY + day, days >> day & 1);
    setNumber(page, IDC_CLOCK_PUT_OFF, putOffMinutes(settings));
    showPutOffNote(page);
    updateClockPageControls(page);
}

static void onClockPageInit(HWND page)
{
    beginPage();
    fillPowerActionList(page, IDC_CLOCK_ACTION, settings.clockAction);
    fillList(page, IDC_CLOCK_REPEAT, repeatEntries, 3, clockRepeatOf(settings));
    setBox(page, IDC_CLOCK_SOUND, settings.warningSound);
    showClockValues(page);
    endPage(page, clockTips, sizeof clockTips / sizeof clockTips[0]);
    lockPolicyControls(page, clockLocks, sizeof clockLocks / sizeof clockLocks[0], showClockValues);
}

static void onClockPageLeft(HWND page)
{
    agendaDeliver(eventCheck);
    char typed[textSize] = "";
    GetDlgItemTextA(page, IDC_CLOCK_TIME, typed, textSize);
    uint32_t dayBoxes = 0;
    for (int day = 0; day < 7; ++day)
        dayBoxes |= boxState(page, IDC_CLOCK_DAY + day) << day;
    WallTime now;
    osGetLocalTime(&now);
    applyClockChoice(settings, boxState(page, IDC_CLOCK_ENABLED) != 0, typed,
                     listSelection(page, IDC_CLOCK_ACTION, settings.clockAction),
                     listSelection(page, IDC_CLOCK_REPEAT, clockRepeatOf(settings)), dayBoxes, now);
    settings.putOffMinutes = static_cast<uint8_t>(clampPutOffMinutes(readNumber(page, IDC_CLOCK_PUT_OFF)));
    settings.warningSound = static_cast<uint8_t>(boxState(page, IDC_CLOCK_SOUND));
    agendaDeliver(eventCheck);
}

// A time that is no time is refused where it was typed, and the page stays (also at OK).
static bool refusedTime(HWND page, LPARAM lParam)
{
    char typed[textSize] = "";
    GetDlgItemTextA(page, IDC_CLOCK_TIME, typed, textSize);
    uint32_t minute;
    if (reinterpret_cast<const NMHDR*>(lParam)->code != static_cast<UINT>(PSN_KILLACTIVE) ||
        boxState(page, IDC_CLOCK_ENABLED) == 0 || parseClockTime(typed, &minute))
        return false;
    char message[textSize + 80];
    clockRefusalText(typed, message, sizeof message);
    MessageBoxA(page, message, "Pelk 1.4", MB_OK | MB_ICONINFORMATION);
    SetFocus(GetDlgItem(page, IDC_CLOCK_TIME));
    SendDlgItemMessageA(page, IDC_CLOCK_TIME, EM_SETSEL, 0, -1);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
    return true;
}

INT_PTR CALLBACK clockPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onClockPageInit(page); return TRUE;
    case WM_COMMAND:
        updateClockPageControls(page);
        if (LOWORD(wParam) == IDC_CLOCK_PUT_OFF && HIWORD(wParam) == EN_CHANGE)
            showPutOffNote(page);
        return TRUE;
    case WM_NOTIFY: return refusedTime(page, lParam) ? TRUE : onPageNotify(page, lParam, nullptr, onClockPageLeft);
    }
    return FALSE;
}
