// The program watch: timer 9 looks every 5 seconds whether a process of the watched
// name still runs, and the action follows when none does. Also the readings of the idle
// shutdown's quiet conditions, taken once a minute by the idle check.
#include "triggers/watch.h"

#include "app/globals.h"
#include "app/text.h"
#include "power/power_calls.h"
#include "triggers/triggers.h"
#include "triggers/watch_rules.h"

static const UINT watchPeriodMs = 5000;

// Held in memory only: a watch armed before a restart would find its program gone at
// the next logon and act at once.
static bool armed;
static QuietReading previousReading;

struct ProgramSearch {
    const char* name;
    bool found;
};

// Another user's program of the same name (fast user switching, Remote Desktop) is not
// the one this user waits for.
static bool visitProcess(const char* processName, bool ownSession, void* context)
{
    ProgramSearch* search = static_cast<ProgramSearch*>(context);
    search->found = ownSession && watchNameMatches(search->name, processName);
    return !search->found;
}

// A list of processes that cannot be read counts as running: nothing is done on a guess.
static bool programRuns(const char* name)
{
    ProgramSearch search = {name, false};
    return !osWalkProcesses(visitProcess, &search) || search.found;
}

WatchArmResult armWatch(const char* program, DWORD action)
{
    // A copy first: the caller may pass settings.watchProgram itself.
    char name[sizeof settings.watchProgram];
    watchedFileName(program, name, sizeof name);
    if (name[0] == '\0')
        return watchNoName;
    if (!programRuns(name))
        return watchNotRunning;
    copyText(settings.watchProgram, sizeof settings.watchProgram, name);
    settings.watchAction = action;
    armed = true;
    osSetTimer(mainWindow, watchTimer, watchPeriodMs);
    return watchArmedOk;
}

void disarmWatch()
{
    if (!armed)
        return;
    armed = false;
    osKillTimer(mainWindow, watchTimer);
}

bool watchArmed() { return armed; }

void checkWatch(HWND window)
{
    if (!armed || programRuns(settings.watchProgram))
        return;
    disarmWatch();
    runTriggerAction(window, settings.watchAction, settings.trayWarnSeconds, settings.scheduleResumeEnabled,
                     settings.scheduleResumeMinutes);
}

static uint64_t fileTimeValue(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Readings only for the conditions in use. While none is, the last reading is forgotten,
// so that a condition switched on later starts with a first minute of its own.
bool idleMinuteQuiet()
{
    if (settings.quietCpuPercent == 0 && settings.quietNetworkKBps == 0) {
        previousReading.cpuRead = false;
        previousReading.networkRead = false;
        return true;
    }
    // Filled field by field: zeroing it whole would bring memset into Pelk.exe's imports,
    // and the interfaces past the count are never read.
    QuietReading now;
    now.tick = osGetTickCount();
    FILETIME idle = {0, 0}, kernel = {0, 0}, user = {0, 0};
    now.cpuRead = settings.quietCpuPercent != 0 && osGetSystemTimes(&idle, &kernel, &user);
    now.cpuIdle = fileTimeValue(idle);
    now.cpuKernel = fileTimeValue(kernel);
    now.cpuUser = fileTimeValue(user);
    DWORD count = 0;
    now.networkRead = settings.quietNetworkKBps != 0 && osGetInterfaceOctets(now.interfaces, interfacesMost, &count);
    now.interfaceCount = now.networkRead ? count : 0;
    bool quiet = minuteQuiet(previousReading, now, settings.quietCpuPercent, settings.quietNetworkKBps);
    previousReading = now;
    return quiet;
}
