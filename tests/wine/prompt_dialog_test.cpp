// The prompt dialog on its real templates, driven from inside its modal loop,
// and the tray and trigger flows that put it before an action.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "power/power.h"
#include "resources/resource.h"

namespace {

using PromptDialogTest = DialogTest;
using PromptFlowTest = DialogTest;

const char* const restartMessage = "Please confirm Restart";
const char* const restartYes = "Yes, Restart";
const char* const declineText = "No! Don't do it!";

// Fills the request as a flow does.
void request(const char* message, const char* yes, const char* no, DWORD countdownSeconds)
{
    promptRequest.message = message;
    promptRequest.yesText = yes;
    promptRequest.noText = no;
    promptRequest.countdownSeconds = countdownSeconds;
}

void answerYes(HWND dialog) { clickButton(dialog, IDOK); }
void answerNo(HWND dialog) { clickButton(dialog, IDCANCEL); }

// Everything a test wants to know about an open prompt, read at one moment.
struct PromptView {
    std::string caption;
    std::string message;
    std::string yes;
    std::string no;
    LOGFONTA fonts[3];
    bool hasFont[3];
    HFONT fontHandle;
    bool topMost;
    bool focusOnYes;
    LONG promptOpen;
};

PromptView look(HWND dialog)
{
    PromptView view{};
    view.caption = windowText(dialog);
    view.message = itemText(dialog, IDC_PROMPT_MESSAGE);
    view.yes = itemText(dialog, IDOK);
    view.no = itemText(dialog, IDCANCEL);
    const int ids[] = {IDOK, IDCANCEL, IDC_PROMPT_MESSAGE};
    for (int i = 0; i < 3; ++i)
        view.hasFont[i] = controlFont(GetDlgItem(dialog, ids[i]), view.fonts[i]);
    view.fontHandle = reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, IDOK, WM_GETFONT, 0, 0));
    view.topMost = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    view.focusOnYes = GetFocus() == GetDlgItem(dialog, IDOK);
    view.promptOpen = promptOpen;
    return view;
}

TEST_F(PromptDialogTest, TrayConfirmShowsTextsFontTopMostAndFocusOnYes)
{
    settings.trayPromptMode = 1;
    PromptView view{};
    ModalDriver driver(onFirstDialog([&](HWND dialog) {
        view = look(dialog);
        answerNo(dialog);
    }));
    confirmTrayAction(owner(), IDM_RESTART);
    ASSERT_FALSE(driver.timedOut());
    ASSERT_EQ(1u, driver.seen());

    EXPECT_EQ("Pelk 1.4", view.caption);
    EXPECT_EQ(restartMessage, view.message);
    EXPECT_EQ(restartYes, view.yes);
    EXPECT_EQ(declineText, view.no);
    const char* const controls[] = {"Yes button", "No button", "message"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(controls[i]);
        ASSERT_TRUE(view.hasFont[i]);
        EXPECT_STREQ("Arial", view.fonts[i].lfFaceName);
        EXPECT_EQ(20, view.fonts[i].lfHeight);
        EXPECT_EQ(0, view.fonts[i].lfWidth);
        EXPECT_EQ(50, view.fonts[i].lfWeight);
        EXPECT_FALSE(view.fonts[i].lfItalic || view.fonts[i].lfUnderline || view.fonts[i].lfStrikeOut);
    }
    EXPECT_TRUE(view.topMost);
    EXPECT_TRUE(view.focusOnYes);
    EXPECT_EQ(1, view.promptOpen);

    // Declined: nothing performed, the request idle again, and the font gone with its dialog.
    EXPECT_EQ(2, promptRequest.answer);
    EXPECT_EQ(0, promptOpen);
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(nullptr, promptRequest.message);
    EXPECT_EQ(nullptr, promptRequest.yesText);
    EXPECT_EQ(nullptr, promptRequest.noText);
    EXPECT_EQ(0u, promptRequest.countdownSeconds);
    EXPECT_FALSE(fontAlive(view.fontHandle));
}

struct CountdownCase {
    DWORD seconds;
    bool closesItself;
};

