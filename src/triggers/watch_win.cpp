// The program watch: armed here once the program is found running, then looked after by
// the agenda, which asks every 5 seconds whether it still runs. Also the readings of the
// idle shutdown's quiet conditions, taken once a minute.
#include "triggers/watch.h"

#include "app/globals.h"
#include "app/text.h"
#include "power/actions.h"
#include "power/power_calls.h"
#include "triggers/triggers.h"
#include "triggers/watch_rules.h"

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
bool programRuns(const char* name)
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
    agendaDeliver(eventWatch, static_cast<uint8_t>(triggerAction(action)));
    return watchArmedOk;
}

void disarmWatch() { agendaDeliver(eventUnwatch); }

bool watchArmed() { return agenda.watch; }

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
