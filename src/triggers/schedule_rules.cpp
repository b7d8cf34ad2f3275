// Pure rules of the scheduled shutdown, shared by the dialog, the timer and the tray tooltip.
#include "triggers/schedule_rules.h"

#include "app/text.h"

namespace {

struct CountdownUnit {
    uint32_t seconds;
    const char* suffix;
};

const CountdownUnit countdownUnits[] = {
    {86400, " Dys"},
    {3600, " Hrs"},
    {60, " Mns"},
    {1, " Scs"},
};

const uint32_t maximumMinutes = 999;
const uint32_t minimumResumeMinutes = 5;
const uint32_t firstWakingAction = 4;

} // namespace

const char* const minutesListEntries[19] = {
    "60",           "90 (1.5 hrs)", "120 (2 hrs)",  "150 (2.5 hrs)", "180 (3 hrs)",
    "210 (3.5 hrs)", "240 (4 hrs)",  "270 (4.5 hrs)", "300 (5 hrs)",  "330 (5.5 hrs)",
    "360 (6 hrs)",  "390 (6.5 hrs)", "420 (7 hrs)",  "450 (7.5 hrs)", "480 (8 hrs)",
    "510 (8.5 hrs)", "540 (9 hrs)",  "570 (9.5 hrs)", "600 (10 hrs)",
};

const char* const powerActionListNames[6] = {
    "Power Off", "Restart", "Shutdown", "Log Off", "Suspend", "Hibernate",
};

void formatCountdown(uint32_t durationMs, char* out, size_t outSize)
{
    if (!out || outSize == 0)
        return;
    out[0] = '\0';
    int count = 0;
    uint32_t rest = durationMs / 1000;
    for (const CountdownUnit& unit : countdownUnits) {
        uint32_t amount = rest / unit.seconds;
        rest -= amount * unit.seconds;
        if (amount == 0)
            continue;
        if (count > 0)
            appendText(out, outSize, " ");
        appendNumber(out, outSize, amount);
        appendText(out, outSize, unit.suffix);
        if (++count == 2)
            return;
    }
}

uint32_t clampScheduleMinutes(uint32_t typed)
{
    return typed > maximumMinutes ? maximumMinutes : typed;
}

uint32_t clampResumeMinutes(uint32_t typed)
{
    if (typed < minimumResumeMinutes)
        return minimumResumeMinutes;
    return typed > maximumMinutes ? maximumMinutes : typed;
}

// Suspend and Hibernate are the actions a computer wakes from; larger values count too.
bool scheduleResumeBoxEnabled(uint32_t scheduleAction)
{
    return scheduleAction >= firstWakingAction;
}

bool scheduleResumeListEnabled(uint32_t scheduleAction, uint32_t resumeEnabled)
{
    return scheduleResumeBoxEnabled(scheduleAction) && resumeEnabled != 0;
}

uint64_t scheduleLengthFor(uint32_t minutes)
{
    return uint64_t(minutes) * 60000u + 500u;
}
