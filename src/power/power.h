// Performing power actions and asking before them.
#pragma once
#include <windows.h>

// Performs one action; writeLog asks for a line in the event log first (the Windows
// event log has its entry whatever writeLog). 0 when Windows took it, else its error,
// which the user has been told of.
DWORD performAction(DWORD action, int writeLog, const char* machineName);
// Tells the user, the Windows event log (and the log, when writeLog) that Windows
// refused `name` with `error`.
void reportFailure(const char* name, DWORD error, int writeLog);
void onForceFallbackTimer(HWND window);
void onForcedRetryTimer(HWND window);

// The prompt's request and answer; each prompt keeps its own copy once it opens.
struct PromptRequest {
    const char* message;
    const char* yesText;
    const char* noText;
    DWORD countdownSeconds;
    DWORD putOffMinutes;  // 0: no put-off button
    LONG answer;
};
extern PromptRequest promptRequest;

// Shows a prompt dialog (1601, or the force and slam prompt 1005) modally.
void showPrompt(int templateId, HWND owner);
void resetPromptRequest();
// promptOpen stays 1 while any prompt or the schedule dialog shows.
void enterPromptOpen();
void leavePromptOpen();
// How many prompts and dialogs that keep promptOpen show now.
LONG openPromptCount();
// Answers the triggers' prompt No in the user's place, when one shows.
void withdrawTriggerPrompt();
void confirmTrayAction(HWND owner, UINT menuId);
// Answers every prompt that shows with No (a script's abort); true when one showed.
bool cancelPrompts();
// The answers of a prompt: Yes (also at the end of a countdown), No (also Esc, or a
// prompt that could not open), and the put-off button.
enum : LONG { promptYes = 1, promptNo = 2, promptPutOff = 3 };
// The prompt of the automatic triggers, by trayPromptMode, with a button that puts the
// action off by putOffMinutes: its answer (promptYes at once without a prompt).
LONG confirmTriggerAction(HWND owner, DWORD action, DWORD warnSeconds, DWORD putOffMinutes);
