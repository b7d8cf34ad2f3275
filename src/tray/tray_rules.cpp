// The tray icon's menu, click table and hover timing.
#include "tray/tray_rules.h"


const char* const trayTipDefault = "Pelk 1.4";

size_t buildTrayMenu(const Settings& s, bool abortable, const char (*armed)[agendaLineSize], size_t armedCount,
                     TrayMenuItem out[trayMenuMost])
{
    const TrayMenuItem actions[] = {
        {"Schedule Shutdown", 2049}, {"Power Off", 2040}, {"Restart", 2041}, {"Shutdown", 2042},
        {"Log Off", 2043},           {"Suspend", 2044},   {"Hibernate", 2045},
    };
    const uint32_t shown[] = {s.menuShowSchedule, s.menuShowPowerOff, s.menuShowRestart, s.menuShowShutdown,
                              s.menuShowLogOff,   s.menuShowSuspend,  s.menuShowHibernate};
    size_t n = 0;
    out[n++] = {"About", 2003};
    out[n++] = {"Help", 2000};
    out[n++] = {"Options...", 2001};
    bool anyShown = false;
    for (uint32_t flag : shown)
        anyShown = anyShown || flag == 1;
    if (anyShown)
        out[n++] = {"", 0};
    // "Schedule Shutdown" needs its flag to be 1; an action's flag needs only to be set.
    for (size_t i = 0; i < sizeof actions / sizeof actions[0]; ++i) {
        if (i == 0 ? shown[i] == 1 : shown[i] != 0)
            out[n++] = actions[i];
    }
    out[n++] = {"", 0};
    for (size_t i = 0; i < armedCount && n < trayMenuMost - 3; ++i)
        out[n++] = {armed[i], trayMenuArmedLine};
    if (abortable)
        out[n++] = {"Abort Shutdown", 2031};
    out[n++] = {"Exit", 2002};
    return n;
}

TrayClick trayClickFor(uint32_t trayClickAction, bool promptOpen, bool batteryPresent, bool monitorOpen)
{
    if (trayClickAction == 3)
        return promptOpen ? clickNothing : clickSchedule;
    if (trayClickAction == 0 || !batteryPresent)
        return clickOptions;
    if (trayClickAction == 2)
        return monitorOpen ? clickMonitorOff : clickMonitorOn;
    return clickShowMonitor;
}

bool isHovering(uint32_t nowTick, uint32_t previousTick)
{
    uint32_t apart = nowTick - previousTick;
    return apart > 500 && apart < 2000;
}
