// Rules of the clock schedule and of the put-off.
#include "triggers/clock_rules.h"

#include "app/text.h"
#include "power/actions.h"

namespace {

const uint32_t minutesPerDay = 24 * 60;

bool isLeapYear(uint32_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

uint32_t daysInMonth(uint32_t year, uint32_t month)
{
    const uint8_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[(month - 1) % 12];
}

uint32_t nextDate(const WallTime& t)
{
    uint32_t year = t.year, month = t.month, day = t.day + 1u;
    if (day > daysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return year * 10000 + month * 100 + day;
}

}  // namespace

uint32_t dateNumber(const WallTime& t)
{
    return t.year * 10000u + t.month * 100u + t.day;
}

uint32_t minuteOfDay(const WallTime& t)
{
    return t.hour * 60u + t.minute;
}

uint32_t onceDateFor(uint32_t minute, const WallTime& now)
{
    return minuteOfDay(now) < minute ? dateNumber(now) : nextDate(now);
}

uint32_t clockRepeatOf(const Settings& s)
{
    return s.clockDays == 0 ? repeatOnce : (s.clockDays & 0x7F) == 0x7F ? repeatDaily : repeatDays;
}

void applyClockChoice(Settings& s, bool on, const char* typed, uint32_t action, uint32_t repeat, uint32_t dayBoxes,
                      const WallTime& now)
{
    uint32_t minute = 0;
    const uint32_t days = repeat == repeatDaily ? 0x7F : repeat == repeatDays ? (dayBoxes & 0x7F) : 0;
    if (!on || (repeat == repeatDays && days == 0)) {
        s.clockMinute = 0;
        return;
    }
    if (!parseClockTime(typed, &minute)) {
        if (s.clockMinute == 0)
            return;
        minute = s.clockMinute - 1u;
    }
    const bool changed = s.clockMinute != minute + 1 || s.clockDays != days;
    // Another time or other days are another item: what the former acted on or skipped is forgotten.
    if (changed)
        s.clockDoneDay = 0;
    s.clockMinute = static_cast<uint16_t>(minute + 1);
    s.clockAction = static_cast<uint8_t>(action <= 5 ? action : 5);
    s.clockDays = static_cast<uint8_t>(days);
    if (days == 0 && changed)
        s.clockOnceDate = onceDateFor(minute, now);
}

bool parseClockTime(const char* text, uint32_t* minute)
{
    uint32_t hour = 0, minutes = 0, hourDigits = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9' && hourDigits < 3; ++p, ++hourDigits)
        hour = hour * 10 + static_cast<uint32_t>(*p - '0');
    const char separator = *p++;
    if (hourDigits == 0 || hourDigits > 2 || (separator != ':' && separator != '.') || p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9' ||
        p[2] != '\0')
        return false;
    minutes = static_cast<uint32_t>(p[0] - '0') * 10 + static_cast<uint32_t>(p[1] - '0');
    if (hour > 23 || minutes > 59)
        return false;
    *minute = hour * 60 + minutes;
    return true;
}

void clockRefusalText(const char* typed, char* out, size_t outSize)
{
    copyText(out, outSize, "\"");
    appendText(out, outSize, typed);
    appendText(out, outSize, "\" is no time of day: type one from 0:00 to 23:59, such as 23:30.");
}

void clockTooltip(const Settings& s, char* out, size_t outSize)
{
    copyText(out, outSize, "");
    if (s.clockMinute == 0 || s.clockMinute > minutesPerDay)
        return;
    appendText(out, outSize, promptActionName(s.clockAction));
    const uint32_t days = s.clockDays & 0x7F;
    if (days == 0x7F) {
        appendText(out, outSize, " every day");
    } else if (days == 0x3E) {
        appendText(out, outSize, " on weekdays");
    } else if (days != 0) {
        const char* const names[] = {" Sun", " Mon", " Tue", " Wed", " Thu", " Fri", " Sat"};
        appendText(out, outSize, " on");
        for (uint32_t day = 0; day < 7; ++day)
            appendText(out, outSize, days >> day & 1 ? names[day] : "");
    }
    char time[16];
    formatClockTime(s.clockMinute - 1u, time, sizeof time);
    appendText(out, outSize, " at ");
    appendText(out, outSize, time);
}

void formatClockTime(uint32_t minute, char* out, size_t outSize)
{
    copyText(out, outSize, "");
    appendNumber(out, outSize, minute / 60);
    appendText(out, outSize, minute % 60 < 10 ? ":0" : ":");
    appendNumber(out, outSize, minute % 60);
}

uint32_t putOffMinutes(const Settings& s)
{
    return s.putOffMinutes == 0 ? 10 : clampPutOffMinutes(s.putOffMinutes);
}

uint32_t clampPutOffMinutes(uint32_t typed)
{
    return typed < 1 ? 1 : typed > 120 ? 120 : typed;
}
