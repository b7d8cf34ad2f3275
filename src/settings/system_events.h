// Pelk's entries in the Application log of Windows, under the source "Pelk": the one
// table of them. The program reports by it, the build writes Pelk.exe's message table
// from it (system_events_main is the build's tool), and the help lists it.
// Administrators collect, filter and alert on these: an entry's ID, type and meaning
// never change once released, an ID is never given to another entry, and a new entry
// takes a new ID in its group.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/policy_rules.h"

// The types as ReportEvent takes them (EVENTLOG_ERROR_TYPE, _WARNING_, _INFORMATION_).
enum SystemEventType : uint16_t { entryError = 1, entryWarning = 2, entryInformation = 4 };

enum SystemEventId : uint16_t {
    // 1000s: an action performed, failed, or refused (by a policy, or a command line that cannot be done)
    entryActionPerformed = 1000, entryActionFailed = 1001, entryRefusedByPolicy = 1002, entryCommandRefused = 1003,
    // 1100s: what the agenda armed, missed (never performed late), put off, cancelled or aborted
    entryMissedAway = 1100, entryMissedCrowded = 1101, entryMissedClockSet = 1102, entryPutOff = 1103,
    entryCancelled = 1104, entryAborted = 1105,
    // 1200s: Group Policy applied
    entryPolicyAtStart = 1200, entryPolicyChanged = 1201,
    // 1300s: a remote action: each computer, and the tally of a list
    entryRemoteDone = 1300, entryRemoteFailed = 1301, entryRemoteTimedOut = 1302, entryRemoteListDone = 1303,
    entryRemoteListIncomplete = 1304,
};

struct SystemEvent {
    SystemEventId id;
    SystemEventType type;
    const char* name;  // as the help lists it
    const char* text;  // the message, with the insertion strings %1 to %5
};

extern const SystemEvent systemEvents[];
extern const size_t systemEventCount;
const SystemEvent* findSystemEvent(int id);

// "IdleMinutes=40, NoForce=1": every value the policy holds, in the table's order; "none".
void formatPolicyValues(const Policy& p, char* out, size_t size);
