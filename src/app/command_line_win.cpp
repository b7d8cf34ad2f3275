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

// A start of its own that was refused ends with its code once the user has had the
// time to read the balloon, which would vanish with the icon.
static const UINT refusalShownMs = 10000;
static DWORD refusalCode;

static void endAfterRefusal(DWORD error)
{
    refusalCode = error;
    if (settings.trayIconEnabled == 0)
        endSlam(error);
    osSetTimer(mainWindow, slamEndTimer, refusalShownMs);
}

void onSlamEndTimer() { endSlam(refusalCode); }

static bool slamEnding() { return refusalCode != 0; }

static const char whenNeedsName[] = "/when needs the name of a program to wait for (/when:render.exe): nothing was done.";
static const char whenLocalOnly[] = "/when waits for a program only before an action on this computer: nothing was done.";

// "/when" waits for a program to end and then performs the slam's action on the
// watch's road; it never acts at once. A remote action is refused, and so is a name
// that runs nowhere (the stored name stands in for a missing one). The error, 0 when armed.
static DWORD watchForSlam(bool remote)
{
    char text[textSize];
    DWORD error = ERROR_INVALID_PARAMETER;
    if (remote || settings.commandAction > 5) {
        copyText(text, sizeof text, whenLocalOnly);
    } else {
        WatchArmResult armed = armWatch(settings.watchProgram, settings.commandAction);
        if (armed == watchArmedOk)
            return 0;
        error = ERROR_FILE_NOT_FOUND;
        if (armed == watchNoName)
            copyText(text, sizeof text, whenNeedsName);
        else
            watchRefusalText(settings.watchProgram, text, sizeof text);
    }
    showTrayNotice(text, 0);
    return error;
}

// A slam of this copy's own start, or one handed over by a second start (ownStart
// false): the same keywords into the same record, the same prompt and action. Where the
// own start would end the process (a remote slam, No at the prompt) a handed-over one
// returns instead. 0 when done or declined, else the error the caller reports.
static DWORD runSlam(const char* commandLine, bool ownStart)
{
    // A refused slam leaves the record as it was: nothing was done.
    static Settings before;
    before = settings;
    bool watch = false;
    bool remote = applySlamKeywords(commandLine, settings, &watch);
    if (watch) {
        DWORD error = watchForSlam(remote);
        if (error != 0) {
            settings = before;
            if (ownStart)
                endAfterRefusal(error);
        }
        return error;
    }
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

// Busy while a prompt or the options show: an open page would write its own values
// back over what the slam set, and a copy about to end would drop what it armed.
DWORD runHandedOverSlam(const char* commandLine)
{
    if (promptOpen != 0 || optionsOpen != 0 || slamEnding())
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
