// The whole program started with a command line: the slam keywords and the action
// that follows them, locally and remotely, with and without the slam prompt; the
// quiet start; and slam while another copy runs.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "pelk_process.h"
#include "resources/resource.h"

namespace {

using Lines = std::vector<std::string>;

const char slammed[] = "Windows is about to be Slammed...";

// How long a closing dialog may take: a hidden window is destroyed at once on Windows,
// but Wine without a window manager waits up to 2 s for the withdrawal first.
const DWORD closingTime = 4000;

// The program has finished start-up, command line included, once its message loop
// serves a sent message; a slam prompt's loop serves it too.
void waitForStartUp(PelkProcess& pelk)
{
    ASSERT_NE(nullptr, pelk.waitForWindow());
    ASSERT_TRUE(pelk.send(WM_NULL, 0, 0, 10000));
}

TEST(CommandLine, LogoKillShutsDownStaysAndForces)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) {
        s.trayIconEnabled = 0;
        s.commandPromptMode = 0;
        s.commandAction = 3;
        s.forceAction = 0;
        s.logEvents = 1;
    });
    ASSERT_TRUE(pelk.start("/slam /logo /kill"));
    ASSERT_NO_FATAL_FAILURE(waitForStartUp(pelk));
    EXPECT_EQ((Lines{"SetProcessShutdownParameters 256 0", "ExitWindowsEx 1 0"}), pelk.journal());
    EXPECT_EQ(Lines{"Shutdown"}, pelk.logTexts());
    pause(500);
    EXPECT_TRUE(pelk.running());
    EXPECT_EQ(1u, pelk.windowsOfClass("PELKDLG").size());

    // /kill armed the force fallback: fired now, it offers to stop the forced retries.
    pelk.timer(forceFallbackTimer);
    HWND prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ("Forcing Shutdown in 10 seconds...", controlText(prompt, IDC_PROMPT_MESSAGE));
    pressButton(prompt, IDCANCEL);
    ASSERT_TRUE(waitForClose(prompt, closingTime));

    pelk.command(IDM_EXIT);
    ASSERT_TRUE(pelk.waitForExit(10000));
    EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
    Settings saved;
    ASSERT_TRUE(pelk.readSavedSettings(saved));
    EXPECT_EQ(2u, saved.commandAction);
    EXPECT_EQ(1u, saved.forceAction);
    EXPECT_EQ(0u, saved.commandPromptMode);
}

// Settings of every remote case: the name "OLDBOX", a prompt mode that the remote
// path ignores, and warning seconds that tell the two kinds apart.
struct RemoteCase {
    const char* arguments;
    uint32_t commandAction;
    uint32_t forceAction;
    const char* machineAndFlags;  // the call's arguments around the message
};

const RemoteCase remoteCases[] = {
    {"/slam /remo:SERVER7 /loop", 3, 0, "SERVER7|33|0|1"},
    {"/slam /remo:SERVER7", 7, 0, "SERVER7|33|0|1"},
    {"/slam /remo:SERVER7", 6, 0, "SERVER7|33|0|0"},
    {"/slam /remo:SERVER7", 3, 0, "SERVER7|33|0|0"},
    {"/slam /kill /remo:SERVER7 /shut", 3, 0, "SERVER7|33|1|0"},
    {"/slam /remo", 1, 2, "OLDBOX|33|2|1"},
    {"/slam \"/remo:My PC\" /wait", 3, 0, "My PC|33|0|0"},
    {"/slam /remote:SERVER7", 3, 0, "e:SERVER7|33|0|0"},
};

std::string remoteCall(const char* machineAndFlags)
{
    std::string text = machineAndFlags;
    size_t bar = text.find('|');
    return "InitiateSystemShutdownA " + text.substr(0, bar) + "|" + slammed + text.substr(bar);
}

TEST(CommandLine, RemoteSlamShutsTheComputerDownAndEnds)
{
    for (const RemoteCase& c : remoteCases) {
        SCOPED_TRACE(c.arguments);
        PelkProcess pelk;
        pelk.writeSettings([&c](Settings& s) {
            s.trayIconEnabled = 0;
            std::memset(s.remoteComputerName, 0, sizeof s.remoteComputerName);
            std::strcpy(s.remoteComputerName, "OLDBOX");
            s.commandAction = c.commandAction;
            s.forceAction = c.forceAction;
            s.commandPromptMode = 2;
            s.trayWarnSeconds = 33;
            s.commandWarnSeconds = 44;
            s.logEvents = 1;
        });
        std::string settingsBefore = pelk.readFile("dPelk.dat");
        ASSERT_TRUE(pelk.start(c.arguments));
        ASSERT_TRUE(pelk.waitForExit(10000));
        EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
        EXPECT_EQ(Lines{remoteCall(c.machineAndFlags)}, pelk.journal());
        EXPECT_FALSE(pelk.fileExists("dLog.txt"));
        EXPECT_EQ(settingsBefore, pelk.readFile("dPelk.dat"));
    }
}

