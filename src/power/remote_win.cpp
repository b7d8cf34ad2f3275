// Remote actions, on one computer or on each of a list, made on threads of their own:
// a computer that does not answer holds its thread for the network's time-out, never
// the windows of the program, and is given up at its deadline.
#include "power/remote.h"

#include "app/exit_codes.h"
#include "app/globals.h"
#include "app/text.h"
#include "power/actions.h"
#include "power/power_calls.h"
#include "settings/settings_file.h"
#include "settings/system_events.h"
#include "tray/tray.h"

static RemoteRun run;
static char hostNames[remoteMostHosts][remoteNameSize];
// Answers of an earlier run (given up at their deadline) are told apart by this.
static WORD runNumber;
static const char* runAction;
static bool runRestart;
static BOOL runForce;
static DWORD runWarnSeconds;
static bool runLogs;
static bool runList;

volatile LONG remoteRunning;

struct RemoteCall {
    char name[remoteNameSize];
    DWORD warnSeconds;
    BOOL force, restart;
    WPARAM token;
};

static DWORD WINAPI callComputer(void* parameter)
{
    RemoteCall* call = static_cast<RemoteCall*>(parameter);
    BOOL done = osInitiateSystemShutdown(call->name, slamMessage, call->warnSeconds, call->force, call->restart,
                                         plannedShutdownReason);
    DWORD error = GetLastError();
    PostMessageA(mainWindow, remoteAnswerMessage, call->token, done ? 0 : error != 0 ? error : ERROR_GEN_FAILURE);
    HeapFree(GetProcessHeap(), 0, call);
    return 0;
}

// Every computer's answer in the Windows event log: done, failed in the system's words,
// or no answer by its deadline.
static void reportResult(size_t host)
{
    const DWORD error = run.error[host];
    const bool failed = error != 0 && error != remoteTimedOut;
    char number[12] = "";
    char reason[256] = "";
    appendNumber(number, sizeof number, error == remoteTimedOut ? run.deadlineMs / 1000 : error);
    if (failed)
        describeError(error, reason, sizeof reason);
    reportSystemEvent(error == 0 ? entryRemoteDone : failed ? entryRemoteFailed : entryRemoteTimedOut, runAction,
                      hostNames[host], error != 0 ? number : nullptr, failed ? reason : nullptr);
}

// "Remote Shut of PC02 failed (error 53)", and of a list also what the system calls
// the error and each computer that did it.
static void logResult(size_t host)
{
    reportResult(host);
    if (!runLogs || (!runList && run.error[host] == 0))
        return;
    char name[textSize];
    copyText(name, sizeof name, runAction);
    appendText(name, sizeof name, " of ");
    appendText(name, sizeof name, hostNames[host]);
    char line[textSize + 300];
    copyText(line, sizeof line, name);
    if (run.error[host] != 0)
        formatActionFailure(name, run.error[host], line, sizeof line);
    if (run.error[host] != 0 && runList) {
        char reason[256];
        describeError(run.error[host], reason, sizeof reason);
        appendText(line, sizeof line, ": ");
        appendText(line, sizeof line, reason);
    }
    appendLogLine(line);
}

