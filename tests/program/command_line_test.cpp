// The whole program started with "slam": the keywords and the action that follows
// them, remotely, locally, and behind the slam prompt.
#include <gtest/gtest.h>

#include <cstring>

#include "pelk.h"
#include "resources/resource.h"

namespace {

const char slammed[] = "Windows is about to be Slammed...";

TEST(CommandLine, RemoteSlamShutsTheComputerDownAndEnds)
{
    struct Case {
        const char* arguments;
        uint32_t commandAction, forceAction;
        const char* machineTimeoutForceRestart;
    };
    const Case cases[] = {
        {"/slam /remo:SERVER7 /loop", 3, 0, "SERVER7|33|0|1"},
        {"/slam /remo:SERVER7", 7, 0, "SERVER7|33|0|1"},
        {"/slam /kill \"/remo:My PC\" /shut /wait", 6, 0, "My PC|33|1|0"},
        {"/slam /remo", 1, 2, "OLDBOX|33|2|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Pelk pelk;
        pelk.writeSettings([&c](Settings& s) {
            std::strcpy(s.remoteComputerName, "OLDBOX");
            s.trayIconEnabled = 0;
            s.commandAction = c.commandAction;
            s.forceAction = c.forceAction;
            s.trayWarnSeconds = 33;
            s.commandWarnSeconds = 44;
        });
        std::string before = pelk.read("dPelk.dat");
        ASSERT_TRUE(pelk.start(c.arguments));
        ASSERT_TRUE(pelk.waitForExit());
        EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
        std::string call = std::string("InitiateSystemShutdownA ") + c.machineTimeoutForceRestart;
        EXPECT_EQ(Lines{call.insert(call.find('|') + 1, std::string(slammed) + "|")}, pelk.journal());
        EXPECT_EQ("", pelk.read("dLog.txt"));
        EXPECT_EQ(before, pelk.read("dPelk.dat"));
    }
}

// Without a prompt the action follows at once, is logged when asked, and the program
// stays in the tray; what the keywords set is saved at Exit.
TEST(CommandLine, LocalSlamActsAtOnceAndStays)
{
    // commandAction before, logEvents, the call (none: nothing), the log line, what Exit saves
    struct Case {
        const char* arguments;
        uint32_t action, logEvents;
        const char* call;
        Lines log;
        uint32_t savedAction, savedForce;
    };
    const Case cases[] = {
        {"/SLAM /LoGo /kill", 3, 1, "ExitWindowsEx 1 0", {"Shutdown"}, 2, 1},
        {"/slam \"\" /kill /shut", 3, 1, "ExitWindowsEx 0 0", {"Log Off"}, 3, 0},
        {"/slam /hibr", 3, 0, "SetSystemPowerState 1 0", {}, 4, 0},
        {"/slam /susp /kill", 3, 1, "SetSystemPowerState 0 1", {"Hibernate"}, 5, 1},
        {"/slam /shut /loop /nonsense", 3, 1, "ExitWindowsEx 2 0", {"Restart"}, 1, 0},
        {"/slam", 8, 1, nullptr, {}, 8, 0},
        {"/slam /hibr", 9, 0, "SetSystemPowerState 1 1", {}, 4, 0},  // 9: "Force Shutdown" on the Command page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Pelk pelk;
        pelk.writeSettings([&c](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandAction = c.action;
            s.commandForce = c.action == 9;
            s.commandPromptMode = 0;
            s.logEvents = c.logEvents;
        });
        ASSERT_TRUE(pelk.start(c.arguments));
        ASSERT_TRUE(pelk.ready());
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, pelk.powerCalls());
        EXPECT_EQ(c.log, pelk.logTexts());
        EXPECT_TRUE(pelk.running());
        Settings saved = pelk.exitAndSaved();
        EXPECT_EQ(c.savedAction, saved.commandAction);
        EXPECT_EQ(c.savedForce, saved.forceAction);
    }
}

// The slam prompt: Yes acts, No ends the program, the end of a countdown answers
// Yes, but a countdown of one second waits for the user.
TEST(CommandLine, SlamPrompt)
{
    // the prompt's countdown timer (none for Confirm), the answer (0: the countdown runs out)
    struct Case { const char* arguments; uint32_t warnSeconds; const char* countdown; int answer; const char* call; };
    const Case cases[] = {
        {"/slam /poff /wait", 2, nullptr, IDOK, "ExitWindowsEx 0 0"},
        {"/slam /poff /wait", 2, nullptr, IDCANCEL, nullptr},
        {"/slam /poff", 2, "SetTimer dialog 2 2000", 0, "ExitWindowsEx 0 0"},
        {"/slam /hibr", 1, "SetTimer dialog 2 1000", IDOK, "SetSystemPowerState 1 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments + std::string(c.answer == IDCANCEL ? " No" : ""));
        Pelk pelk;
        pelk.writeSettings([&c](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandPromptMode = 2;
            s.commandWarnSeconds = c.warnSeconds;
            s.trayWarnSeconds = 10;
        });
        ASSERT_TRUE(pelk.start(c.arguments));
        HWND prompt = pelk.waitForDialog();
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ(slammed, textOf(prompt, IDOK));
        EXPECT_EQ("No", textOf(prompt, IDCANCEL));
        Lines timers = {"SetTimer main 1 100"};
        if (c.countdown)
            timers.push_back(c.countdown);
        EXPECT_EQ(timers, pelk.timers());
        DWORD_PTR result;
        if (c.countdown)  // the countdown runs out
            SendMessageTimeoutA(prompt, WM_TIMER, 2, 0, SMTO_NORMAL, 5000, &result);
        EXPECT_EQ(c.answer == 0, waitUntil([prompt] { return !IsWindowVisible(prompt); }, 300));
        if (c.answer != 0)
            press(prompt, c.answer);
        if (c.call == nullptr) {
            ASSERT_TRUE(pelk.waitForExit());
            EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
            EXPECT_TRUE(pelk.journal().empty());
            continue;
        }
        ASSERT_TRUE(pelk.waitForPowerCalls(1));
        EXPECT_EQ(Lines{c.call}, pelk.powerCalls());
    }
}

}  // namespace
