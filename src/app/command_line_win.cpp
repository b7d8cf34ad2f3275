// How the program begins: with the options, quietly in the tray, or in slam
// mode, which performs one power action here or on a remote computer.
#include "app/app.h"
#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/hand_over.h"
#include "app/text.h"
#include "options/option_rules.h"
#include "power/actions.h"
#include "power/power.h"
#include "power/power_calls.h"
#include "power/remote.h"
#include "resources/resource.h"
#include "settings/policy.h"
#include "settings/settings_file.h"
#include "settings/system_events.h"
#include "tray/tray.h"
#include "tray/tray_rules.h"
#include "triggers/clock_rules.h"
#include "triggers/triggers.h"
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

// The console the current slam was typed in: of this copy's parent at its own start,
// of the second start's parent for a hand-over; 0 when there is none.
static DWORD slamConsole;
// A start of its own that was refused or failed ends with its code, once the user has
// had the time to read the balloon, which would vanish with the icon.
static const UINT noticeShownMs = 10000;
static DWORD endCode;
static bool endExactly;  // a list's slam ends with 0 itself when all went well
static bool toldOnConsole;
// The folder the slam was typed in, for a list file named without one.
static const char* slamFolder;
static bool listDone;  // every computer of a list did it: a second start ends with 0
// The command line of the slam under way (cut to fit), for the Windows event log.
static char slamLine[1024];

// One line on the console ("Pelk: SERVER7: The network path was not found. (53)"), or
// else (when asked) a balloon, on an icon of its own where the tray icon is switched off.
// A refusal (entry: its ID) goes to the Windows event log too, with the command line
// refused (line), by default the slam's.
static void tellSlamUser(const char* text, DWORD error, bool balloon, int entry = 0, const char* line = slamLine)
{
    const char who[] = "Pelk: ";
    char told[textSize + 300];
    copyText(told, sizeof told, who);
    appendText(told, sizeof told, text);
    if (error != 0) {
        char reason[256];
        describeError(error, reason, sizeof reason);
        appendText(told, sizeof told, ": ");
        appendText(told, sizeof told, reason);
        appendText(told, sizeof told, " (");
        appendNumber(told, sizeof told, error);
        appendText(told, sizeof told, ")");
    }
    if (entry != 0)
        reportSystemEvent(entry, line, told + sizeof who - 1);
    toldOnConsole = osWriteConsoleLine(slamConsole, told) != FALSE;
    if (toldOnConsole || !balloon)
        return;
    showTrayNotice(text, error);
}

static void endAfterNotice(DWORD error, bool exactly = false)
{
    endCode = error;
    endExactly = exactly;
    if (toldOnConsole)
        onSlamEndTimer();
    osSetTimer(mainWindow, slamEndTimer, noticeShownMs);
}

void onSlamEndTimer()
{
    if (!endExactly)
        endSlam(endCode);
    DestroyWindow(mainWindow);
    ExitProcess(endCode);
}

static bool slamEnding() { return endCode != 0 || endExactly; }

static const char whenNeedsName[] = "/when needs the name of a program to wait for (/when:render.exe): nothing was done.";
static const char whenLocalOnly[] = "/when waits for a program only before an action on this computer: nothing was done.";

// "/when" waits for a program to end and then performs the slam's action on the
// watch's road; it never acts at once. A remote action is refused, and so is a name
// that runs nowhere (the stored name stands in for a missing one). The error, 0 when
// armed, and what the user is to be told in text.
static DWORD watchForSlam(bool remote, char* text, size_t size)
{
    if (remote || settings.commandAction > 5) {
        copyText(text, size, whenLocalOnly);
        return exitBadArgument;
    }
    WatchArmResult armed = armWatch(settings.watchProgram, settings.commandAction);
    if (armed == watchArmedOk)
        return 0;
    if (armed == watchNoName)
        copyText(text, size, whenNeedsName);
    else
        watchRefusalText(settings.watchProgram, text, size);
    return exitNoProgram;
}

static const char waitsLocalOnly[] = "/time and /mins arm only an action on this computer: nothing was done.";

