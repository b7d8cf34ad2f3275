// The clock time's days and the Clock page's choice; its texts and the put-off minutes.
#include <gtest/gtest.h>

#include <cstring>

#include "triggers/clock_rules.h"

// A local time: a date yyyymmdd, a time hhmm and the day of the week (0 Sunday).
static WallTime at(uint32_t date, uint32_t hhmm, uint16_t weekday)
{
    return {static_cast<uint16_t>(date / 10000), static_cast<uint16_t>(date / 100 % 100), static_cast<uint16_t>(date % 100),
            static_cast<uint16_t>(hhmm / 100), static_cast<uint16_t>(hhmm % 100), weekday};
}

static Settings plan(uint32_t hhmm, uint32_t days, uint32_t onceDate = 0, uint32_t action = 0)
{
    Settings s{};
    s.clockMinute = static_cast<uint16_t>(hhmm / 100 * 60 + hhmm % 100 + 1);
    s.clockDays = static_cast<uint8_t>(days);
    s.clockOnceDate = onceDate;
    s.clockAction = static_cast<uint8_t>(action);
    return s;
}

TEST(Clock, OneOffDaysAndThePage)
{
    const std::pair<WallTime, uint32_t> onceDates[] = {{at(20261231, 2329, 4), 20261231}, {at(20261231, 2330, 4), 20270101},
        {at(20280228, 2331, 1), 20280229}, {at(20270228, 2331, 0), 20270301}, {at(20260430, 2359, 4), 20260501}};
    for (const auto& d : onceDates)
        EXPECT_EQ(d.second, onceDateFor(23 * 60 + 30, d.first)) << d.second;

    // The Clock page: a one-off gets its day when new or changed; a time that is no time
    // keeps the one set; no day ticked sets nothing.
    Settings s = plan(2330, 0, 20261208);
    applyClockChoice(s, true, "23:30", 3, repeatOnce, 0, at(20261208, 2345, 2));
    EXPECT_EQ(20261208u, s.clockOnceDate);
    applyClockChoice(s, true, "7:00", 9, repeatOnce, 0, at(20261208, 2345, 2));
    EXPECT_TRUE(s.clockMinute == 421 && s.clockOnceDate == 20261209 && s.clockAction == 5);
    applyClockChoice(s, true, "25:00", 1, repeatDays, 0x22, at(20261208, 2345, 2));
    EXPECT_TRUE(s.clockMinute == 421 && s.clockDays == 0x22 && clockRepeatOf(s) == repeatDays);
    s.clockDoneDay = 9839;  // what a repeat acted on or skipped is its own: another time forgets it
    applyClockChoice(s, true, "7:00", 1, repeatDays, 0x22, at(20261208, 2345, 2));
    EXPECT_EQ(9839, s.clockDoneDay);
    applyClockChoice(s, true, "7:30", 1, repeatDays, 0x22, at(20261208, 2345, 2));
    EXPECT_EQ(0, s.clockDoneDay);
    applyClockChoice(s, true, "7:00", 1, repeatDays, 0, at(20261208, 2345, 2));
    EXPECT_EQ(0, s.clockMinute);
}

TEST(Clock, TimesTextsAndPutOff)
{
    const std::pair<const char*, int> times[] = {{"23:30", 1410}, {"9:05", 545}, {"0:00", 0}, {"23.30", 1410}, {"24:00", -1}, {"23:60", -1}, {"23,30", -1},
        {"2330", -1}, {"", -1}, {"123:00", -1}, {"9:5", -1}, {"09:05x", -1}, {"-1:00", -1}};
    for (const auto& t : times) {
        uint32_t minute = 7;
        EXPECT_EQ(t.second >= 0, parseClockTime(t.first, &minute)) << t.first;
        EXPECT_EQ(t.second >= 0 ? static_cast<uint32_t>(t.second) : 7u, minute) << t.first;
    }
    const std::pair<Settings, const char*> tips[] = {{plan(2330, 0, 20261208), "Power Off at 23:30"},
        {plan(2330, 0x7F), "Power Off every day at 23:30"}, {plan(700, 0x3E, 0, 3), "Log Off on weekdays at 7:00"},
        {plan(905, 0x22, 0, 5), "Hibernate on Mon Fri at 9:05"}, {Settings{}, ""}};
    for (const auto& t : tips) {
        char text[100];
        clockTooltip(t.first, text, sizeof text);
        EXPECT_STREQ(t.second, text);
    }
    Settings s{};
    for (auto m : {std::make_pair(0u, 10u), {1u, 1u}, {200u, 120u}}) {
        s.putOffMinutes = static_cast<uint8_t>(m.first);
        EXPECT_EQ(m.second, putOffMinutes(s)) << m.first;
    }
    EXPECT_EQ(1u, clampPutOffMinutes(0));
}
