// Group Policy: the values an administrator sets under Software\Policies\Orvenlit\Pelk
// (the machine's over the user's), laid over the user's own record while they are
// set and never written into it. The one table of the values is read by the program
// and written out as the ADMX and ADML templates.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

const char* const policyKey = "Software\\Policies\\Orvenlit\\Pelk";

enum PolicyValueId {
    policyIdleShutdown, policyIdleMinutes, policyIdleAction, policyQuietCpu, policyQuietNetwork, policyIgnoreKeepAwake,
    policyClockSchedule, policyClockHour, policyClockMinute, policyClockDays, policyClockAction,
    policyPromptMode, policyPromptSeconds, policyPutOffMinutes,
    policyNoRemote, policyNoForce, policyNoCommandLine,
    policyHideTrayPage, policyHideCommandPage, policyHideIdlePage, policyHideBatteryPage, policyHideMiscPage,
    policyHideWatchPage, policyHideClockPage,
    policyAutoStart, policyNoEventLog,
    policyValueCount
};

// How a value is shown in the Group Policy editor; every value is a REG_DWORD.
enum PolicyKind { policyBoolean, policyDecimal, policyEnum };

struct PolicyValueEntry {
    const char* name;  // the registry value's name
    PolicyKind kind;
    uint32_t minValue, maxValue;  // a decimal is brought into this range; any other value outside it is not set
    int group;                    // the policy of the editor it belongs to (policy_templates.cpp)
};

extern const PolicyValueEntry policyValues[policyValueCount];

struct Policy {
    bool present[policyValueCount];
    uint32_t value[policyValueCount];
};

// A value read from the registry, taken into p when it is a valid one.
void takePolicyValue(Policy& p, int id, uint32_t raw);
bool policySets(const Policy& p, PolicyValueId id);  // present and not 0
// The seconds a warning counts down: at least the policy's, wherever the seconds come from.
uint32_t policyLeastWarning(const Policy& p, uint32_t seconds);

// The record in effect: the user's with what the policy sets laid over it.
void overlayPolicy(const Policy& p, Settings& s);
// For every byte of the record that the policy sets, the byte of user: a record to save.
void keepUserValues(const Policy& p, const Settings& user, Settings& record);
// Whether the policy sets the field at offset (of size bytes) of the record.
bool policyCovers(const Policy& p, size_t offset, size_t size);

// Why a command-line action is refused by the policy, or null: the command line
// switched off (only /abort still works), a remote action, or forcing programs to close.
const char* policyRefusal(const Policy& p, bool abort, bool remote, bool force);

// Writes the ADMX and the en-US ADML of the table into out (terminated, cut to size).
void writePolicyAdmx(char* out, size_t size);
void writePolicyAdml(char* out, size_t size);
