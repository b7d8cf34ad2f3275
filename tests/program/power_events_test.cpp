// Power broadcasts and the idle prompt, driven through the whole program.
#include <gtest/gtest.h>

#include "pelk_process.h"
#include "resources/resource.h"

namespace {

const unsigned long long minute = 60000;

void idleSettings(PelkProcess& pelk, unsigned promptMode)
{
    pelk.writeSettings([promptMode](Settings& s) {
        s.trayIconEnabled = 0;
        s.idleEnabled = 1;
        s.idleMinutes = 60;
        s.idleAction = 3;
        s.trayPromptMode = promptMode;
    });
}

TEST(PowerEvents, ResumeStartsTheIdleTimeAfresh)
{
    struct Case { const char* name; WPARAM event; bool resets; };
    const Case cases[] = {
        {"query suspend changes nothing", PBT_APMQUERYSUSPEND, false},
        {"query suspend failed", PBT_APMQUERYSUSPENDFAILED, true},
        {"suspend", PBT_APMSUSPEND, true},
        {"resume", PBT_APMRESUMESUSPEND, true},
        {"automatic resume", PBT_APMRESUMEAUTOMATIC, true},
        {"power status change", PBT_APMPOWERSTATUSCHANGE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PelkProcess pelk;
        idleSettings(pelk, 0);
        pelk.setReading("tickCount", 1000);
        pelk.setReading("lastInputTick", 1000);
        ASSERT_TRUE(pelk.start("/q"));
        HWND window = pelk.waitForWindow();
        ASSERT_NE(nullptr, window);

        // 30 idle minutes, then the event, then 40 more: 70 since the input, 40 since the event.
        pelk.setReading("tickCount", 1000 + 30 * minute);
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(window, WM_POWERBROADCAST, c.event, 0, SMTO_BLOCK, 5000, &result));
        EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), result);
        pelk.setReading("tickCount", 1000 + 70 * minute);
        pelk.timer(2);
        if (c.resets) {
            pause(1000);
            EXPECT_TRUE(pelk.powerCalls().empty());
        } else {
            EXPECT_TRUE(pelk.waitForPowerCalls(1, 5000));
        }
    }
}

TEST(PowerEvents, UnansweredIdlePromptIsNotJoinedByAnother)
{
    PelkProcess pelk;
    idleSettings(pelk, 1);
    pelk.setReading("tickCount", 1000);
    pelk.setReading("lastInputTick", 1000);
    ASSERT_TRUE(pelk.start("/q"));
    ASSERT_NE(nullptr, pelk.waitForWindow());
    pelk.setReading("tickCount", 1000 + 61 * minute);
    pelk.timer(2);
    HWND prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    pelk.timer(2);
    pelk.timer(2);
    pause(1500);
    EXPECT_EQ(1u, pelk.windowsOfClass("#32770").size());

    PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    pause(1000);
    EXPECT_TRUE(pelk.windowsOfClass("#32770").empty());
    EXPECT_TRUE(pelk.powerCalls().empty());
    // Declined: the next minute asks again.
    pelk.timer(2);
    EXPECT_NE(nullptr, pelk.waitForDialog());
}

}  // namespace
