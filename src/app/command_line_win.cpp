// How the program begins: with the options, quietly in the tray, or in slam
// mode, which performs one power action here or on a remote computer.
#include "app/app.h"
#include "app/command_line.h"
#include "options/option_rules.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "resources/resource.h"

static void endSlam()
{
    DestroyWindow(mainWindow);
    endProcess();
}

static void runSlamCommand()
{
    bool remote = applySlamKeywords(GetCommandLineA(), settings);
    if (remote) {
        osInitiateSystemShutdown(settings.remoteComputerName, slamMessage, settings.trayWarnSeconds,
                                 commandForceFlag(settings), remoteRestartFlag(settings.commandAction));
        endSlam();
    }
    if (settings.commandPromptMode != 0) {
        resetPromptRequest();
        promptRequest.countdownSeconds = slamCountdown(settings.commandPromptMode, settings.commandWarnSeconds);
        promptRequest.yesText = slamMessage;
        showPrompt(IDD_FORCE_PROMPT, nullptr);
        if (promptRequest.answer == 2)
            endSlam();
    }
    // The Command page's "Force Shutdown" forces this action only; the stored flag stays.
    uint32_t storedForce = settings.forceAction;
    settings.forceAction = commandForceFlag(settings);
    performAction(settings.commandAction, settings.logEvents, settings.remoteComputerName);
    settings.forceAction = storedForce;
}

void applyCommandLine()
{
    switch (chooseStartMode(GetCommandLineA(), settings.trayIconEnabled)) {
    case startSlam:
        runSlamCommand();
        break;
    case startQuiet:
        break;
    case startOptions:
        PostMessageA(mainWindow, openOptionsMessage, 0, 0);
        break;
    }
}
