// Which policy values there are, and what each does to the record in effect.
#include "settings/policy_rules.h"

#include <cstring>

const PolicyValueEntry policyValues[policyValueCount] = {
    {"IdleShutdown", policyBoolean, 0, 1, 0},
    {"IdleMinutes", policyDecimal, 2, 999, 0},
    {"IdleAction", policyEnum, 0, 5, 0},
    {"QuietCpuPercent", policyDecimal, 0, 100, 0},
    {"QuietNetworkKBps", policyDecimal, 0, 999999, 0},
    {"IdleIgnoresKeepAwake", policyBoolean, 0, 1, 0},
    {"ClockSchedule", policyBoolean, 0, 1, 1},
    {"ClockHour", policyDecimal, 0, 23, 1},
    {"ClockMinute", policyDecimal, 0, 59, 1},
    {"ClockDays", policyEnum, 1, 127, 1},
    {"ClockAction", policyEnum, 0, 5, 1},
    {"PromptMode", policyEnum, 1, 2, 2},
    {"PromptSeconds", policyDecimal, 1, 999, 2},
    {"PutOffMinutes", policyDecimal, 1, 120, 3},
    {"NoRemoteActions", policyBoolean, 0, 1, 4},
    {"NoForce", policyBoolean, 0, 1, 5},
    {"NoCommandLineActions", policyBoolean, 0, 1, 6},
    {"HideTrayPage", policyBoolean, 0, 1, 7},
    {"HideCommandPage", policyBoolean, 0, 1, 7},
    {"HideIdlePage", policyBoolean, 0, 1, 7},
    {"HideBatteryPage", policyBoolean, 0, 1, 7},
    {"HideMiscPage", policyBoolean, 0, 1, 7},
    {"HideWatchPage", policyBoolean, 0, 1, 7},
    {"HideClockPage", policyBoolean, 0, 1, 7},
    {"AutoStart", policyBoolean, 0, 1, 8},
    {"NoEventLog", policyBoolean, 0, 1, 9},
};

const char* policyRefusal(const Policy& p, bool abort, bool remote, bool force)
{
    if (abort)
        return nullptr;
    if (policySets(p, policyNoCommandLine))
        return "an administrator has switched off actions from the command line: nothing was done.";
    if (remote && policySets(p, policyNoRemote))
        return "an administrator has forbidden actions on other computers: nothing was done.";
    if (force && policySets(p, policyNoForce))
        return "an administrator has forbidden forcing programs to close: nothing was done.";
    return nullptr;
}

void takePolicyValue(Policy& p, int id, uint32_t raw)
{
    if (id < 0 || id >= policyValueCount)
        return;
    const PolicyValueEntry& entry = policyValues[id];
    uint32_t value = raw;
    if (entry.kind == policyBoolean)
        value = raw != 0;
    else if (entry.kind == policyDecimal)
        value = raw < entry.minValue ? entry.minValue : raw > entry.maxValue ? entry.maxValue : raw;
    else if (raw < entry.minValue || raw > entry.maxValue)
        return;
    p.present[id] = true;
    p.value[id] = value;
}

bool policySets(const Policy& p, PolicyValueId id) { return p.present[id] && p.value[id] != 0; }

namespace {

bool has(const Policy& p, PolicyValueId id, uint32_t& value)
{
    value = p.value[id];
    return p.present[id];
}

// The values that each set one field of the record as they are.
struct PlainValue {
    PolicyValueId id;
    uint32_t Settings::*field;
};
const PlainValue plainValues[] = {
    {policyIdleShutdown, &Settings::idleEnabled},       {policyIdleMinutes, &Settings::idleMinutes},
    {policyIdleAction, &Settings::idleAction},           {policyQuietCpu, &Settings::quietCpuPercent},
    {policyQuietNetwork, &Settings::quietNetworkKBps},   {policyIgnoreKeepAwake, &Settings::idleIgnoresKeepAwake},
    {policyAutoStart, &Settings::autoStart},
};

} // namespace

void overlayPolicy(const Policy& p, Settings& s)
{
    uint32_t v;
    for (const PlainValue& plain : plainValues) {
        if (has(p, plain.id, v))
            s.*plain.field = v;
    }
    // Switched off, there is no clock time; switched on, the whole plan is the policy's.
    if (has(p, policyClockSchedule, v)) {
        v = v && p.present[policyClockHour];
        s.clockMinute = static_cast<uint16_t>(v ? p.value[policyClockHour] * 60 + p.value[policyClockMinute] + 1 : 0);
        s.clockDays = static_cast<uint8_t>(v && p.present[policyClockDays] ? p.value[policyClockDays] : 127);
        s.clockAction = static_cast<uint8_t>(v ? p.value[policyClockAction] : 0);
        s.clockOnceDate = 0;
    }
    if (has(p, policyPromptMode, v))
        s.trayPromptMode = s.commandPromptMode = v;
    // A least warning: the user may still warn for longer.
    if (has(p, policyPromptSeconds, v)) {
        s.trayWarnSeconds = s.trayWarnSeconds < v ? v : s.trayWarnSeconds;
        s.commandWarnSeconds = s.commandWarnSeconds < v ? v : s.commandWarnSeconds;
    }
    if (has(p, policyPutOffMinutes, v))
        s.putOffMinutes = static_cast<uint8_t>(v);
    if (policySets(p, policyNoForce))
        s.forceAction = s.commandForce = s.idleForce = 0;
}

// A byte is the policy's when laying the policy over a record of zeros or over one of
// 0xFF bytes changes it: whatever the policy sets, it differs from one of the two.
namespace {

struct Overlaid {
    Settings zeros, ones;
    explicit Overlaid(const Policy& p)
    {
        std::memset(&zeros, 0, sizeof zeros);
        std::memset(&ones, 0xFF, sizeof ones);
        overlayPolicy(p, zeros);
        overlayPolicy(p, ones);
    }
    bool covers(size_t i) const
    {
        return reinterpret_cast<const unsigned char*>(&zeros)[i] != 0 ||
               reinterpret_cast<const unsigned char*>(&ones)[i] != 0xFF;
    }
};

} // namespace

bool policyCovers(const Policy& p, size_t offset, size_t size)
{
    const Overlaid overlaid(p);
    for (size_t i = offset; i < offset + size && i < sizeof(Settings); ++i) {
        if (overlaid.covers(i))
            return true;
    }
    return false;
}

void keepUserValues(const Policy& p, const Settings& user, Settings& record)
{
    const Overlaid overlaid(p);
    const unsigned char* from = reinterpret_cast<const unsigned char*>(&user);
    unsigned char* to = reinterpret_cast<unsigned char*>(&record);
    for (size_t i = 0; i < sizeof(Settings); ++i) {
        if (overlaid.covers(i))
            to[i] = from[i];
    }
}