// "/when", "/time" and "/mins" arm what waits (the program watch, the clock time, the
// countdown) with the slam's action, and never act at once. The error, 0 when armed,
// and what the user is to be told in text.
static DWORD armForSlam(const SlamWords& words, char* text, size_t size)
{
    if (words.watch) {
        DWORD error = watchForSlam(words.remote, text, size);
        if (error != 0)
            return error;
    }
    if ((words.clock || words.countdown) && (words.remote || settings.commandAction > 5)) {
        copyText(text, size, waitsLocalOnly);
        return exitBadArgument;
    }
    // A one-off of its own, beside the clock time the Clock page or a policy sets.
    if (words.clock)
        agendaDeliver(eventOnce, static_cast<uint8_t>(settings.commandAction), words.clockMinute);
    if (words.countdown) {
        settings.scheduleMinutes = words.countdownMinutes;
        settings.scheduleAction = settings.commandAction;
        startSchedule();
    }
    return 0;
}

// A task of the system account (session 0, where nobody sees a window) at the time of day
// that a policy sets leaves the action to the Pelk of a user who is logged on: that one
// warns and offers the put-off as the policy says.
static bool leftToTheUser()
{
    SessionReading sessions;
    osReadSessions(&sessions);
    return sessions.known && sessions.own == 0 && policySets(policy, policyClockSchedule) && osUserLoggedOnElsewhere();
}

// "/abort": whatever is armed stops, and any warning that shows is answered No.
static DWORD abortForSlam(bool ownStart)
{
    bool prompts = cancelPrompts();
    if (abortShutdown(mainWindow) || prompts)
        return 0;
    tellSlamUser(policySets(policy, policyClockSchedule)
                     ? "Nothing was armed to abort. The time of day is an administrator's: it can be put off when it warns, not skipped."
                     : "Nothing was armed to abort.",
                 0, true);
    if (ownStart)
        endAfterNotice(exitNotFound);
    return exitNotFound;
}

