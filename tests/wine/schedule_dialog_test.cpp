// The Schedule Shutdown dialog on its real template, driven from inside its
// modal loop; the countdown it starts, Abort Shutdown, and the two list helpers.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "power/power.h"
#include "resources/resource.h"
#include "triggers/triggers.h"

namespace {

using ScheduleDialogTest = DialogTest;

const char* const minuteEntries[19] = {
    "60",          "90 (1.5 hrs)", "120 (2 hrs)", "150 (2.5 hrs)", "180 (3 hrs)", "210 (3.5 hrs)", "240 (4 hrs)",
    "270 (4.5 hrs)", "300 (5 hrs)", "330 (5.5 hrs)", "360 (6 hrs)", "390 (6.5 hrs)", "420 (7 hrs)",
    "450 (7.5 hrs)", "480 (8 hrs)", "510 (8.5 hrs)", "540 (9 hrs)", "570 (9.5 hrs)", "600 (10 hrs)",
};
const char* const actionNames[6] = {"Power Off", "Restart", "Shutdown", "Log Off", "Suspend", "Hibernate"};

std::vector<std::string> comboEntries(HWND combo)
{
    std::vector<std::string> entries;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[100] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

LRESULT selection(HWND combo) { return SendMessageA(combo, CB_GETCURSEL, 0, 0); }

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// A timer of the window is set exactly when killing it succeeds.
bool timerWasSet(HWND window, UINT_PTR id) { return KillTimer(window, id) != FALSE; }

std::string tipText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    char text[200] = "";
    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(controlTips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// The enabling of the resume controls and the two fields, read at one moment.
struct ResumeState {
    bool boxEnabled;
    bool boxTicked;
    bool listEnabled;
    DWORD action;
    DWORD resumeEnabled;
};

ResumeState resumeState(HWND dialog)
{
    return {enabled(dialog, IDC_SCHEDULE_RESUME), ticked(dialog, IDC_SCHEDULE_RESUME),
            enabled(dialog, IDC_SCHEDULE_RESUME_MINUTES), settings.scheduleAction, settings.scheduleResumeEnabled};
}

TEST_F(ScheduleDialogTest, OpensFilledAndResumeFollowsTheAction)
{
    settings.scheduleAction = 0;
    settings.scheduleMinutes = 5;
    settings.scheduleResumeMinutes = 30;
    settings.scheduleResumeEnabled = 0;
    std::vector<std::string> actions, minutes, resumeMinutes;
    LRESULT actionSelected = -2, minutesSelected = -2;
    std::string minutesText, resumeText, minutesTip, actionTip;
    LRESULT tipCount = -1;
    LONG openWhileShowing = -1;
    ResumeState atStart{}, suspend{}, suspendTicked{}, logOff{};
    ModalDriver driver(onFirstDialog([&](HWND dialog) {
        openWhileShowing = promptOpen;
        actions = comboEntries(GetDlgItem(dialog, IDC_SCHEDULE_ACTION));
        actionSelected = selection(GetDlgItem(dialog, IDC_SCHEDULE_ACTION));
        minutes = comboEntries(GetDlgItem(dialog, IDC_SCHEDULE_MINUTES));
        resumeMinutes = comboEntries(GetDlgItem(dialog, IDC_SCHEDULE_RESUME_MINUTES));
        minutesSelected = selection(GetDlgItem(dialog, IDC_SCHEDULE_MINUTES));
        minutesText = itemText(dialog, IDC_SCHEDULE_MINUTES);
        resumeText = itemText(dialog, IDC_SCHEDULE_RESUME_MINUTES);
        tipCount = SendMessageA(controlTips, TTM_GETTOOLCOUNT, 0, 0);
        minutesTip = tipText(dialog, IDC_SCHEDULE_MINUTES);
        actionTip = tipText(dialog, IDC_SCHEDULE_ACTION);

        atStart = resumeState(dialog);
        pickEntry(dialog, IDC_SCHEDULE_ACTION, 4);
        suspend = resumeState(dialog);
        clickButton(dialog, IDC_SCHEDULE_RESUME);
        suspendTicked = resumeState(dialog);
        pickEntry(dialog, IDC_SCHEDULE_ACTION, 3);
        logOff = resumeState(dialog);
        clickButton(dialog, IDOK);
    }));
    runScheduleCommand(owner());
    ASSERT_FALSE(driver.timedOut());
    ASSERT_EQ(1u, driver.seen());

    EXPECT_EQ(1, openWhileShowing);
    EXPECT_EQ(0, promptOpen);
    EXPECT_EQ(std::vector<std::string>(actionNames, actionNames + 6), actions);
    EXPECT_EQ(0, actionSelected);
    EXPECT_EQ(std::vector<std::string>(minuteEntries, minuteEntries + 19), minutes);
    EXPECT_EQ(minutes, resumeMinutes);
    EXPECT_EQ(CB_ERR, minutesSelected);
    EXPECT_EQ("5", minutesText);
    EXPECT_EQ("30", resumeText);
    EXPECT_EQ(5, tipCount);
    EXPECT_EQ("Length of time in minutes prior to shutdown action", minutesTip);
    EXPECT_EQ("Selects the Shutdown type (Shutdown, Restart...)", actionTip);

    // Power Off: nothing to resume from.
    EXPECT_FALSE(atStart.boxEnabled);
    EXPECT_FALSE(atStart.listEnabled);
    // Suspend: the box can be ticked; the list follows the box.
    EXPECT_EQ(4u, suspend.action);
    EXPECT_TRUE(suspend.boxEnabled);
    EXPECT_FALSE(suspend.listEnabled);
    EXPECT_TRUE(suspendTicked.boxTicked);
    EXPECT_TRUE(suspendTicked.listEnabled);
    EXPECT_EQ(1u, suspendTicked.resumeEnabled);
    // Log Off: box ticked but disabled, and the wish to resume stays.
    EXPECT_EQ(3u, logOff.action);
    EXPECT_FALSE(logOff.boxEnabled);
    EXPECT_TRUE(logOff.boxTicked);
    EXPECT_FALSE(logOff.listEnabled);
    EXPECT_EQ(1u, logOff.resumeEnabled);

    EXPECT_EQ(3u, settings.scheduleAction);
    EXPECT_EQ(1u, settings.scheduleResumeEnabled);
    EXPECT_EQ(1, scheduleActive);

    // When the countdown runs out, the wake-up is armed before the Log Off.
    settings.trayPromptMode = 0;
    settings.logEvents = 0;
    clearJournal();
    onScheduleTimer(owner());
    EXPECT_EQ(0, scheduleActive);
    EXPECT_FALSE(timerWasSet(owner(), scheduleTimer));
    std::vector<std::string> lines = journal();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(0u, lines[lines.size() - 3].find("SetWaitableTimer "));
    EXPECT_EQ("SetProcessShutdownParameters 256 0", lines[lines.size() - 2]);
    EXPECT_EQ("ExitWindowsEx 0 0", lines.back());
}

// How a number box is filled in: typed text, or an entry picked from its list.
struct Entry {
    const char* typed;  // null: pick `pick`
    int pick;
};

struct NumbersCase {
    Entry minutes;
    Entry resume;
    bool force;
    DWORD scheduleMinutes;
    DWORD resumeMinutes;
    DWORD lengthMs;
};

void fillIn(HWND dialog, int id, const Entry& entry)
{
    if (entry.typed != nullptr)
        SetDlgItemTextA(dialog, id, entry.typed);
    else
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, entry.pick, 0);
}

TEST_F(ScheduleDialogTest, OkTakesClampedNumbersAndStartsTheCountdown)
{
    const NumbersCase cases[] = {
        {{"1500", 0}, {"2", 0}, true, 999, 5, 59940500},
        {{nullptr, 1}, {"1500", 0}, false, 90, 999, 5400500},
        {{"0", 0}, {nullptr, 18}, true, 0, 600, 500},
    };
    const DWORD tick = 4000000000u;
    setReading("tickCount", tick);
    for (const NumbersCase& c : cases) {
        SCOPED_TRACE(c.scheduleMinutes);
        settings.scheduleMinutes = 5;
        settings.scheduleResumeMinutes = 30;
        settings.forceAction = c.force ? 0 : 1;
        scheduleActive = 0;
        promptRequest.answer = 0;
        std::string minutesText;
        ModalDriver driver(onFirstDialog([&](HWND dialog) {
            fillIn(dialog, IDC_SCHEDULE_MINUTES, c.minutes);
            fillIn(dialog, IDC_SCHEDULE_RESUME_MINUTES, c.resume);
            minutesText = itemText(dialog, IDC_SCHEDULE_MINUTES);
            clickButton(dialog, IDC_SCHEDULE_FORCE);
            clickButton(dialog, IDOK);
        }));
        runScheduleCommand(owner());
        ASSERT_FALSE(driver.timedOut());
        ASSERT_EQ(1u, driver.seen());
        if (c.minutes.typed == nullptr) {
            EXPECT_EQ(minuteEntries[c.minutes.pick], minutesText);
        }
        EXPECT_EQ(1, promptRequest.answer);
        EXPECT_EQ(c.scheduleMinutes, settings.scheduleMinutes);
        EXPECT_EQ(c.resumeMinutes, settings.scheduleResumeMinutes);
        EXPECT_EQ(c.force ? 1u : 0u, settings.forceAction);
        EXPECT_EQ(c.lengthMs, scheduleLengthMs);
        EXPECT_EQ(tick, scheduleStartTick);
        EXPECT_EQ(1, scheduleActive);
        EXPECT_TRUE(timerWasSet(owner(), scheduleTimer));
        EXPECT_EQ(0, promptOpen);
    }
}

TEST_F(ScheduleDialogTest, CancelKeepsTheActionButNotMinutesOrForce)
{
    settings.scheduleAction = 0;
    settings.scheduleMinutes = 5;
    settings.forceAction = 0;
    // A countdown already running goes on after Cancel.
    scheduleActive = 1;
    SetTimer(owner(), scheduleTimer, 600000, nullptr);
    const DWORD lengthBefore = scheduleLengthMs;
    promptRequest.answer = 1;
    LONG openWhileShowing = -1;
    ModalDriver driver(onFirstDialog([&](HWND dialog) {
        openWhileShowing = promptOpen;
        pickEntry(dialog, IDC_SCHEDULE_ACTION, 1);
        clickButton(dialog, IDC_SCHEDULE_FORCE);
        SetDlgItemTextA(dialog, IDC_SCHEDULE_MINUTES, "77");
        clickButton(dialog, IDCANCEL);
    }));
    runScheduleCommand(owner());
    ASSERT_FALSE(driver.timedOut());
    ASSERT_EQ(1u, driver.seen());
    EXPECT_EQ(1, openWhileShowing);
    EXPECT_EQ(0, promptOpen);
    EXPECT_EQ(0, promptRequest.answer);
    EXPECT_EQ(1u, settings.scheduleAction);
    EXPECT_EQ(5u, settings.scheduleMinutes);
    EXPECT_EQ(0u, settings.forceAction);
    EXPECT_EQ(1, scheduleActive);
    EXPECT_EQ(lengthBefore, scheduleLengthMs);
    EXPECT_TRUE(timerWasSet(owner(), scheduleTimer));
}

TEST_F(ScheduleDialogTest, DestroyedWithItsOwnerIsACancel)
{
    HWND owner = createOwnerWindow();
    bool destroyed = false;
    ModalDriver driver([&](ModalDriver& d) {
        if (d.newest() != nullptr && !destroyed) {
            destroyed = true;
            DestroyWindow(owner);
        }
    });
    scheduleActive = 0;
    runScheduleCommand(owner);
    ASSERT_TRUE(destroyed);
    EXPECT_EQ(0, promptOpen);
    EXPECT_EQ(0, promptRequest.answer);
    EXPECT_EQ(0, scheduleActive);
}

TEST_F(ScheduleDialogTest, AbortStopsCountdownAndForcedRetry)
{
    // Twice: with a countdown and a forced retry running, then with nothing running.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 0) {
            SetTimer(owner(), scheduleTimer, 600000, nullptr);
            SetTimer(owner(), forcedRetryTimer, 10000, nullptr);
            scheduleActive = 1;
        }
        abortShutdown(owner());
        EXPECT_EQ(0, scheduleActive);
        EXPECT_FALSE(timerWasSet(owner(), scheduleTimer));
        EXPECT_FALSE(timerWasSet(owner(), forcedRetryTimer));
    }
}

