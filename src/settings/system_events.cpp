// The entries Pelk writes to the Application log of Windows.
#include "settings/system_events.h"

#include "app/text.h"

// Released IDs, types and meanings stay as they are (see the header); a text may be
// worded better, never made to say something else.
const SystemEvent systemEvents[] = {
    {entryActionPerformed, entryInformation, "Action performed", "Pelk performs %1."},
    {entryActionFailed, entryError, "Action failed", "%1 failed (error %2): %3"},
    {entryRefusedByPolicy, entryWarning, "Refused by Group Policy", "Group Policy refused %1: %2"},
    {entryCommandRefused, entryWarning, "Command line refused", "The command line %1 was refused: %2"},
    {entryMissedAway, entryWarning, "Missed while asleep or not running", "%1."},
    {entryMissedCrowded, entryWarning, "Missed, too much waiting", "%1."},
    {entryMissedClockSet, entryWarning, "Missed, the clock set past it", "%1."},
    {entryPutOff, entryInformation, "Put off", "%1."},
    {entryCancelled, entryInformation, "Cancelled", "%1."},
    {entryAborted, entryInformation, "Aborted", "%1"},
    {entryPolicyAtStart, entryInformation, "Group Policy at start", "Group Policy values in effect for Pelk: %1."},
    {entryPolicyChanged, entryInformation, "Group Policy changed",
     "Group Policy for Pelk changed; the values in effect: %1."},
    {entryRemoteDone, entryInformation, "Remote computer done", "%1 of %2 done."},
    {entryRemoteFailed, entryError, "Remote computer failed", "%1 of %2 failed (error %3): %4"},
    {entryRemoteTimedOut, entryWarning, "Remote computer did not answer", "%1 of %2: no answer in %3 s, given up."},
    {entryRemoteListDone, entryInformation, "Remote list done",
     "%1 of %2 computers: %3 done, %4 failed, %5 did not answer in time."},
    {entryRemoteListIncomplete, entryWarning, "Remote list not all done",
     "%1 of %2 computers: %3 done, %4 failed, %5 did not answer in time."},
};
const size_t systemEventCount = sizeof systemEvents / sizeof systemEvents[0];

const SystemEvent* findSystemEvent(int id)
{
    for (const SystemEvent& entry : systemEvents) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

void formatPolicyValues(const Policy& p, char* out, size_t size)
{
    copyText(out, size, "");
    size_t named = 0;
    for (int id = 0; id < policyValueCount; ++id) {
        if (!p.present[id])
            continue;
        appendText(out, size, named++ == 0 ? "" : ", ");
        appendText(out, size, policyValues[id].name);
        appendText(out, size, "=");
        appendNumber(out, size, p.value[id]);
    }
    if (named == 0)
        copyText(out, size, "none");
}
