// What each PowerAction does, and what the prompts before it say.
#pragma once
#include <cstddef>
#include <cstdint>

enum ActionCall { callExitWindows, callSetPowerState, callRemoteShutdown };

struct ActionEntry {
    const char* logText;  // also the name the rest of the program shows
    uint32_t flags;       // ExitWindowsEx flags, suspend flag or restart flag
    ActionCall call;
};

// The entry of actions 0 to 7; none for any other value.
const ActionEntry* findAction(uint32_t action);

const uint32_t forceFlag = 4;  // EWX_FORCE
const char* const slamMessage = "Windows is about to be Slammed...";
const char* const forcePromptMessage = "Forcing Shutdown in 10 seconds...";

// The name a prompt shows: values outside 0 to 4 read "Hibernate".
const char* promptActionName(uint32_t action);
// The action that the schedule and the idle shutdown perform: the one their prompt and
// tooltip name, so a value above 5 (only a damaged file holds one) is Hibernate.
uint32_t triggerAction(uint32_t action);

// Whether the computer can perform the action: Suspend and Hibernate need the sleep
// state they name; every other action can always be asked for.
bool actionPossible(uint32_t action, bool canSuspend, bool canHibernate);

// What the user is told, and the log says, when Windows refused an action:
// "Hibernate failed (error 50)".
void formatActionFailure(const char* name, uint32_t error, char* out, size_t outSize);

const size_t promptTextSize = 600;

// What a confirmation flow asks before an action.
struct PromptPlan {
    bool ask;                          // false: perform at once ("Just Shutdown")
    char message[promptTextSize];
    char yesText[promptTextSize];
    char noText[promptTextSize];
    uint32_t countdownSeconds;         // 0: wait for the user
};

// The prompt of the tray and trigger flows for a prompt mode (0 none, 1 confirm,
// any other value warn) with the caller's countdown.
void planActionPrompt(uint32_t promptMode, uint32_t action, uint32_t warnSeconds, PromptPlan& plan);

// The message of the command line's prompt: "Please confirm Remote Restart" (any action
// by its own name); empty for a value that names none.
void formatSlamPrompt(uint32_t action, char* out, size_t outSize);

// The countdown of the command line's prompt: none for Confirm, else the warning seconds.
uint32_t slamCountdown(uint32_t commandPromptMode, uint32_t commandWarnSeconds);

// The prompt's message with its countdown on a line of its own ("Please confirm Log Off",
// then "9 seconds left"): the whole seconds that remain of countdownSeconds after
// elapsedMs, rounded up; the message alone once none remain.
void formatCountdownMessage(const char* message, uint32_t countdownSeconds, uint32_t elapsedMs, char* out,
                            size_t outSize);

// The dialog timer for a countdown, kept inside what a window timer accepts.
uint32_t countdownIntervalMs(uint32_t countdownSeconds);