// Windows without a window manager (Xvfb) take up to two seconds to hide, during
// which this thread runs no ticks; so when a prompt ended is taken from the
// last tick that still saw it open, not from when showPrompt returned.
TEST_F(PromptDialogTest, WarnCountdownOfTwoAnswersYesOneKeepsWaiting)
{
    const CountdownCase cases[] = {{2, true}, {1, false}};
    settings.trayPromptMode = 2;
    settings.logEvents = 1;
    for (const CountdownCase& c : cases) {
        SCOPED_TRACE(c.seconds);
        clearJournal();
        bool seen = false;
        DWORD openedAt = 0;
        DWORD lastSeenOpen = 0;
        bool openAfterWaiting = false;
        bool answered = false;
        ModalDriver driver([&](ModalDriver& d) {
            HWND dialog = d.newest();
            if (dialog == nullptr || answered)
                return;
            if (!seen) {
                seen = true;
                openedAt = d.elapsedMs();
            }
            if (promptOpen == 1)
                lastSeenOpen = d.elapsedMs();
            if (c.closesItself || d.elapsedMs() < 2500)
                return;
            // Two and a half seconds in, a one-second countdown has fired twice.
            openAfterWaiting = IsWindowVisible(dialog) != FALSE && promptOpen == 1;
            answered = true;
            answerNo(dialog);
        }, 7000);
        confirmTriggerAction(owner(), 3, c.seconds);
        ASSERT_FALSE(driver.timedOut());
        EXPECT_EQ(1u, driver.seen());
        EXPECT_LT(openedAt, 1500u);
        EXPECT_EQ(0, promptOpen);
        if (c.closesItself) {
            EXPECT_GE(lastSeenOpen, 1900u);
            EXPECT_LT(lastSeenOpen, 4000u);  // generous: a loaded machine delays timers
            EXPECT_EQ(1, promptRequest.answer);
            EXPECT_EQ((std::vector<std::string>{"SetProcessShutdownParameters 256 0", "ExitWindowsEx 0 0"}),
                      journal());
            const std::string log = eventLog();
            EXPECT_NE(std::string::npos, log.find(" : Log Off\r\n"));
        } else {
            EXPECT_TRUE(openAfterWaiting);
            EXPECT_EQ(2, promptRequest.answer);
            EXPECT_TRUE(journal().empty());
        }
    }
}

TEST_F(PromptDialogTest, PromptsThatMeetKeepTheirOwnTextsFontAndCountdown)
{
    // The first prompt counts down two seconds. A second one opens at once with
    // a one-second countdown, which never ends by itself. The first must still
    // end after its own two seconds while the second shows; then the second is
    // declined.
    request("first message", "first yes", "first no", 2);
    promptRequest.answer = 0;
    HWND first = nullptr;
    HWND second = nullptr;
    PromptView firstView{}, secondView{}, firstAfter{};
    DWORD firstLastSeenShowing = 0;
    LONG openAfterFirstEnded = -1;
    bool secondShowingAfterFirstEnded = false;
    bool secondFontAliveAfterFirstEnded = false;
    LONG secondAnswer = 0;
    LONG openBetween = -1;
    bool firstFontAliveBetween = false;
    int phase = 0;
    ModalDriver driver([&](ModalDriver& d) {
        HWND dialog = d.newest();
        // The modal loop shows its dialog only after the first tick it dispatches.
        if (phase == 0 && dialog != nullptr && IsWindowVisible(dialog)) {
            phase = 1;
            first = dialog;
            firstView = look(first);
            request("second message", "second yes", "second no", 1);
            showPrompt(IDD_PROMPT, owner());
            // Back in the first prompt's loop, which now ends.
            secondAnswer = promptRequest.answer;
            openBetween = promptOpen;
            firstAfter = look(first);
            firstFontAliveBetween = fontAlive(firstView.fontHandle);
            phase = 3;
        } else if (phase == 1 && dialog != nullptr && dialog != first && IsWindowVisible(dialog)) {
            phase = 2;
            second = dialog;
            secondView = look(second);
        } else if (phase == 2) {
            if (IsWindowVisible(first)) {
                firstLastSeenShowing = d.elapsedMs();
                return;
            }
            openAfterFirstEnded = promptOpen;
            secondShowingAfterFirstEnded = IsWindowVisible(second) != FALSE;
            secondFontAliveAfterFirstEnded = fontAlive(secondView.fontHandle);
            answerNo(second);
        }
    }, 9000);
    showPrompt(IDD_PROMPT, owner());
    ASSERT_FALSE(driver.timedOut());
    ASSERT_EQ(3, phase);
    EXPECT_EQ(2u, driver.seen());

    EXPECT_EQ("first message", firstView.message);
    EXPECT_EQ("second message", secondView.message);
    EXPECT_EQ("second yes", secondView.yes);
    EXPECT_EQ("second no", secondView.no);
    EXPECT_EQ(1, secondView.promptOpen);
    EXPECT_NE(firstView.fontHandle, secondView.fontHandle);

    // The first ended by its own countdown while the second still showed.
    EXPECT_GE(firstLastSeenShowing, 1900u);
    EXPECT_LT(firstLastSeenShowing, 4000u);
    EXPECT_EQ(1, openAfterFirstEnded);
    EXPECT_TRUE(secondShowingAfterFirstEnded);
    EXPECT_TRUE(secondFontAliveAfterFirstEnded);

    // Each prompt reports its own answer.
    EXPECT_EQ(2, secondAnswer);
    EXPECT_EQ(1, promptRequest.answer);
    EXPECT_EQ(0, openBetween);
    EXPECT_EQ(0, promptOpen);

    // The first kept its texts, and its font lived as long as its window.
    EXPECT_EQ("first message", firstAfter.message);
    EXPECT_EQ("first yes", firstAfter.yes);
    EXPECT_EQ("first no", firstAfter.no);
    EXPECT_EQ(firstView.fontHandle, firstAfter.fontHandle);
    EXPECT_TRUE(firstFontAliveBetween);
    EXPECT_FALSE(fontAlive(secondView.fontHandle));
    EXPECT_FALSE(fontAlive(firstView.fontHandle));
}