// "@hosts.txt": the list file's text, found from the folder the slam was typed in; 0, or
// the error and what the user is told of it. A file that holds no plain text (saved as
// UTF-16, say) or more than the buffer is refused whole: a name read wrongly or cut
// short could be another computer's.
static DWORD readListFile(const char* name, char* text, DWORD size, char* told, size_t toldSize)
{
    char path[textSize] = "";
    bool relative = name[0] != '\\' && name[0] != '/' && !(name[0] != '\0' && name[1] == ':');
    if (relative && slamFolder != nullptr && slamFolder[0] != '\0') {
        copyText(path, sizeof path, slamFolder);
        appendText(path, sizeof path, "\\");
    }
    appendText(path, sizeof path, name);
    copyText(told, toldSize, name);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastErrorOrFailure();
    DWORD high = 0;
    DWORD length = GetFileSize(file, &high);
    DWORD read = 0;
    DWORD error = high != 0 || length >= size ? DWORD(exitListTooLarge)
                  : ReadFile(file, text, size - 1, &read, nullptr) ? 0
                                                                   : lastErrorOrFailure();
    CloseHandle(file);
    text[error == 0 ? read : 0] = '\0';
    if (error == 0 && lstrlenA(text) != static_cast<int>(read)) {
        appendText(told, toldSize, " holds no plain text (save it as ANSI or UTF-8, one name a line): nothing was done.");
        return exitListRefused;
    }
    // A UTF-8 file may begin with its mark, which is no part of the first name.
    if (error == 0 && read >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF')
        text[0] = text[1] = text[2] = ' ';
    return error;
}

// The remote slam under way: who is to hear of its end, and how.
static struct {
    char summary[textSize + 300];
    DWORD console, error;
    bool ownStart, endsStart, list;
    bool replyWaits;  // a second start waits for its answer
} remote;

// The last computer has answered: the user is told of a failure or of a list's tally, a
// start of its own ends, and a second start gets its answer at once (ReplyMessage), even
// from under a menu or a sheet opened meanwhile.
static void remoteSlamFinished(DWORD error, const char* summary)
{
    slamConsole = remote.console;
    remote.error = error;
    listDone = remote.list && error == 0;
    if (error != 0 || remote.list)
        tellSlamUser(summary, remote.list ? 0 : error, true);
    if (remote.endsStart && (error != 0 || remote.list))
        endAfterNotice(error, remote.list);
    else if (remote.endsStart)
        endSlam();
    if (remote.replyWaits) {
        remote.replyWaits = false;
        ReplyMessage(error != 0 ? error : remote.list ? handOverAllDone : handOverDone);
    }
}

// A remote slam, on one computer or on each of a list ("/remo:@hosts.txt"): the exit
// code tells a script that a computer refused or was not found (the first such of a
// list), and the user is told too: of a failure, or of a list's tally. A start of its
// own that ends with it (endsStart) ends when the run does; a second start's answer is
// given when the run ends, and until then the handler that received it serves the
// program's windows (its value is answered already by then).
static DWORD runRemoteSlam(const char* names, bool ownStart, bool endsStart)
{
    static char list[64 * 1024];
    remote.list = names[0] == '@';
    remote.ownStart = ownStart;
    remote.endsStart = endsStart;
    remote.console = slamConsole;
    DWORD error = 0;
    if (remote.list && names[1] == '\0') {
        copyText(remote.summary, sizeof remote.summary,
                 "/remo:@ needs the name of a list file (/remo:@hosts.txt): nothing was done.");
        error = exitListRefused;
    } else if (remote.list) {
        error = readListFile(names + 1, list, sizeof list, remote.summary, sizeof remote.summary);
    }
    // The file's name with the system's words for its error, or the whole sentence.
    const DWORD shownError = error != exitListRefused ? error : 0;
    if (error == 0) {
        error = startRemoteAction(remote.list ? list : names, remote.list, remoteRestartFlag(settings.commandAction) != 0,
                                  commandForceFlag(settings), remoteSlamFinished, remote.summary, sizeof remote.summary);
        // A list refused for what it holds is named: "lab.txt: line 2 of the list ...".
        static char named[sizeof remote.summary];
        if (remote.list && error != ERROR_IO_PENDING) {
            copyText(named, sizeof named, names + 1);
            appendText(named, sizeof named, ": ");
            appendText(named, sizeof named, remote.summary);
            copyText(remote.summary, sizeof remote.summary, named);
        }
    }
    if (error != 0 && error != ERROR_IO_PENDING) {
        tellSlamUser(remote.summary, remote.list ? shownError : error, true, entryCommandRefused);
        if (endsStart)
            endAfterNotice(error);
        return error;
    }
    if (ownStart || remoteRunning == 0)  // the run goes on, or has ended and told all already
        return ownStart ? 0 : remote.error;
    remote.replyWaits = true;
    MSG message;
    while (remote.replyWaits && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(mainWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (remote.replyWaits) {  // Pelk ends meanwhile
        PostQuitMessage(static_cast<int>(message.wParam));
        cancelRemoteRun();
    }
    return remote.error;
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
    copyText(slamLine, sizeof slamLine, commandLine);
    const SlamWords words = applySlamKeywords(commandLine, settings);
    char text[textSize];
    DWORD error = 0;
    const char* forbidden = policyRefusal(policy, words.abort, words.remote || settings.commandAction > 5,
                                          commandForceFlag(settings) != 0);
    if (words.unknown[0] == '\0' && forbidden != nullptr) {
        copyText(text, sizeof text, forbidden);
        error = exitForbidden;
    } else if (words.unknown[0] != '\0') {
        copyText(text, sizeof text, "\"");
        appendText(text, sizeof text, words.unknown);
        appendText(text, sizeof text,
                   words.badValue ? "\" holds no valid time or number (a time 0:00 to 23:59, minutes 0 to 999); nothing was done."
                                  : "\" is no keyword; nothing was done.");
        error = exitBadArgument;
    } else if (words.abort) {
        return abortForSlam(ownStart);
    } else if (ownStart && !words.remote && settings.commandAction <= 5 && leftToTheUser()) {
        copyText(text, sizeof text, "a user is logged on, whose Pelk warns of the administrator's time of day and "
                                    "acts on it: nothing was done here.");
        error = exitCancelled;
    } else if (words.watch || words.clock || words.countdown) {
        error = armForSlam(words, text, sizeof text);
        if (error == 0)
            return 0;
    } else if (words.remote) {
        // A list is this run's, never the Command page's computer for later runs.
        static char target[sizeof settings.remoteComputerName];
        copyText(target, sizeof target, settings.remoteComputerName);
        if (target[0] == '@')
            copyText(settings.remoteComputerName, sizeof settings.remoteComputerName, before.remoteComputerName);
        return runRemoteSlam(target, ownStart, ownStart);
    }
    if (error != 0) {
        settings = before;
        tellSlamUser(text, 0, true, error == exitForbidden ? entryRefusedByPolicy : entryCommandRefused);
        if (ownStart)
            endAfterNotice(error);
        return error;
    }
    if (settings.commandPromptMode != 0) {
        char message[promptTextSize];
        formatSlamPrompt(settings.commandAction, message, sizeof message);
        resetPromptRequest();
        promptRequest.countdownSeconds = slamCountdown(settings.commandPromptMode, settings.commandWarnSeconds);
        promptRequest.message = message;
        promptRequest.yesText = slamMessage;
        showPrompt(IDD_FORCE_PROMPT, nullptr);
        if (promptRequest.answer == 2 && ownStart)
            endSlam();
        if (promptRequest.answer == 2)
            return 0;
    }
    // The Command page's remote action, once confirmed, as "/remo" does it; this copy stays.
    if (settings.commandAction == 6 || settings.commandAction == 7) {
        if (settings.logEvents != 0)
            appendLogLine(findAction(settings.commandAction)->logText);
        return runRemoteSlam(settings.remoteComputerName, ownStart, false);
    }
    // The Command page's "Force Shutdown" forces this action only; the stored flag stays.
    uint32_t storedForce = settings.forceAction;
    settings.forceAction = commandForceFlag(settings);
    error = performAction(settings.commandAction, settings.logEvents, settings.remoteComputerName);
    settings.forceAction = storedForce;
    // The balloon and the log have told it already: the console too.
    if (error != 0) {
        copyText(text, sizeof text, findAction(settings.commandAction)->logText);
        appendText(text, sizeof text, " failed");
        tellSlamUser(text, error, false);
    }
    return error;
}

// "Pelk.exe /abort": a keyword of the slam's without "/slam" is refused, told as a slam's
// refusal is; nothing else is done.
static DWORD refuseMisplaced(const char* commandLine)
{
    char argument[100] = "";
    getArgumentFrom(commandLine, 1, argument, sizeof argument);
    char text[textSize] = "\"";
    appendText(text, sizeof text, argument);
    appendText(text, sizeof text, "\" is a keyword of /slam (Pelk.exe /slam ");
    appendText(text, sizeof text, argument);
    appendText(text, sizeof text, "): nothing was done.");
    tellSlamUser(text, 0, true, entryCommandRefused, commandLine);
    return exitBadArgument;
}

// Busy while a prompt or the options show: an open page would write its own values
// back over what the slam set, and a copy about to end would drop what it armed. A
// remote slam is busy while another runs. "/abort" is never busy: it answers any prompt
// that shows with No and cancels what is armed, whatever window is open.
DWORD runHandedOverSlam(const char* commandLine, DWORD consoleProcess, const char* folder)
{
    slamConsole = consoleProcess;
    if (chooseStartMode(commandLine, 1) == startMisplaced)
        return refuseMisplaced(commandLine);
    static Settings probe;
    probe = settings;
    const SlamWords words = applySlamKeywords(commandLine, probe);
    const bool abort = words.abort && words.unknown[0] == '\0';
    if (!abort && remoteRunning != 0 && (words.remote || probe.commandAction > 5)) {
        tellSlamUser("Pelk is busy with a remote action: nothing was done.", 0, false, entryCommandRefused,
                     commandLine);
        return handOverBusy;
    }
    if (!abort && (promptOpen != 0 || optionsOpen != 0 || slamEnding())) {
        tellSlamUser("Pelk is busy with an open window (a prompt, Schedule Shutdown or the options): nothing was done.",
                     0, false, entryCommandRefused, commandLine);
        return handOverBusy;
    }
    slamFolder = folder;
    listDone = false;
    DWORD error = runSlam(commandLine, false);
    slamFolder = nullptr;
    return error != 0 ? error : listDone ? handOverAllDone : handOverDone;
}

void applyCommandLine()
{
    switch (chooseStartMode(GetCommandLineA(), settings.trayIconEnabled)) {
    case startSlam:
        slamConsole = osConsoleOfParent();
        runSlam(GetCommandLineA(), true);
        break;
    case startMisplaced:
        slamConsole = osConsoleOfParent();
        endAfterNotice(refuseMisplaced(GetCommandLineA()));
        break;
    case startQuiet:
    case startExit:  // ends at the start, before the window is made
        break;
    case startOptions:
        PostMessageA(mainWindow, openOptionsMessage, 0, 0);
        break;
    }
}
