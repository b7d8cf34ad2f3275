// Performing power actions and asking before them.
#pragma once
#include <windows.h>

// Performs one action; writeLog asks for a line in the event log first. 0 when Windows
// took it, else its error, which the user has been told of.
DWORD performAction(DWORD action, int writeLog, const char* machineName);
// Tells the user (and the log, when writeLog) that Windows refused `name` with `error`.
void reportFailure(const char* name, DWORD error, int writeLog);
void onForceFallbackTimer(HWND window);
void onForcedRetryTimer(HWND window);

// The prompt's request and answer; each prompt keeps its own copy once it opens.
struct PromptRequest {
    const char* message;
    const char* yesText;
    const char* noText;
    DWORD countdownSeconds;
    LONG answer;
};
extern PromptRequest promptRequest;

// Shows a prompt dialog (1601, or the force and slam prompt 1005) modally.
void showPrompt(int templateId, HWND owner);
void resetPromptRequest();
// promptOpen stays 1 while any prompt or the schedule dialog shows.
void enterPromptOpen();
void leavePromptOpen();
void confirmTrayAction(HWND owner, UINT menuId);
// The prompt of the schedule and the idle shutdown, by trayPromptMode: true when the
// action is to go ahead.
bool confirmTriggerAction(HWND owner, DWORD action, DWORD warnSeconds);