HWND createCombo(HWND parent, int id, DWORD style)
{
    return CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VSCROLL | style, 0, 0, 100, 200, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

TEST_F(ScheduleDialogTest, MinutesListHoldsNineteenChoicesAndShowsTheNumber)
{
    const DWORD values[] = {0, 5, 999, 4294967295u};
    for (DWORD value : values) {
        SCOPED_TRACE(value);
        HWND combo = createCombo(owner(), 1021, CBS_DROPDOWN | CBS_AUTOHSCROLL);
        ASSERT_NE(nullptr, combo);
        fillMinutesList(owner(), 1021, value);
        EXPECT_EQ(std::vector<std::string>(minuteEntries, minuteEntries + 19), comboEntries(combo));
        EXPECT_EQ(std::to_string(value), windowText(combo));
        EXPECT_EQ(CB_ERR, selection(combo));
        DestroyWindow(combo);
    }
}

TEST_F(ScheduleDialogTest, ActionListSelectsOnlyTheSixLocalActions)
{
    struct {
        DWORD value;
        LRESULT selected;
    } const cases[] = {{0, 0}, {4, 4}, {5, 5}, {6, CB_ERR}, {7, CB_ERR}, {4294967295u, CB_ERR}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        HWND list = createCombo(owner(), 1010, CBS_DROPDOWNLIST);
        ASSERT_NE(nullptr, list);
        fillPowerActionList(owner(), 1010, c.value);
        EXPECT_EQ(std::vector<std::string>(actionNames, actionNames + 6), comboEntries(list));
        EXPECT_EQ(c.selected, selection(list));
        DestroyWindow(list);
    }
}

}  // namespace
