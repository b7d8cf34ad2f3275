// The Group Policy in effect: read from the registry at start and at every policy
// change that Windows announces, and laid over the user's settings.
#pragma once
#include "settings/policy_rules.h"

extern Policy policy;
// The tip of every control greyed because a policy sets it.
const char* const policyLockedTip = "An administrator has set this through Group Policy";

// Reads the policy values afresh (the user's under HKCU, then the machine's under HKLM,
// which win) and lays them over the user's own record; returns whether any changed.
bool applyPolicy();
// The user's own record, to be saved: the record in effect without what the policy set.
void userRecordOf(Settings& record);
