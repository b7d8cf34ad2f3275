// How the program begins: with the options, quietly in the tray, or in slam
// mode, which performs one power action here or on a remote computer.
#include "app/app.h"
#include "app/command_line.h"
#include "app/hand_over.h"
#include "app/text.h"
#include "options/option_rules.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "tray/tray.h"
#include "triggers/watch.h"
#include "triggers/watch_rules.h"

static void endSlam(DWORD error = 0)
{
    DestroyWindow(mainWindow);
    endProcessWith(error);
}

static DWORD lastErrorOrFailure()
{
    DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

// A slam of this copy's own start, or one handed over by a second start (ownStart
// false): the same keywords into the same record, the same prompt and action. Where the
// own start would end the process (a remote slam, No at the prompt) a handed-over one
// returns instead. 0 when done or declined, else the error the caller reports.
static DWORD runSlam(const char* commandLine, bool ownStart)
{
    bool watch = false;
    char watchedBefore[sizeof settings.watchProgram];
    copyText(watchedBefore, sizeof watchedBefore, settings.watchProgram);
    bool remote = applySlamKeywords(commandLine, settings, &watch);
    // A script learns from the exit code that the remote computer refused or was not found.
    if (remote) {
        BOOL done = osInitiateSystemShutdown(settings.remoteComputerName, slamMessage, settings.trayWarnSeconds,
                                             commandForceFlag(settings), remoteRestartFlag(settings.commandAction),
                                             plannedShutdownReason);
        DWORD error = done ? 0 : lastErrorOrFailure();
        if (ownStart)
            endSlam(error);
        return error;
    }
    // "/when:" waits for the program to end instead: the action comes on the watch's road.
    if (watch) {
        if (armWatch(settings.watchProgram, triggerAction(settings.commandAction)) == watchArmedOk)
            return 0;
        char text[textSize];
        watchRefusalText(settings.watchProgram, text, sizeof text);
        showTrayNotice(text, 0);
        // A watch that runs keeps its program: the record names what is watched.
        copyText(settings.watchProgram, sizeof settings.watchProgram, watchedBefore);
        return ERROR_FILE_NOT_FOUND;
    }
    if (settings.commandPromptMode != 0) {
        resetPromptRequest();
        promptRequest.countdownSeconds = slamCountdown(settings.commandPromptMode, settings.commandWarnSeconds);
        promptRequest.yesText = slamMessage;
        showPrompt(IDD_FORCE_PROMPT, nullptr);
        if (promptRequest.answer == 2 && ownStart)
            endSlam();
        if (promptRequest.answer == 2)
            return 0;
    }
    // The Command page's "Force Shutdown" forces this action only; the stored flag stays.
    uint32_t storedForce = settings.forceAction;
    settings.forceAction = commandForceFlag(settings);
    DWORD error = performAction(settings.commandAction, settings.logEvents, settings.remoteComputerName);
    settings.forceAction = storedForce;
    return error;
}

DWORD runHandedOverSlam(const char* commandLine)
{
    if (promptOpen != 0)
        return handOverBusy;
    DWORD error = runSlam(commandLine, false);
    return error != 0 ? error : handOverDone;
}

void applyCommandLine()
{
    switch (chooseStartMode(GetCommandLineA(), settings.trayIconEnabled)) {
    case startSlam:
        runSlam(GetCommandLineA(), true);
        break;
    case startQuiet:
        break;
    case startOptions:
        PostMessageA(mainWindow, openOptionsMessage, 0, 0);
        break;
    }
}
