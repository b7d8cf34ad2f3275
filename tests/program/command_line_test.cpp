// The whole program started with "slam": the keywords and the action that follows
// them, remotely, locally, and behind the slam prompt.
#include <gtest/gtest.h>

#include "pelk.h"
#include "resources/resource.h"

// Remote: one call with the Tray page's seconds, no prompt, no log line, no save; the end.
TEST(CommandLine, RemoteSlamShutsTheComputerDownAndEnds)
{
    struct Case { const char* arguments; uint32_t commandAction, forceAction; const char* call; };
    const Case cases[] = {
        {"/slam /remo:SERVER7 /loop", 3, 0, "SERVER7|33|0|1"},
        {"/slam /remo:SERVER7", 7, 0, "SERVER7|33|0|1"},
        {"/slam /kill \"/remo:My PC\" /shut /wait", 6, 0, "My PC|33|1|0"},
        {"/slam /remo", 1, 2, "Mr Computer|33|2|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Pelk pelk;
        pelk.writeSettings({{&Settings::trayIconEnabled, 0}, {&Settings::commandAction, c.commandAction},
                            {&Settings::forceAction, c.forceAction}, {&Settings::trayWarnSeconds, 33}});
        std::string before = pelk.read("dPelk.dat");
        ASSERT_TRUE(pelk.start(c.arguments) && pelk.waitForExit());
        EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
        std::string call = std::string("InitiateSystemShutdownA ") + c.call;
        EXPECT_EQ(Lines{call.insert(call.find('|') + 1, "Windows is about to be Slammed...|")}, pelk.journal());
        EXPECT_EQ("", pelk.read("dLog.txt") + (before == pelk.read("dPelk.dat") ? "" : "saved"));
    }
}

// Local, without a prompt: the action at once, logged when asked; the program stays,
// and Exit saves what the keywords set.
TEST(CommandLine, LocalSlamActsAtOnceAndStays)
{
    struct Case { const char* arguments; uint32_t action, logEvents; const char* call; Lines log; uint32_t saved[2]; };
    const Case cases[] = {  // action and logging before; the call, the log; action and force saved
        {"/SLAM /LoGo /kill", 3, 1, "ExitWindowsEx 1 0", {"Shutdown"}, {2, 1}},
        {"/slam \"\" /kill /shut", 3, 1, "ExitWindowsEx 0 0", {"Log Off"}, {3, 0}},
        {"/slam /hibr", 3, 0, "SetSystemPowerState 1 0", {}, {4, 0}},
        {"/slam /susp /kill", 3, 1, "SetSystemPowerState 0 1", {"Hibernate"}, {5, 1}},
        {"/slam", 8, 1, nullptr, {}, {8, 0}},
        {"/slam /hibr", 9, 0, "SetSystemPowerState 1 1", {}, {4, 0}},  // 9: "Force Shutdown" on the Command page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Pelk pelk;
        pelk.writeSettings({{&Settings::trayIconEnabled, 0}, {&Settings::commandAction, c.action},
                            {&Settings::commandForce, c.action == 9}, {&Settings::commandPromptMode, 0},
                            {&Settings::logEvents, c.logEvents}});
        ASSERT_TRUE(pelk.start(c.arguments) && pelk.ready());
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, pelk.powerCalls());
        EXPECT_EQ(c.log, pelk.logTexts());
        EXPECT_TRUE(pelk.running());
        Settings saved = pelk.exitAndSaved();
        EXPECT_EQ(c.saved[0], saved.commandAction);
        EXPECT_EQ(c.saved[1], saved.forceAction);
    }
}

// The slam prompt: Yes acts, No ends the program, the end of a countdown answers
// Yes, but a countdown of one second waits for the user.
TEST(CommandLine, SlamPrompt)
{
    struct Case { const char* arguments; uint32_t seconds; const char* countdown; int answer; const char* call; };
    const Case cases[] = {  // the prompt's countdown timer (none for Confirm); 0: only the countdown runs out
        {"/slam /poff /wait", 2, nullptr, IDOK, "ExitWindowsEx 0 0"},
        {"/slam /poff /wait", 2, nullptr, IDCANCEL, nullptr},
        {"/slam /poff", 2, "SetTimer dialog 2 2000", 0, "ExitWindowsEx 0 0"},
        {"/slam /hibr", 1, "SetTimer dialog 2 1000", IDOK, "SetSystemPowerState 1 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments + std::string(c.answer == IDCANCEL ? " No" : ""));
        Pelk pelk;
        pelk.writeSettings({{&Settings::trayIconEnabled, 0}, {&Settings::commandPromptMode, 2},
                            {&Settings::commandWarnSeconds, c.seconds}});
        ASSERT_TRUE(pelk.start(c.arguments));
        HWND prompt = pelk.waitForDialog();
        EXPECT_EQ("Windows is about to be Slammed...", textOf(prompt, IDOK));
        EXPECT_EQ("No", textOf(prompt, IDCANCEL));
        EXPECT_EQ((c.countdown ? Lines{"SetTimer main 1 100", c.countdown} : Lines{"SetTimer main 1 100"}), pelk.timers());
        DWORD_PTR result;
        if (c.countdown)  // the countdown runs out
            SendMessageTimeoutA(prompt, WM_TIMER, 2, 0, SMTO_NORMAL, 5000, &result);
        EXPECT_EQ(c.answer == 0, waitUntil([prompt] { return !IsWindowVisible(prompt); }, 300));
        if (c.answer != 0)
            press(prompt, c.answer);
        ASSERT_TRUE(c.call ? pelk.waitForPowerCalls(1) : pelk.waitForExit());
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, pelk.powerCalls());
        EXPECT_EQ(c.call ? 0u : pelk.imageBase(), pelk.exitCode());
    }
}