struct KeywordCase {
    const char* arguments;
    const char* call;
    uint32_t commandAction;  // as saved at Exit afterwards
    uint32_t forceAction;
};

// Settings before: commandAction 3 (Log Off), forceAction 0, no prompt.
const KeywordCase keywordCases[] = {
    {"/SLAM /LoGo", "ExitWindowsEx 1 0", 2, 0},
    {"/slam \"\" /kill /shut", "ExitWindowsEx 0 0", 3, 0},  // the empty argument ends the keywords
    {"/slam /hibr", "SetSystemPowerState 1 0", 4, 0},
    {"/slam /susp /kill", "SetSystemPowerState 0 1", 5, 1},
    {"/slam /shut /loop", "ExitWindowsEx 2 0", 1, 0},  // the later action counts
    {"/slam /shut /nonsense", "ExitWindowsEx 8 0", 0, 0},
};

TEST(CommandLine, SlamKeywordsChooseTheActionAndAreSaved)
{
    for (const KeywordCase& c : keywordCases) {
        SCOPED_TRACE(c.arguments);
        PelkProcess pelk;
        pelk.writeSettings([](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandAction = 3;
            s.forceAction = 0;
            s.commandPromptMode = 0;
            s.logEvents = 0;
        });
        ASSERT_TRUE(pelk.start(c.arguments));
        ASSERT_NO_FATAL_FAILURE(waitForStartUp(pelk));
        EXPECT_EQ(Lines{c.call}, pelk.powerCalls());
        pelk.command(IDM_EXIT);
        ASSERT_TRUE(pelk.waitForExit(10000));
        Settings saved;
        ASSERT_TRUE(pelk.readSavedSettings(saved));
        EXPECT_EQ(c.commandAction, saved.commandAction);
        EXPECT_EQ(c.forceAction, saved.forceAction);
        EXPECT_FALSE(pelk.fileExists("dLog.txt"));
    }
}

TEST(CommandLine, SlamPromptYesActsAndNoEnds)
{
    const int answers[] = {IDOK, IDCANCEL};
    for (int answer : answers) {
        SCOPED_TRACE(answer == IDOK ? "Yes" : "No");
        PelkProcess pelk;
        pelk.writeSettings([](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandPromptMode = 2;
            s.commandWarnSeconds = 2;  // /wait asks without a countdown
            s.commandAction = 0;
            s.logEvents = 1;
        });
        ASSERT_TRUE(pelk.start("/slam /poff /wait"));
        HWND prompt = pelk.waitForDialog();
        ASSERT_NE(nullptr, prompt);
        EXPECT_EQ(slammed, controlText(prompt, IDOK));
        EXPECT_EQ("No", controlText(prompt, IDCANCEL));
        EXPECT_EQ("", controlText(prompt, IDC_PROMPT_MESSAGE));
        pause(2300);
        EXPECT_TRUE(IsWindowVisible(prompt));
        EXPECT_TRUE(pelk.journal().empty());

        pressButton(prompt, answer);
        if (answer == IDOK) {
            ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime));
            EXPECT_EQ(Lines{"ExitWindowsEx 0 0"}, pelk.powerCalls());
            EXPECT_EQ(Lines{"Log Off"}, pelk.logTexts());
            EXPECT_TRUE(waitForClose(prompt, closingTime));
            EXPECT_TRUE(pelk.running());
        } else {
            ASSERT_TRUE(pelk.waitForExit(closingTime + 1000));
            EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
            EXPECT_TRUE(pelk.journal().empty());
            EXPECT_FALSE(pelk.fileExists("dLog.txt"));
        }
    }
}

TEST(CommandLine, SlamWarningAnswersYesWhenItRunsOut)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) {
        s.trayIconEnabled = 0;
        s.commandPromptMode = 2;
        s.commandWarnSeconds = 2;
        s.trayWarnSeconds = 10;
        s.commandAction = 0;
        s.logEvents = 0;
    });
    ASSERT_TRUE(pelk.start("/slam /poff"));
    HWND prompt = pelk.waitForDialog();
    DWORD shown = GetTickCount();
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ(slammed, controlText(prompt, IDOK));
    ASSERT_TRUE(waitUntil([prompt] { return !IsWindowVisible(prompt); }, 6000));
    DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LE(elapsed, 5000u);
    ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime));
    EXPECT_EQ(Lines{"ExitWindowsEx 0 0"}, pelk.powerCalls());
    EXPECT_TRUE(waitForClose(prompt, closingTime));
    EXPECT_TRUE(pelk.running());
}

