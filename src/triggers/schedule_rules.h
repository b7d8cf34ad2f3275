// Countdown text, list entries, clamps and enabling of the scheduled shutdown.
#pragma once
#include <cstddef>
#include <cstdint>

// The first two non-zero units of days, hours, minutes and seconds, e.g. "4 Mns 59 Scs";
// empty under one second. Cut to fit outSize, always terminated when outSize > 0.
void formatCountdown(uint32_t durationMs, char* out, size_t outSize);

extern const char* const minutesListEntries[19];
extern const char* const powerActionListNames[6];

uint32_t clampScheduleMinutes(uint32_t typed);
uint32_t clampResumeMinutes(uint32_t typed);

bool scheduleResumeBoxEnabled(uint32_t scheduleAction);
bool scheduleResumeListEnabled(uint32_t scheduleAction, uint32_t resumeEnabled);

// The countdown's length; the extra half second keeps the first tooltip on whole minutes.
uint64_t scheduleLengthFor(uint32_t minutes);
