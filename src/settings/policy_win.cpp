// Reads the policy values from the registry; keeps the user's own record beside the
// one in effect, so that a policy never reaches the settings file.
#include <windows.h>

#include <cstring>

#include "settings/policy.h"
#include "settings/settings_file.h"
#include "settings/system_events.h"

Policy policy;
// What the user chose, for the fields a policy sets; the record in effect holds the rest.
static Settings userRecord;
static bool readBefore;  // the values have been read once: at start

static void readPolicyValues(HKEY root, Policy& p)
{
    HKEY key;
    if (RegOpenKeyExA(root, policyKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (int id = 0; id < policyValueCount; ++id) {
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegQueryValueExA(key, policyValues[id].name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof value)
            takePolicyValue(p, id, value);
    }
    RegCloseKey(key);
}

void userRecordOf(Settings& record)
{
    record = settings;
    keepUserValues(policy, userRecord, record);
    userRecord = record;
}

bool applyPolicy()
{
    Settings user;
    userRecordOf(user);
    Policy fresh;
    std::memset(&fresh, 0, sizeof fresh);
    readPolicyValues(HKEY_CURRENT_USER, fresh);
    readPolicyValues(HKEY_LOCAL_MACHINE, fresh);
    bool changed = std::memcmp(&fresh, &policy, sizeof fresh) != 0;
    policy = fresh;
    settings = user;
    overlayPolicy(policy, settings);
    // The Windows event log names the values in effect: at start when there are any (none
    // were before), later whenever they change; nothing while NoEventLog is among them.
    char values[1000];
    formatPolicyValues(policy, values, sizeof values);
    if (changed)
        reportSystemEvent(readBefore ? entryPolicyChanged : entryPolicyAtStart, values);
    readBefore = true;
    return changed;
}