TEST(CommandLine, OneSecondWarningWaitsForTheUser)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) {
        s.trayIconEnabled = 0;
        s.commandPromptMode = 2;
        s.commandWarnSeconds = 1;
        s.commandAction = 3;
    });
    ASSERT_TRUE(pelk.start("/slam /hibr"));
    HWND prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    pause(2500);
    EXPECT_TRUE(IsWindowVisible(prompt));
    EXPECT_TRUE(pelk.journal().empty());
    pressButton(prompt, IDOK);
    ASSERT_TRUE(pelk.waitForPowerCalls(1, closingTime));
    EXPECT_EQ(Lines{"SetSystemPowerState 1 0"}, pelk.powerCalls());
}

TEST(CommandLine, JustShutdownLogsOffAtOnceAndStays)
{
    const uint32_t logEventsValues[] = {1, 0};
    for (uint32_t logEvents : logEventsValues) {
        SCOPED_TRACE(logEvents);
        PelkProcess pelk;
        pelk.writeSettings([logEvents](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandPromptMode = 0;
            s.commandAction = 0;
            s.forceAction = 0;
            s.logEvents = logEvents;
        });
        ASSERT_TRUE(pelk.start("/slam /poff"));
        ASSERT_NO_FATAL_FAILURE(waitForStartUp(pelk));
        EXPECT_EQ(Lines{"ExitWindowsEx 0 0"}, pelk.powerCalls());
        EXPECT_TRUE(pelk.windowsOfClass("#32770").empty());
        if (logEvents == 1)
            EXPECT_EQ(Lines{"Log Off"}, pelk.logTexts());
        else
            EXPECT_FALSE(pelk.fileExists("dLog.txt"));
        pause(500);
        EXPECT_TRUE(pelk.running());
        EXPECT_EQ(1u, pelk.windowsOfClass("PELKDLG").size());
    }
}

TEST(CommandLine, ActionOutOfRangeDoesNothing)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) {
        s.trayIconEnabled = 0;
        s.commandPromptMode = 0;
        s.commandAction = 8;
        s.forceAction = 1;
        s.logEvents = 1;
    });
    ASSERT_TRUE(pelk.start("/slam"));
    ASSERT_NO_FATAL_FAILURE(waitForStartUp(pelk));
    pause(500);
    EXPECT_TRUE(pelk.journal().empty());
    EXPECT_FALSE(pelk.fileExists("dLog.txt"));
    EXPECT_TRUE(pelk.running());
}

TEST(CommandLine, QuietStartRunsAndCallsNothing)
{
    const uint32_t trayIconValues[] = {0, 1};
    for (uint32_t trayIcon : trayIconValues) {
        SCOPED_TRACE(trayIcon);
        PelkProcess pelk;
        pelk.writeSettings([trayIcon](Settings& s) {
            s.trayIconEnabled = trayIcon;
            s.commandPromptMode = 0;
        });
        ASSERT_TRUE(pelk.start("/q"));
        ASSERT_NO_FATAL_FAILURE(waitForStartUp(pelk));
        pause(500);
        EXPECT_TRUE(pelk.running());
        EXPECT_TRUE(pelk.journal().empty());
        EXPECT_TRUE(pelk.windowsOfClass("#32770").empty());
        pelk.command(IDM_EXIT);
        ASSERT_TRUE(pelk.waitForExit(10000));
        EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
    }
}

TEST(CommandLine, SlamWhileAnotherCopyRunsChangesNothing)
{
    PelkProcess first;
    first.writeSettings([](Settings& s) {
        s.trayIconEnabled = 0;
        s.commandAction = 3;
        s.forceAction = 0;
    });
    ASSERT_TRUE(first.start("/q"));
    ASSERT_NO_FATAL_FAILURE(waitForStartUp(first));

    const char* commandLines[] = {"/slam /poff /kill", "/slam /remo:SERVER7 /loop", "/slam /shut /wait"};
    for (const char* arguments : commandLines) {
        SCOPED_TRACE(arguments);
        PelkProcess second;
        second.writeSettings([](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandPromptMode = 0;
        });
        ASSERT_TRUE(second.start(arguments));
        ASSERT_TRUE(second.waitForExit(10000));
        EXPECT_EQ(second.imageBase(), second.exitCode());
        EXPECT_TRUE(second.journal().empty());
        EXPECT_FALSE(second.fileExists("dLog.txt"));
    }

    EXPECT_TRUE(first.running());
    EXPECT_TRUE(first.journal().empty());
    EXPECT_TRUE(first.windowsOfClass("#32770").empty());
    first.command(IDM_EXIT);
    ASSERT_TRUE(first.waitForExit(10000));
    Settings saved;
    ASSERT_TRUE(first.readSavedSettings(saved));
    EXPECT_EQ(3u, saved.commandAction);
    EXPECT_EQ(0u, saved.forceAction);
    EXPECT_STREQ("Mr Computer", saved.remoteComputerName);
}

}  // namespace
