// The prompt dialog (Yes / No with an optional countdown) and the two
// confirmation flows that put it before tray, scheduled and idle actions.
#include "app/dpi.h"
#include "app/globals.h"
#include "app/text.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/policy.h"

PromptRequest promptRequest;

static const UINT fontRequest = WM_APP + 1;

// Prompts may meet (a schedule running out while another prompt shows), so
// each open prompt owns a copy of its request and its own font.
struct PromptState {
    char message[promptTextSize];
    char yesText[promptTextSize];
    char noText[promptTextSize];
    bool hasYesText;
    bool hasNoText;
    DWORD countdownSeconds;
    DWORD putOffMinutes;
    DWORD openTick;
    HFONT font;
    LONG answer;
    bool opened;
    bool ended;
};

static LONG openPrompts;
// The prompt of the agenda's triggers (the one with a put-off button), while it shows.
static HWND triggerPrompt;

void enterPromptOpen()
{
    ++openPrompts;
    promptOpen = 1;
}

// What waited for this window to close may be asked now.
void leavePromptOpen()
{
    if (openPrompts > 0)
        --openPrompts;
    promptOpen = openPrompts > 0 ? 1 : 0;
    PostMessageA(mainWindow, agendaPokeMessage, 0, 0);
}

LONG openPromptCount() { return openPrompts; }

void withdrawTriggerPrompt()
{
    if (triggerPrompt != nullptr)
        PostMessageA(triggerPrompt, WM_COMMAND, IDCANCEL, 0);
}

void resetPromptRequest()
{
    promptRequest.message = nullptr;
    promptRequest.yesText = nullptr;
    promptRequest.noText = nullptr;
    promptRequest.countdownSeconds = 0;
    promptRequest.putOffMinutes = 0;
}

static void takeRequest(PromptState* state)
{
    copyText(state->message, sizeof state->message, promptRequest.message ? promptRequest.message : "");
    state->hasYesText = promptRequest.yesText != nullptr;
    state->hasNoText = promptRequest.noText != nullptr;
    copyText(state->yesText, sizeof state->yesText, state->hasYesText ? promptRequest.yesText : "");
    copyText(state->noText, sizeof state->noText, state->hasNoText ? promptRequest.noText : "");
    state->countdownSeconds = promptRequest.countdownSeconds;
    state->putOffMinutes = promptRequest.putOffMinutes;
}

static const UINT_PTR countdownTimer = 2;
static const UINT_PTR secondTimer = 3;

// The seconds that remain, under the message; a one-second countdown, which waits for
// the user, shows none.
static void showCountdown(HWND dialog, const PromptState* state)
{
    char text[promptTextSize + 32];
    formatCountdownMessage(state->message, state->countdownSeconds > 1 ? state->countdownSeconds : 0,
                           osGetTickCount() - state->openTick, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_PROMPT_MESSAGE, text);
}

// The put-off button, where the caller offers one: "+10 min", as large as Yes and No and
// below them, in a prompt grown by its row.
static void showPutOff(HWND dialog, const PromptState* state)
{
    HWND button = GetDlgItem(dialog, IDC_PROMPT_PUT_OFF);
    if (button == nullptr || state->putOffMinutes == 0)
        return;
    char text[32] = "+";
    appendNumber(text, sizeof text, state->putOffMinutes);
    appendText(text, sizeof text, " min");
    SetWindowTextA(button, text);
    RECT row = {0, 0, 0, 40};
    MapDialogRect(dialog, &row);
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + row.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(button, SW_SHOWNA);
}

// Made again when the prompt moves to a monitor of another scaling, where Windows has
// just given its controls the dialog's own font of the new size.
static void setPromptFont(HWND dialog, PromptState* state)
{
    // 20 pixels at 100%, as large beside the buttons at any scaling.
    int height = scaleForDpi(20, windowDpi(dialog));
    HFONT previous = state->font;
    state->font = CreateFontA(height, 0, 0, 0, 50, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    const int controls[] = {IDOK, IDCANCEL, IDC_PROMPT_PUT_OFF, IDC_PROMPT_MESSAGE};
    for (int id : controls)
        SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), TRUE);
    if (previous != nullptr)
        DeleteObject(previous);
}

static BOOL onPromptInit(HWND dialog, PromptState* state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    state->opened = true;
    enterPromptOpen();
    takeRequest(state);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    state->openTick = osGetTickCount();
    if (state->putOffMinutes != 0)
        triggerPrompt = dialog;
    showCountdown(dialog, state);
    // A button without a text of its own keeps the template's "Yes" or "No".
    if (state->hasYesText)
        SetDlgItemTextA(dialog, IDOK, state->yesText);
    if (state->hasNoText)
        SetDlgItemTextA(dialog, IDCANCEL, state->noText);
    showPutOff(dialog, state);
    centerOnPointerMonitor(dialog);
    if (state->countdownSeconds > 0) {
        osSetTimer(dialog, countdownTimer, countdownIntervalMs(state->countdownSeconds));
        if (settings.warningSound != 0)
            osPlayWarningSound();
    }
    if (state->countdownSeconds > 1)
        osSetTimer(dialog, secondTimer, 1000);
    setPromptFont(dialog, state);
    SetFocus(GetDlgItem(dialog, IDOK));
    return FALSE;
}

