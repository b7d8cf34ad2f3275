// The action table and the prompt texts.
#include "power/actions.h"

#include "app/text.h"

static const ActionEntry actionTable[] = {
    {"Power Off", 8, callExitWindows},
    {"Restart", 2, callExitWindows},
    {"Shutdown", 1, callExitWindows},
    {"Log Off", 0, callExitWindows},
    {"Suspend", 1, callSetPowerState},
    {"Hibernate", 0, callSetPowerState},
    {"Remote Shut", 0, callRemoteShutdown},
    {"Remote Restart", 1, callRemoteShutdown},
};

// The first words of every confirmation's message.
static const char confirmWords[] = "Please confirm ";

const ActionEntry* findAction(uint32_t action)
{
    if (action >= sizeof actionTable / sizeof actionTable[0])
        return nullptr;
    return &actionTable[action];
}

uint32_t triggerAction(uint32_t action)
{
    return action <= 5 ? action : 5;
}

const char* promptActionName(uint32_t action)
{
    return actionTable[triggerAction(action)].logText;
}

void planActionPrompt(uint32_t promptMode, uint32_t action, uint32_t warnSeconds, PromptPlan& plan)
{
    plan.ask = promptMode != 0;
    plan.countdownSeconds = promptMode == 1 ? 0 : warnSeconds;
    const char* name = promptActionName(action);
    copyText(plan.message, sizeof plan.message, confirmWords);
    appendText(plan.message, sizeof plan.message, name);
    copyText(plan.yesText, sizeof plan.yesText, "Yes, ");
    appendText(plan.yesText, sizeof plan.yesText, name);
    copyText(plan.noText, sizeof plan.noText, "No! Don't do it!");
    if (!plan.ask)
        plan.countdownSeconds = 0;
}

void formatSlamPrompt(uint32_t action, char* out, size_t outSize)
{
    const ActionEntry* entry = findAction(action);
    copyText(out, outSize, entry != nullptr ? confirmWords : "");
    appendText(out, outSize, entry != nullptr ? entry->logText : "");
}

uint32_t slamCountdown(uint32_t commandPromptMode, uint32_t commandWarnSeconds)
{
    return commandPromptMode == 1 ? 0 : commandWarnSeconds;
}

void formatCountdownMessage(const char* message, uint32_t countdownSeconds, uint32_t elapsedMs, char* out,
                            size_t outSize)
{
    copyText(out, outSize, message);
    const uint64_t totalMs = static_cast<uint64_t>(countdownSeconds) * 1000;
    if (elapsedMs >= totalMs)
        return;
    const uint64_t left = (totalMs - elapsedMs + 999) / 1000;
    appendText(out, outSize, "\r\n");
    appendNumber(out, outSize, static_cast<uint32_t>(left));
    appendText(out, outSize, left == 1 ? " second left" : " seconds left");
}

uint32_t countdownIntervalMs(uint32_t countdownSeconds)
{
    const uint32_t longest = 0x7FFFFFFF;  // USER_TIMER_MAXIMUM
    if (countdownSeconds > longest / 1000)
        return longest;
    return countdownSeconds * 1000;
}

bool actionPossible(uint32_t action, bool canSuspend, bool canHibernate)
{
    if (action == 4)
        return canSuspend;
    if (action == 5)
        return canHibernate;
    return true;
}

void formatActionFailure(const char* name, uint32_t error, char* out, size_t outSize)
{
    copyText(out, outSize, name);
    appendText(out, outSize, " failed (error ");
    appendNumber(out, outSize, error);
    appendText(out, outSize, ")");
}
