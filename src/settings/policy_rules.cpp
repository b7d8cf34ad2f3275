// Which policy values there are, and what each does to the record in effect.
#include "settings/policy_rules.h"

#include <cstddef>
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

uint32_t policyLeastWarning(const Policy& p, uint32_t seconds)
{
    const uint32_t least = p.present[policyPromptSeconds] ? p.value[policyPromptSeconds] : 0;
    return seconds < least ? least : seconds;
}

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
        // A time or an action that was not given, or not valid, sets no time: never a guess.
        v = v && p.present[policyClockHour] && p.present[policyClockAction];
        s.clockMinute = static_cast<uint16_t>(v ? p.value[policyClockHour] * 60 + p.value[policyClockMinute] + 1 : 0);
        s.clockDays = static_cast<uint8_t>(v && p.present[policyClockDays] ? p.value[policyClockDays] : 127);
        s.clockAction = static_cast<uint8_t>(v ? p.value[policyClockAction] : 0);
        s.clockOnceDate = 0;
    }
    if (has(p, policyPromptMode, v))
        s.trayPromptMode = s.commandPromptMode = v;
    // A least warning: the user may still warn for longer.
    if (p.present[policyPromptSeconds]) {
        s.trayWarnSeconds = policyLeastWarning(p, s.trayWarnSeconds);
        s.commandWarnSeconds = policyLeastWarning(p, s.commandWarnSeconds);
    }
    if (has(p, policyPutOffMinutes, v))
        s.putOffMinutes = static_cast<uint8_t>(v);
    if (policySets(p, policyNoForce))
        s.forceAction = s.commandForce = s.idleForce = 0;
}

// A field is the policy's when laying the policy over a record of zeros or over one of
// 0xFF bytes changes any byte of it: whatever the policy sets, it differs from one of the
// two. Whole fields, for a value may share a byte with what it replaces (256 and 0 alike
// end in a zero byte).
namespace {

struct Field {
    uint16_t offset, size;
};
#define FIELD(name) {offsetof(Settings, name), sizeof(Settings::name)}
constexpr Field fields[] = {
    FIELD(remoteComputerName), FIELD(chargedPercent), FIELD(monitorShowMode), FIELD(scheduleMinutes),
    FIELD(scheduleAction), FIELD(monitorLocation), FIELD(trayClickAction), FIELD(batteryStepPercent),
    FIELD(commandAction), FIELD(commandWarnSeconds), FIELD(trayWarnSeconds), FIELD(commandPromptMode),
    FIELD(trayPromptMode), FIELD(trayIconEnabled), FIELD(idleMinutes), FIELD(idleAction), FIELD(idleResumeMinutes),
    FIELD(reserved), FIELD(hoverShowsMonitor), FIELD(autoStart), FIELD(menuShowSchedule), FIELD(monitorOnTop),
    FIELD(forceAction), FIELD(commandForce), FIELD(monitorEnabled), FIELD(logEvents), FIELD(idleForce),
    FIELD(idleEnabled), FIELD(monitorTransparent), FIELD(idleResumeEnabled), FIELD(monitorLeft), FIELD(monitorTop),
    FIELD(menuShowPowerOff), FIELD(menuShowHibernate), FIELD(menuShowRestart), FIELD(menuShowShutdown),
    FIELD(menuShowLogOff), FIELD(menuShowSuspend), FIELD(scheduleResumeEnabled), FIELD(scheduleResumeMinutes),
    FIELD(idleIgnoresKeepAwake), FIELD(watchAction), FIELD(quietCpuPercent), FIELD(quietNetworkKBps),
    FIELD(watchProgram), FIELD(clockMinute), FIELD(clockAction), FIELD(clockDays), FIELD(clockOnceDate),
    FIELD(putOffMinutes), FIELD(warningSound), FIELD(lowAlertPercent), FIELD(chargedAlertPercent),
    FIELD(lowAlertAction), FIELD(trayShowsPercent), FIELD(clockDoneDay), FIELD(onceMinute), FIELD(onceDay),
};
#undef FIELD
constexpr size_t fieldCount = sizeof fields / sizeof fields[0];
constexpr bool fieldsTileTheRecord()
{
    size_t end = 0;
    for (const Field& f : fields) {
        if (f.offset != end)
            return false;
        end += f.size;
    }
    return end == sizeof(Settings);
}
static_assert(fieldsTileTheRecord(), "every field of the record is listed, in order");

struct Overlaid {
    bool covered[fieldCount];
    explicit Overlaid(const Policy& p)
    {
        Settings zeros, ones;
        std::memset(&zeros, 0, sizeof zeros);
        std::memset(&ones, 0xFF, sizeof ones);
        overlayPolicy(p, zeros);
        overlayPolicy(p, ones);
        const unsigned char* z = reinterpret_cast<const unsigned char*>(&zeros);
        const unsigned char* o = reinterpret_cast<const unsigned char*>(&ones);
        for (size_t f = 0; f < fieldCount; ++f) {
            covered[f] = false;
            for (size_t i = fields[f].offset; i < size_t(fields[f].offset) + fields[f].size; ++i)
                covered[f] = covered[f] || z[i] != 0 || o[i] != 0xFF;
        }
    }
};

} // namespace

bool policyCovers(const Policy& p, size_t offset, size_t size)
{
    const Overlaid overlaid(p);
    for (size_t f = 0; f < fieldCount; ++f) {
        if (overlaid.covered[f] && fields[f].offset < offset + size && offset < size_t(fields[f].offset) + fields[f].size)
            return true;
    }
    return false;
}

void keepUserValues(const Policy& p, const Settings& user, Settings& record)
{
    const Overlaid overlaid(p);
    const unsigned char* from = reinterpret_cast<const unsigned char*>(&user);
    unsigned char* to = reinterpret_cast<unsigned char*>(&record);
    for (size_t f = 0; f < fieldCount; ++f) {
        if (overlaid.covered[f])
            std::memcpy(to + fields[f].offset, from + fields[f].offset, fields[f].size);
    }
}
