// The clock time's rules apart from when it comes due (the agenda's): a one-off's day,
// the Clock page's choice, texts, and the minutes a prompt's put-off adds.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

// A moment as the local clock shows it.
struct WallTime {
    uint16_t year, month, day;  // month 1 to 12
    uint16_t hour, minute;
    uint16_t weekday;  // 0 Sunday to 6 Saturday
    uint16_t second, millisecond;
};

uint32_t dateNumber(const WallTime& t);  // yyyymmdd
uint32_t minuteOfDay(const WallTime& t);

// The day (yyyymmdd) a one-off time of `minute` is due when set at `now`: today while
// the clock has not shown it yet, else tomorrow.
uint32_t onceDateFor(uint32_t minute, const WallTime& now);

// The repeat a list offers: once, every day, or on the days ticked.
enum ClockRepeat { repeatOnce, repeatDaily, repeatDays };
uint32_t clockRepeatOf(const Settings& s);
// What the Clock page sets when it is left: on or off, the typed time (a time that is
// no time keeps what was set), the action, the repeat and the days ticked (bit 0
// Sunday). A one-off gets its day anew when it was not set before or has changed.
void applyClockChoice(Settings& s, bool on, const char* typed, uint32_t action, uint32_t repeat, uint32_t dayBoxes,
                      const WallTime& now);

// "23:30" or "9:05" into the minute of the day, and "23.30" as many countries write it;
// false for anything else. formatClockTime writes a minute of the day so.
bool parseClockTime(const char* text, uint32_t* minute);
// Why the Clock page does not take what was typed: "\"25:00\" is no time of day ...".
void clockRefusalText(const char* typed, char* out, size_t outSize);
void formatClockTime(uint32_t minute, char* out, size_t outSize);

// What the tooltip says of the clock schedule: "Power Off at 23:30", "Power Off every day
// at 23:30", "Log Off on Mon Tue Fri at 7:00"; empty when none is set.
void clockTooltip(const Settings& s, char* out, size_t outSize);

// The minutes a prompt's put-off adds, from the setting (0: 10), and a typed number's.
uint32_t putOffMinutes(const Settings& s);
uint32_t clampPutOffMinutes(uint32_t typed);
