// The battery alerts' crossings and the number on the tray icon.
#include <gtest/gtest.h>

#include "battery/alert_rules.h"
#include "power/actions.h"

TEST(BatteryAlerts, OncePerCrossingOnItsPowerSource)
{
    struct Step { uint8_t acLine, flag, percent; BatteryAlert alert; };
    const Step steps[] = {
        {0, 0, 50, alertNone},  {0, 0, 10, alertLow},     {0, 0, 9, alertNone},  {0, 0, 11, alertNone},
        {0, 0, 10, alertNone},  {0, 0, 13, alertNone},    {0, 0, 10, alertLow},  {1, 8, 10, alertNone},
        {1, 8, 79, alertNone},  {1, 8, 80, alertCharged}, {1, 8, 78, alertNone}, {1, 0, 80, alertNone},
        {1, 8, 77, alertNone},  {1, 0, 81, alertCharged}, {0, 0, 81, alertNone}, {255, 0, 13, alertNone},
        {255, 0, 5, alertLow},  {0, 0, 255, alertNone},   {0, 128, 2, alertNone},
    };
    AlertTrack track{};
    for (const Step& s : steps)
        EXPECT_EQ(s.alert, checkBatteryAlert({s.acLine, s.flag, s.percent}, 10, 80, track)) << int(s.percent);
    AlertTrack fresh[3]{};  // 0: off; above 99 the low level is 99, above 100 the charged one 100
    EXPECT_EQ(alertNone, checkBatteryAlert({0, 0, 0}, 0, 0, fresh[0]));
    EXPECT_EQ(alertLow, checkBatteryAlert({0, 0, 99}, 150, 0, fresh[1]));
    EXPECT_EQ(alertCharged, checkBatteryAlert({1, 0, 100}, 0, 200, fresh[2]));
    const int32_t actions[] = {-1, 4, 5, 2, 0, -1};  // Nothing, Suspend, Hibernate, Shutdown, Power Off, any other
    for (uint32_t choice = 0; choice < 6; ++choice)
        EXPECT_EQ(actions[choice], lowAlertPowerAction(choice)) << choice;
    // The list names each action as the prompts do.
    for (uint32_t choice = 1; choice < 5; ++choice) EXPECT_STREQ(promptActionName(actions[choice]), lowAlertActionNames[choice]);
    // A clear box stores 0, a typed 0 is 1, a level above the most is the most: 0 + 1 + 99.
    EXPECT_EQ(0, alertLevelFromBox(false, 40, 99) + alertLevelFromBox(true, 0, 99) + alertLevelFromBox(true, 1000, 99) - 100);
}

TEST(TrayLevel, TheNumberShown)
{
    struct Case { uint32_t on; uint8_t flag, percent; const char* text; };
    const Case cases[] = {{1, 0, 57, "57"}, {1, 8, 100, "100"}, {1, 0, 0, "0"},
                          {0, 0, 57, ""},   {1, 128, 57, ""},   {1, 0, 255, ""}, {1, 0, 101, ""}};
    for (const Case& c : cases) {
        char text[8];
        trayLevelText(c.on, {1, c.flag, c.percent}, text, sizeof text);
        EXPECT_STREQ(c.text, text) << int(c.percent);
    }
}

// The low alert's balloon names what follows it, and how.
TEST(BatteryAlerts, TheBalloonNamesWhatFollows)
{
    struct Case { uint32_t action, mode, seconds; const char* ending; };
    const Case cases[] = {{0, 2, 30, "work."}, {2, 2, 30, "work: Hibernate follows after a 30-second warning."},
                          {1, 1, 5, "work: Suspend follows once you confirm it."}, {4, 0, 5, "work: Power Off follows at once."}};
    for (const Case& c : cases) {
        char title[32], text[256];
        batteryAlertTexts(alertLow, {0, 0, 9}, c.action, c.mode, c.seconds, title, sizeof title, text, sizeof text);
        EXPECT_EQ("Battery low|The battery is down to 9%. Plug the computer in, or save your " + std::string(c.ending),
                  std::string(title) + "|" + text);
    }
}
