// The prompt dialog (Yes / No with an optional countdown) and the two
// confirmation flows that put it before tray, scheduled and idle actions.
#include "app/dpi.h"
#include "app/globals.h"
#include "app/text.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"

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
    HFONT font;
    LONG answer;
    bool opened;
    bool ended;
};

static LONG openPrompts;

void enterPromptOpen()
{
    ++openPrompts;
    promptOpen = 1;
}

void leavePromptOpen()
{
    if (openPrompts > 0)
        --openPrompts;
    promptOpen = openPrompts > 0 ? 1 : 0;
}

void resetPromptRequest()
{
    promptRequest.message = nullptr;
    promptRequest.yesText = nullptr;
    promptRequest.noText = nullptr;
    promptRequest.countdownSeconds = 0;
}

static void takeRequest(PromptState* state)
{
    copyText(state->message, sizeof state->message, promptRequest.message ? promptRequest.message : "");
    state->hasYesText = promptRequest.yesText != nullptr;
    state->hasNoText = promptRequest.noText != nullptr;
    copyText(state->yesText, sizeof state->yesText, state->hasYesText ? promptRequest.yesText : "");
    copyText(state->noText, sizeof state->noText, state->hasNoText ? promptRequest.noText : "");
    state->countdownSeconds = promptRequest.countdownSeconds;
}

// Made again when the prompt moves to a monitor of another scaling, where Windows has
// just given its controls the dialog's own font of the new size.
static void setPromptFont(HWND dialog, PromptState* state)
{
    // 20 pixels at 100%, as large beside the buttons at any scaling.
    int height = scaleForDpi(20, windowDpi(dialog));
    HFONT previous = state->font;
    state->font = CreateFontA(height, 0, 0, 0, 50, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    const int controls[] = {IDOK, IDCANCEL, IDC_PROMPT_MESSAGE};
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
    centerOnPointerMonitor(dialog);
    SetDlgItemTextA(dialog, IDC_PROMPT_MESSAGE, state->message);
    // A button without a text of its own keeps the template's "Yes" or "No".
    if (state->hasYesText)
        SetDlgItemTextA(dialog, IDOK, state->yesText);
    if (state->hasNoText)
        SetDlgItemTextA(dialog, IDCANCEL, state->noText);
    if (state->countdownSeconds > 0)
        osSetTimer(dialog, 2, countdownIntervalMs(state->countdownSeconds));
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
    osKillTimer(dialog, 2);
    finishPrompt(state, answer);
    EndDialog(dialog, 0);
}

// A prompt destroyed unanswered (its owner went, as at Exit) counts as No:
// nothing may be performed that the user never confirmed.
static void onPromptDestroy(PromptState* state)
{
    if (!state->ended)
        finishPrompt(state, 2);
    if (state->font != nullptr) {
        DeleteObject(state->font);
        state->font = nullptr;
    }
}

static void onPromptTimer(HWND dialog, PromptState* state, WPARAM id)
{
    // A one-second countdown keeps waiting for the user: it fires each second and does nothing.
    if (id != 2 || state->countdownSeconds == 1)
        return;
    endPrompt(dialog, state, 1);
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
            endPrompt(dialog, state, LOWORD(wParam) == IDOK ? 1 : 2);
        return TRUE;
    case WM_DESTROY:
        if (state != nullptr)
            onPromptDestroy(state);
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

// Shows the plan's prompt; false when the user declined or no prompt could be shown.
static bool askFirst(HWND owner, const PromptPlan& plan)
{
    promptRequest.message = plan.message;
    promptRequest.yesText = plan.yesText;
    promptRequest.noText = plan.noText;
    promptRequest.countdownSeconds = plan.countdownSeconds;
    promptRequest.answer = 2;  // what a prompt that cannot open answers
    showPrompt(IDD_PROMPT, owner);
    return promptRequest.answer != 2;
}

void confirmTrayAction(HWND owner, UINT menuId)
{
    DWORD action = menuId - IDM_POWER_OFF;
    PromptPlan plan;
    planActionPrompt(settings.trayPromptMode, action, 10, plan);
    if (plan.ask && !askFirst(owner, plan))
        return;
    performAction(action, 0, nullptr);
}

bool confirmTriggerAction(HWND owner, DWORD action, DWORD warnSeconds)
{
    PromptPlan plan;
    planActionPrompt(settings.trayPromptMode, action, warnSeconds, plan);
    return !plan.ask || askFirst(owner, plan);
}