// A call that cannot start (no thread) ends at once with its error.
static void callWaitingComputers()
{
    for (int host; (host = nextHostToCall(run, osGetTickCount())) >= 0;) {
        RemoteCall* call = static_cast<RemoteCall*>(HeapAlloc(GetProcessHeap(), 0, sizeof(RemoteCall)));
        HANDLE thread = nullptr;
        if (call != nullptr) {
            copyText(call->name, sizeof call->name, hostNames[host]);
            call->warnSeconds = runWarnSeconds;
            call->force = runForce;
            call->restart = runRestart;
            call->token = MAKEWPARAM(host, runNumber);
            thread = CreateThread(nullptr, 256 * 1024, callComputer, call, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        }
        if (thread != nullptr) {
            CloseHandle(thread);
            continue;
        }
        DWORD error = GetLastError();
        if (call != nullptr)
            HeapFree(GetProcessHeap(), 0, call);
        hostAnswered(run, host, error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY);
        logResult(host);
    }
}

// A list's tally in the Windows event log, beside each computer's entry.
static void reportTally()
{
    const RemoteTally t = tallyRemoteRun(run);
    char numbers[4][12] = {};
    const size_t values[4] = {run.count, t.done, t.failed, t.silent};
    for (int i = 0; i < 4; ++i)
        appendNumber(numbers[i], sizeof numbers[i], static_cast<uint32_t>(values[i]));
    reportSystemEvent(t.done == run.count ? entryRemoteListDone : entryRemoteListIncomplete, runAction, numbers[0],
                      numbers[1], numbers[2], numbers[3]);
}

// The run is over once every computer has answered or been given up: the finisher is
// told, from whatever handler saw the last answer.
static RemoteFinished runFinished;
static char* runSummary;
static size_t runSummarySize;

static void finishRun(DWORD cancelled)
{
    osKillTimer(mainWindow, remoteTimer);
    InterlockedExchange(&remoteRunning, 0);
    if (runList)
        formatRemoteSummary(run, runAction, runSummary, runSummarySize);
    else
        copyText(runSummary, runSummarySize, hostNames[0]);
    if (runList)
        reportTally();
    const DWORD error = remoteRunExitCode(run);
    runFinished(error == 0 ? cancelled : error, runSummary);
}

static void finishIfDone()
{
    if (remoteRunning != 0 && remoteRunDone(run))
        finishRun(0);
}

void onRemoteAnswer(WPARAM token, LPARAM error)
{
    if (HIWORD(token) != runNumber || !hostAnswered(run, LOWORD(token), static_cast<DWORD>(error)))
        return;
    logResult(LOWORD(token));
    callWaitingComputers();
    finishIfDone();
}

void onRemoteTimer()
{
    for (int host; (host = expireHost(run, osGetTickCount())) >= 0;)
        logResult(host);
    callWaitingComputers();
    finishIfDone();
}

void cancelRemoteRun()
{
    if (remoteRunning != 0)
        finishRun(exitCancelled);
}

DWORD startRemoteAction(const char* names, bool list, bool restart, BOOL force, RemoteFinished finished, char* summary,
                        size_t size)
{
    size_t count = 1, badLine = 0;
    if (list)
        count = readHostList(names, lstrlenA(names), hostNames, remoteMostHosts, &badLine);
    else
        copyText(hostNames[0], remoteNameSize, names);
    if (badLine != 0) {
        copyText(summary, size, "line ");
        appendNumber(summary, size, static_cast<uint32_t>(badLine));
        appendText(summary, size, " of the list holds no computer's name (one name a line, # before a comment): nothing was done.");
        return exitListRefused;
    }
    if (count == 0 || count > remoteMostHosts) {
        copyText(summary, size, count == 0 ? "the list names no computer: nothing was done."
                                           : "the list names more than 1024 computers: nothing was done.");
        // Not ERROR_NO_MORE_ITEMS: 259 is also STILL_ACTIVE, which a waiting script takes for no code at all.
        return count == 0 ? exitListRefused : exitBadArgument;
    }
    runAction = restart ? "Remote Restart" : "Remote Shut";
    runRestart = restart;
    runForce = force;
    runWarnSeconds = settings.trayWarnSeconds;
    // One computer's failure is logged as every failed action is; a list's every result.
    runLogs = list || settings.logEvents != 0;
    runList = list;
    runFinished = finished;
    runSummary = summary;
    runSummarySize = size;
    ++runNumber;
    beginRemoteRun(run, count, remoteDeadlineMs);
    InterlockedExchange(&remoteRunning, 1);
    osSetTimer(mainWindow, remoteTimer, 1000);
    callWaitingComputers();
    finishIfDone();
    return ERROR_IO_PENDING;
}
