// Pelk's entries in the Application log of Windows: written whether or not the user keeps
// Pelk's own log, for administrators collect them centrally; none while a policy says so.
#include "settings/settings_file.h"

#include "power/power_calls.h"
#include "settings/policy.h"
#include "settings/system_events.h"

void reportSystemEvent(int id, const char* s1, const char* s2, const char* s3, const char* s4, const char* s5)
{
    const SystemEvent* entry = findSystemEvent(id);
    if (entry == nullptr || policySets(policy, policyNoEventLog))
        return;
    const char* strings[] = {s1, s2, s3, s4, s5};
    WORD count = 0;
    while (count < 5 && strings[count] != nullptr)
        ++count;
    osReportEvent(entry->type, entry->id, count, strings);
}
