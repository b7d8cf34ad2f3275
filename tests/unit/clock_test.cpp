// The clock schedule as the wall clock moves: days, month and year ends, daylight-saving
// gaps and repeats, clocks set back, weekdays; its texts and the put-off minutes.
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

TEST(Clock, DueAsTheWallClockMoves)
{
    const uint32_t daily = 0x7F, weekdays = 0x3E;
    struct Case { Settings s; WallTime before, now; uint32_t done, due; const char* what; };
    const Case cases[] = {
        {plan(2330, 0, 20261208), at(20261208, 2329, 2), at(20261208, 2330, 2), 0, 20261208, "once, on time"},
        {plan(2330, 0, 20261208), at(20261208, 2330, 2), at(20261208, 2331, 2), 0, 0, "once, gone by at the last check"},
        {plan(2330, 0, 20261209), at(20261208, 2329, 2), at(20261208, 2331, 2), 0, 0, "once, another day"},
        {plan(230, daily), at(20260329, 159, 0), at(20260329, 300, 0), 0, 20260329, "in a daylight-saving gap"},
        {plan(230, daily), at(20261025, 259, 0), at(20261025, 200, 0), 0, 0, "the clock repeats an hour"},
        {plan(230, daily), at(20261025, 229, 0), at(20261025, 230, 0), 20261025, 0, "and the time once more"},
        {plan(0, daily), at(20261231, 2359, 4), at(20270101, 0, 5), 0, 20270101, "midnight at a year's end"},
        {plan(2359, weekdays), at(20261204, 2358, 5), at(20261205, 1, 6), 0, 20261204, "Friday's end, past midnight"},
        {plan(900, weekdays), at(20261205, 859, 6), at(20261205, 900, 6), 0, 0, "Saturday is no weekday"},
        {plan(900, daily), at(20261209, 859, 3), at(20261208, 901, 2), 0, 0, "a clock set back a day"},
        {plan(900, daily), at(20261208, 800, 2), at(20261208, 1000, 2), 20261208, 0, "skipped today"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.due, clockDueDate(c.s, c.before, c.now, c.done)) << c.what;

    const std::pair<WallTime, uint32_t> onceDates[] = {{at(20261231, 2329, 4), 20261231}, {at(20261231, 2330, 4), 20270101},
        {at(20280228, 2331, 1), 20280229}, {at(20270228, 2331, 0), 20270301}, {at(20260430, 2359, 4), 20260501}};
    for (const auto& d : onceDates)
        EXPECT_EQ(d.second, onceDateFor(23 * 60 + 30, d.first)) << d.second;
    for (auto p : {std::make_pair(at(20261208, 2329, 2), false), {at(20261208, 2330, 2), true}, {at(20261209, 0, 3), true}})
        EXPECT_EQ(p.second, clockOncePassed(plan(2330, 0, 20261208), p.first)) << minuteOfDay(p.first);
    EXPECT_FALSE(clockOncePassed(plan(2330, weekdays), at(20261209, 0, 3)));

    // The Clock page: a one-off gets its day when new or changed; a time that is no time
    // keeps the one set; no day ticked sets nothing.
    Settings s = plan(2330, 0, 20261208);
    applyClockChoice(s, true, "23:30", 3, repeatOnce, 0, at(20261208, 2345, 2));
    EXPECT_EQ(20261208u, s.clockOnceDate);
    applyClockChoice(s, true, "7:00", 9, repeatOnce, 0, at(20261208, 2345, 2));
    EXPECT_TRUE(s.clockMinute == 421 && s.clockOnceDate == 20261209 && s.clockAction == 5);
    applyClockChoice(s, true, "7.00", 1, repeatDays, 0x22, at(20261208, 2345, 2));
    EXPECT_TRUE(s.clockMinute == 421 && s.clockDays == 0x22 && clockRepeatOf(s) == repeatDays);
    applyClockChoice(s, true, "7:00", 1, repeatDays, 0, at(20261208, 2345, 2));
    EXPECT_EQ(0, s.clockMinute);
}

TEST(Clock, TimesTextsAndPutOff)
{
    const std::pair<const char*, int> times[] = {{"23:30", 1410}, {"9:05", 545}, {"0:00", 0}, {"24:00", -1}, {"23:60", -1},
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
