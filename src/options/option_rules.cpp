// Clamps, enable rules and the Run value of the option pages.
#include "options/option_rules.h"

#include <cstring>

#include "app/text.h"

namespace {

struct Range {
    uint32_t lowest;
    uint32_t highest;
    uint32_t aboveHighest;  // what a larger number becomes
};

const Range ranges[] = {
    {3, 999, 999},   // trayWarnBox
    {1, 999, 999},   // commandWarnBox
    {2, 999, 999},   // idleMinutesBox
    {5, 999, 999},   // idleResumeBox
    {1, 50, 100},    // batteryStepBox: a step above 50 means "every 100 points", never
    {20, 100, 100},  // chargedBox
};

}  // namespace

uint32_t clampNumber(NumberBox box, uint32_t typed)
{
    const Range& range = ranges[box];
    if (typed < range.lowest)
        return range.lowest;
    return typed > range.highest ? range.aboveHighest : typed;
}

uint32_t selectedOr(long selection, uint32_t current)
{
    return selection < 0 ? current : static_cast<uint32_t>(selection);
}

TrayPageEnabling trayPageEnabling(const Settings& s)
{
    const uint32_t shown[] = {s.menuShowShutdown, s.menuShowLogOff,  s.menuShowSuspend, s.menuShowHibernate,
                              s.menuShowRestart,  s.menuShowPowerOff, s.menuShowSchedule};
    bool anyShown = false;
    for (uint32_t flag : shown)
        anyShown = anyShown || flag == 1;
    bool available = s.trayIconEnabled != 0 && anyShown;
    return {s.trayIconEnabled != 0, available, available && s.trayPromptMode == 2};
}

CommandPageEnabling commandPageEnabling(const Settings& s)
{
    return {s.commandPromptMode == 2, s.commandAction > 5};
}

IdlePageEnabling idlePageEnabling(const Settings& s)
{
    bool resumeBox = s.idleEnabled != 0 && s.idleAction >= 4;
    return {s.idleEnabled != 0, resumeBox, resumeBox && s.idleResumeEnabled != 0};
}

BatteryPageEnabling batteryPageEnabling(const Settings& s, bool batteryPresent)
{
    bool on = s.monitorEnabled != 0 && batteryPresent;
    return {on, on && s.monitorShowMode == 1, on && s.monitorShowMode != 1};
}

void startupCommand(const char* programPath, char* out, size_t outSize)
{
    bool quoted = std::strchr(programPath, ' ') != nullptr;
    copyText(out, outSize, quoted ? "\"" : "");
    appendText(out, outSize, programPath);
    appendText(out, outSize, quoted ? "\" /q" : " /q");
}

uint32_t commandForceFlag(const Settings& s)
{
    return s.commandForce != 0 ? 1 : s.forceAction;
}