TEST_F(PromptDialogTest, ForcePromptWithOnlyAMessageKeepsYesAndNo)
{
    resetPromptRequest();
    promptRequest.message = "Forcing Shutdown in 10 seconds...";
    promptRequest.answer = 0;
    PromptView view{};
    ModalDriver driver(onFirstDialog([&](HWND dialog) {
        view = look(dialog);
        answerNo(dialog);
    }));
    showPrompt(IDD_FORCE_PROMPT, owner());
    ASSERT_FALSE(driver.timedOut());
    ASSERT_EQ(1u, driver.seen());
    EXPECT_EQ("Forcing Shutdown in 10 seconds...", view.message);
    EXPECT_EQ("Yes", view.yes);
    EXPECT_EQ("No", view.no);
    EXPECT_TRUE(view.topMost);
    EXPECT_STREQ("Arial", view.fonts[0].lfFaceName);
    EXPECT_EQ(1, view.promptOpen);
    EXPECT_EQ(2, promptRequest.answer);
    EXPECT_EQ(0, promptOpen);
}

TEST_F(PromptFlowTest, PromptThatCannotOpenLeavesAnswerAndFlowsDoNothing)
{
    // Resources without the prompt templates.
    instanceHandle = GetModuleHandleA("kernel32.dll");
    ModalDriver driver([](ModalDriver&) {}, 3000);
    request(restartMessage, restartYes, declineText, 0);
    promptRequest.answer = 77;
    showPrompt(IDD_PROMPT, owner());
    EXPECT_EQ(77, promptRequest.answer);
    EXPECT_EQ(0, promptOpen);

    settings.logEvents = 1;
    const DWORD modes[] = {1, 2};
    for (DWORD mode : modes) {
        SCOPED_TRACE(mode);
        settings.trayPromptMode = mode;
        promptRequest.answer = 1;  // left over from an earlier prompt
        confirmTrayAction(owner(), IDM_POWER_OFF);
        promptRequest.answer = 1;
        confirmTriggerAction(owner(), 3, 10);
    }
    EXPECT_EQ(0u, driver.seen());
    EXPECT_TRUE(journal().empty());
    EXPECT_FALSE(eventLogExists());
    EXPECT_EQ(0, promptOpen);
}

