// The tray icon's tooltip, menu, click table and hover timing.
#include "tray/tray_rules.h"

#include "app/text.h"
#include "power/actions.h"
#include "triggers/clock_rules.h"
#include "triggers/schedule_rules.h"

const char* const trayTipDefault = "Pelk 1.4";

// "4 Mns until Log Off": what is left of a countdown, nothing once it is due (a timer
// can be due before its WM_TIMER comes, for timers come last).
static void appendCountdown(char* out, size_t outSize, uint32_t action, uint32_t startTick, uint32_t lengthMs,
                            uint32_t nowTick)
{
    char left[64];
    uint32_t elapsed = nowTick - startTick;
    formatCountdown(elapsed < lengthMs ? lengthMs - elapsed : 0, left, sizeof left);
    appendText(out, outSize, left);
    appendText(out, outSize, " until ");
    appendText(out, outSize, promptActionName(action));
}

void trayTooltip(const Settings& s, bool scheduleActive, bool watchArmed, uint32_t startTick, uint32_t lengthMs,
                 uint32_t nowTick, char* out, size_t outSize, const Countdown* putOff)
{
    copyText(out, outSize, "");
    const char* separator = "";
    if (scheduleActive) {
        appendCountdown(out, outSize, s.scheduleAction, startTick, lengthMs, nowTick);
        separator = ", ";
    }
    if (putOff != nullptr) {
        appendText(out, outSize, separator);
        appendCountdown(out, outSize, putOff->action, putOff->startTick, putOff->lengthMs, nowTick);
        separator = ", ";
    }
    if (watchArmed) {
        appendText(out, outSize, separator);
        appendText(out, outSize, promptActionName(s.watchAction));
        appendText(out, outSize, " when ");
        appendText(out, outSize, s.watchProgram);
        appendText(out, outSize, " ends");
        separator = ", ";
    }
    char clock[100];
    clockTooltip(s, clock, sizeof clock);
    if (clock[0] != '\0') {
        appendText(out, outSize, separator);
        appendText(out, outSize, clock);
        separator = ", ";
    }
    if (separator[0] == '\0')
        copyText(out, outSize, s.idleEnabled ? "Idle Shutdown Enabled" : trayTipDefault);
}

size_t buildTrayMenu(const Settings& s, bool abortable, TrayMenuItem out[trayMenuMost])
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
