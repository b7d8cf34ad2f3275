// Performing a PowerAction: the log line, the one call of Windows, and the
// forced retries when Windows has not ended the logon 15 seconds later.
#include "app/globals.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/settings_file.h"

// The flag word of the last ExitWindowsEx action: what the forced retries repeat.
// Suspend, Hibernate and a remote shutdown in between leave it alone.
static DWORD lastExitFlags;

void performAction(DWORD action, int writeLog, const char* machineName)
{
    // Only a damaged settings file brings a value above 7: nothing sensible to do.
    const ActionEntry* entry = findAction(action);
    if (entry == nullptr)
        return;
    if (writeLog != 0)
        appendLogLine(entry->logText);
    osSetProcessShutdownParameters(0x100, 0);
    switch (entry->call) {
    case callExitWindows:
        lastExitFlags = entry->flags;
        osExitWindowsEx(lastExitFlags, 0);
        if (settings.forceAction == 1)
            osSetTimer(mainWindow, forceFallbackTimer, 15000);
        break;
    case callSetPowerState:
        osSetSystemPowerState(entry->flags, settings.forceAction);
        break;
    case callRemoteShutdown:
        osInitiateSystemShutdown(machineName, slamMessage, settings.trayWarnSeconds, settings.forceAction,
                                 entry->flags);
        break;
    }
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
    osExitWindowsEx(lastExitFlags, 0);
}