static void finishPrompt(PromptState* state, LONG answer)
{
    state->answer = answer;
    state->ended = true;
    resetPromptRequest();
    leavePromptOpen();
}

static void endPrompt(HWND dialog, PromptState* state, LONG answer)
{
    osKillTimer(dialog, countdownTimer);
    if (state->countdownSeconds > 1)
        osKillTimer(dialog, secondTimer);
    finishPrompt(state, answer);
    EndDialog(dialog, 0);
}

// A prompt destroyed unanswered (its owner went, as at Exit) counts as No:
// nothing may be performed that the user never confirmed.
static void onPromptDestroy(HWND dialog, PromptState* state)
{
    if (triggerPrompt == dialog)
        triggerPrompt = nullptr;
    if (!state->ended)
        finishPrompt(state, 2);
    if (state->font != nullptr) {
        DeleteObject(state->font);
        state->font = nullptr;
    }
}

static void onPromptTimer(HWND dialog, PromptState* state, WPARAM id)
{
    if (id == secondTimer)
        showCountdown(dialog, state);
    // A one-second countdown keeps waiting for the user: it fires each second and does nothing.
    if (id != countdownTimer || state->countdownSeconds == 1)
        return;
    endPrompt(dialog, state, promptYes);
}

static INT_PTR CALLBACK promptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    PromptState* state = reinterpret_cast<PromptState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        return onPromptInit(dialog, reinterpret_cast<PromptState*>(lParam));
    case WM_TIMER:
        if (state != nullptr)
            onPromptTimer(dialog, state, wParam);
        return TRUE;
    case WM_COMMAND:
        if (state != nullptr && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            endPrompt(dialog, state, LOWORD(wParam) == IDOK ? promptYes : promptNo);
        else if (state != nullptr && LOWORD(wParam) == IDC_PROMPT_PUT_OFF && state->putOffMinutes != 0)
            endPrompt(dialog, state, promptPutOff);
        return TRUE;
    case WM_DESTROY:
        if (state != nullptr)
            onPromptDestroy(dialog, state);
        return FALSE;
    // After Windows has rescaled the dialog for its new monitor.
    case dpiChangedMessage: PostMessageA(dialog, fontRequest, 0, 0); return FALSE;
    case fontRequest:
        if (state != nullptr && !state->ended)
            setPromptFont(dialog, state);
        return TRUE;
    }
    return FALSE;
}

void showPrompt(int templateId, HWND owner)
{
    PromptState state;
    ZeroMemory(&state, sizeof state);
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(templateId), owner, promptDialogProc,
                    reinterpret_cast<LPARAM>(&state));
    // A prompt that never opened leaves the answer as it was.
    if (state.opened)
        promptRequest.answer = state.answer;
}

// Shows the plan's prompt: its answer, No when no prompt could be shown.
static LONG askFirst(HWND owner, const PromptPlan& plan, DWORD putOffMinutes)
{
    promptRequest.message = plan.message;
    promptRequest.yesText = plan.yesText;
    promptRequest.noText = plan.noText;
    promptRequest.countdownSeconds = plan.countdownSeconds;
    promptRequest.putOffMinutes = putOffMinutes;
    promptRequest.answer = promptNo;  // what a prompt that cannot open answers
    showPrompt(IDD_PROMPT, owner);
    return promptRequest.answer;
}

void confirmTrayAction(HWND owner, UINT menuId)
{
    DWORD action = menuId - IDM_POWER_OFF;
    PromptPlan plan;
    planActionPrompt(settings.trayPromptMode, action, policyLeastWarning(policy, 10), plan);
    if (plan.ask && askFirst(owner, plan, 0) != promptYes)
        return;
    performAction(action, 0, nullptr);
}

LONG confirmTriggerAction(HWND owner, DWORD action, DWORD warnSeconds, DWORD putOffMinutes)
{
    PromptPlan plan;
    planActionPrompt(settings.trayPromptMode, action, warnSeconds, plan);
    return plan.ask ? askFirst(owner, plan, putOffMinutes) : promptYes;
}

static BOOL CALLBACK cancelIfPrompt(HWND window, LPARAM count)
{
    if (GetDlgItem(window, IDC_PROMPT_MESSAGE) != nullptr && IsWindowVisible(window)) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

bool cancelPrompts()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), cancelIfPrompt, reinterpret_cast<LPARAM>(&count));
    return count > 0;
}