void pressEscape(HWND dialog)
{
    // Through the dialog's own loop, as a key press on the focused button.
    PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

void cancelCommand(HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

struct TrayAnswerCase {
    const char* how;
    DWORD mode;
    UINT menuId;
    void (*answer)(HWND);
    const char* message;
    const char* yes;
    LONG answerValue;
    std::vector<std::string> performed;
};

TEST_F(PromptFlowTest, TrayActionRunsOnlyWhenThePromptSaysYes)
{
    const TrayAnswerCase cases[] = {
        {"Escape in Warn mode", 2, IDM_RESTART, pressEscape, "Please confirm Restart", "Yes, Restart", 2, {}},
        {"Yes in Confirm mode", 1, IDM_SUSPEND, answerYes, "Please confirm Suspend", "Yes, Suspend", 1,
         {"SetProcessShutdownParameters 256 0", "SetSystemPowerState 1 0"}},
    };
    settings.logEvents = 1;
    for (const TrayAnswerCase& c : cases) {
        SCOPED_TRACE(c.how);
        settings.trayPromptMode = c.mode;
        clearJournal();
        std::string message, yes, no;
        ModalDriver driver([&](ModalDriver& d) {
            HWND dialog = d.newest();
            if (dialog == nullptr || !message.empty())
                return;
            message = itemText(dialog, IDC_PROMPT_MESSAGE);
            yes = itemText(dialog, IDOK);
            no = itemText(dialog, IDCANCEL);
            c.answer(dialog);
        });
        confirmTrayAction(owner(), c.menuId);
        ASSERT_FALSE(driver.timedOut());
        EXPECT_EQ(c.message, message);
        EXPECT_EQ(c.yes, yes);
        EXPECT_EQ(declineText, no);
        EXPECT_EQ(c.answerValue, promptRequest.answer);
        EXPECT_EQ(c.performed, journal());
    }
    // Tray actions are never logged.
    EXPECT_FALSE(eventLogExists());
}

struct TriggerCase {
    const char* what;
    DWORD mode;
    DWORD logEvents;
    void (*answer)(HWND);  // null: no prompt expected
    bool performed;
};

TEST_F(PromptFlowTest, TriggerActionIsLoggedWhenLogEventsIsOn)
{
    const TriggerCase cases[] = {
        {"at once, logging", 0, 1, nullptr, true},
        {"at once, not logging", 0, 0, nullptr, true},
        {"confirmed with Yes, logging", 1, 1, answerYes, true},
        {"declined with IDCANCEL, logging", 1, 1, cancelCommand, false},
    };
    for (const TriggerCase& c : cases) {
        SCOPED_TRACE(c.what);
        settings.trayPromptMode = c.mode;
        settings.logEvents = c.logEvents;
        clearJournal();
        DeleteFileA((dataFolder() + "dLog.txt").c_str());
        bool answered = false;
        ModalDriver driver([&](ModalDriver& d) {
            HWND dialog = d.newest();
            if (dialog == nullptr || answered || c.answer == nullptr)
                return;
            answered = true;
            c.answer(dialog);
        }, 4000);
        confirmTriggerAction(owner(), 3, 10);
        EXPECT_FALSE(driver.timedOut());
        EXPECT_EQ(c.answer == nullptr ? 0u : 1u, driver.seen());
        if (c.performed) {
            EXPECT_EQ((std::vector<std::string>{"SetProcessShutdownParameters 256 0", "ExitWindowsEx 0 0"}),
                      journal());
        } else {
            EXPECT_TRUE(journal().empty());
        }
        bool logged = c.performed && c.logEvents == 1;
        ASSERT_EQ(logged, eventLogExists());
        if (logged) {
            std::string log = eventLog();
            const std::string tail = " : Log Off\r\n";
            ASSERT_GE(log.size(), tail.size());
            EXPECT_EQ(tail, log.substr(log.size() - tail.size()));
            EXPECT_EQ(log.find(" : "), log.rfind(" : ")) << "exactly one entry";
        }
    }
}

TEST_F(PromptFlowTest, ActionAboveSevenPerformsAndLogsNothing)
{
    settings.logEvents = 1;
    settings.trayPromptMode = 0;
    const DWORD actions[] = {8, 0xFFFFFFFFu};
    for (DWORD action : actions)
        confirmTriggerAction(owner(), action, 10);
    EXPECT_TRUE(journal().empty());
    EXPECT_FALSE(eventLogExists());

    // Asked first: the prompt names it "Hibernate", and Yes still does nothing.
    settings.trayPromptMode = 1;
    std::string message;
    ModalDriver driver([&](ModalDriver& d) {
        HWND dialog = d.newest();
        if (dialog == nullptr || !message.empty())
            return;
        message = itemText(dialog, IDC_PROMPT_MESSAGE);
        answerYes(dialog);
    });
    confirmTriggerAction(owner(), 8, 10);
    ASSERT_FALSE(driver.timedOut());
    EXPECT_EQ("Please confirm Hibernate", message);
    EXPECT_EQ(1, promptRequest.answer);
    EXPECT_TRUE(journal().empty());
    EXPECT_FALSE(eventLogExists());
}

}  // namespace

namespace {

// Exit from the tray menu while a prompt shows destroys the prompt with its owner.
TEST_F(PromptFlowTest, PromptDestroyedWithItsOwnerPerformsNothing)
{
    settings.trayPromptMode = 1;
    HWND owner = createOwnerWindow();
    bool destroyed = false;
    ModalDriver driver([&](ModalDriver& d) {
        if (d.newest() != nullptr && !destroyed) {
            destroyed = true;
            DestroyWindow(owner);
        }
    });
    confirmTrayAction(owner, IDM_POWER_OFF);
    ASSERT_TRUE(destroyed);
    EXPECT_FALSE(driver.timedOut());
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(2, promptRequest.answer);
    EXPECT_EQ(0, promptOpen);
}

}  // namespace
