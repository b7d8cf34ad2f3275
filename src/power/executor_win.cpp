// Performing a PowerAction: the log line, the one call of Windows, and the
// forced retries when Windows has not ended the logon 15 seconds later.
#include "app/globals.h"
#include "app/text.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/policy.h"
#include "settings/settings_file.h"
#include "settings/system_events.h"
#include "tray/tray.h"

// The flag word of the last ExitWindowsEx action: what the forced retries repeat.
// Suspend, Hibernate and a remote shutdown in between leave it alone.
static DWORD lastExitFlags;

// A refused action is not silent: the user sees why in a balloon, the log, where the
// action was logged, says that it failed, and the Windows event log says so in the
// system's words: failed, or refused by a policy.
void reportFailure(const char* name, DWORD error, int writeLog)
{
    char text[textSize];
    formatActionFailure(name, error, text, sizeof text);
    if (writeLog != 0)
        appendLogLine(text);
    char number[12] = "";
    char reason[256];
    appendNumber(number, sizeof number, error);
    describeError(error, reason, sizeof reason);
    if (error == ERROR_ACCESS_DISABLED_BY_POLICY)
        reportSystemEvent(entryRefusedByPolicy, name, reason);
    else
        reportSystemEvent(entryActionFailed, name, number, reason);
    showTrayNotice(text, error);
}

DWORD performAction(DWORD action, int writeLog, const char* machineName)
{
    // Only a damaged settings file brings a value above 7: nothing sensible to do.
    const ActionEntry* entry = findAction(action);
    if (entry == nullptr)
        return 0;
    // Whatever set them (a page, Schedule Shutdown, a slam), a policy forbids force and remote actions.
    const DWORD force = policySets(policy, policyNoForce) ? 0 : settings.forceAction;
    if (entry->call == callRemoteShutdown && policySets(policy, policyNoRemote)) {
        reportFailure(entry->logText, ERROR_ACCESS_DISABLED_BY_POLICY, writeLog);
        return ERROR_ACCESS_DISABLED_BY_POLICY;
    }
    if (writeLog != 0)
        appendLogLine(entry->logText);
    reportSystemEvent(entryActionPerformed, entry->logText);
    osSetProcessShutdownParameters(0x100, 0);
    BOOL done = TRUE;
    switch (entry->call) {
    case callExitWindows:
        lastExitFlags = entry->flags;
        done = osExitWindowsEx(lastExitFlags, plannedShutdownReason);
        if (done && force == 1)
            osSetTimer(mainWindow, forceFallbackTimer, 15000);
        break;
    case callSetPowerState:
        done = osSetSystemPowerState(entry->flags, force);
        break;
    case callRemoteShutdown:
        done = osInitiateSystemShutdown(machineName, slamMessage, settings.trayWarnSeconds, force,
                                        entry->flags, plannedShutdownReason);
        break;
    }
    if (done)
        return 0;
    DWORD error = GetLastError();
    reportFailure(entry->logText, error, writeLog);
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

// Windows has not ended the logon: retry with force every 10 s, and offer to stop.
void onForceFallbackTimer(HWND window)
{
    osKillTimer(window, forceFallbackTimer);
    osSetTimer(window, forcedRetryTimer, 10000);
    resetPromptRequest();
    promptRequest.message = forcePromptMessage;
    promptRequest.answer = 0;
    showPrompt(IDD_FORCE_PROMPT, window);
    if (promptRequest.answer == 2)
        osKillTimer(window, forcedRetryTimer);
}

void onForcedRetryTimer(HWND)
{
    lastExitFlags |= forceFlag;
    osExitWindowsEx(lastExitFlags, plannedShutdownReason);
}
