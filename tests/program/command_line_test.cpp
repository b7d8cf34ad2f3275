// The whole program started with "slam" and no prompt (the slam prompt is with the
// other prompts): the keywords and the action that follows them.
#include <algorithm>

#include "pelk.h"

// Remote: one call with the Tray page's seconds, nothing logged or saved, and the end.
// Local: the action at once, logged when asked; the program stays, and Exit saves what
// the keywords set.
TEST(CommandLine, SlamActsAtOnce)
{
    // action, force: before (action 9: "Force Shutdown" on the Command page); saved: action and force
    // after Exit, none for a remote slam, whose call carries the slam message after the machine name
    struct Case { const char* arguments; uint32_t action, force, logEvents; const char* call; Lines log;
        std::vector<uint32_t> saved; };
    const Case cases[] = {
        {"/slam /remo:SERVER7 /loop", 3, 0, 1, "SERVER7|33|0|1", {}, {}},
        {"/slam /kill \"/remo:My PC\" /shut /wait", 6, 0, 1, "My PC|33|1|0", {}, {}},
        {"/slam /remo", 1, 2, 1, "Mr Computer|33|2|1", {}, {}},
        {"/SLAM /LoGo /kill", 3, 0, 1, "ExitWindowsEx 1 2147483648", {"Shutdown"}, {2, 1}},
        {"/slam /hibr", 3, 0, 0, "SetSystemPowerState 1 0", {}, {4, 0}},
        {"/slam /susp /kill", 3, 0, 1, "SetSystemPowerState 0 1", {"Hibernate"}, {5, 1}},
        {"/slam", 8, 0, 1, nullptr, {}, {8, 0}},
        {"/slam /hibr", 9, 0, 0, "SetSystemPowerState 1 1", {}, {4, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Pelk pelk;
        pelk.writeSettings({{&Settings::trayIconEnabled, 0}, {&Settings::commandAction, c.action},
                            {&Settings::forceAction, c.force}, {&Settings::commandForce, c.action == 9},
                            {&Settings::commandPromptMode, 0}, {&Settings::logEvents, c.logEvents},
                            {&Settings::trayWarnSeconds, 33}});
        const std::string before = pelk.read("dPelk.dat");
        const bool remote = c.saved.empty();
        ASSERT_TRUE(pelk.start(c.arguments) && (remote ? pelk.waitForExit() : pelk.ready()));
        std::string call = c.call ? c.call : "";
        if (remote)  // a planned shutdown, by the reason given
            call = "InitiateSystemShutdownA " + call.insert(call.find('|') + 1, "Windows is about to be Slammed...|") +
                   "|2147483648";
        EXPECT_EQ(c.call ? Lines{call} : Lines{}, remote ? pelk.journal() : pelk.powerCalls());
        EXPECT_EQ(c.log, pelk.logTexts());
        if (remote) {
            EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
            EXPECT_EQ(before, pelk.read("dPelk.dat"));
        } else {
            Settings saved = pelk.exitAndSaved();
            EXPECT_EQ(c.saved, (std::vector<uint32_t>{saved.commandAction, saved.forceAction}));
        }
    }
    // A script learns from the exit code that the remote computer was not found, the
    // console and the log say so.
    Pelk refused;
    refused.setReadings({{"callError", ERROR_BAD_NETPATH}, {"console", 1}});
    refused.writeSettings({{&Settings::logEvents, 1}});
    ASSERT_TRUE(refused.start("/slam /remo:NOWHERE") && refused.waitForExit());
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), refused.exitCode());
    const std::string line = refused.journal().back();  // the system's words between
    EXPECT_TRUE(line.rfind("Console Pelk: NOWHERE: ", 0) == 0 && line.find(". (53)") == line.size() - 6) << line;
    EXPECT_EQ(Lines{"Remote Shut of NOWHERE failed (error 53)"}, refused.logTexts());
    // A keyword of the slam's without "/slam" is no plain start: refused, and said.
    Pelk misplaced;
    misplaced.setReading("console", 1);
    ASSERT_TRUE(misplaced.start("/abort") && misplaced.waitForExit());
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), misplaced.exitCode());
    EXPECT_EQ("Console Pelk: \"/abort\" is a keyword of /slam (Pelk.exe /slam /abort): nothing was done.",
              misplaced.journal().back());
}

// A refused slam does nothing and tells why: on the console it was typed in, and the
// program ends at once; else in a balloon (on an icon of its own when the tray icon is
// off), and the program ends with the code once it has been read. "/when" only ever
// waits for a program on this computer: it is refused without a name (none stored, a
// folder is none) and with a remote action.
TEST(CommandLine, RefusalsAreTold)
{
    const char* const noName = "/when needs the name of a program to wait for (/when:render.exe): nothing was done.";
    const char* const localOnly = "/when waits for a program only before an action on this computer: nothing was done.";
    // told: 0 a balloon, 1 the console, 2 a balloon with the tray icon off
    struct Case { const char* arguments; uint32_t action; DWORD exit; const char* says; int told; };
    const Case cases[] = {
        {"/slam /poff \"/when:C:\\Render Farm\\\"", 3, ERROR_FILE_NOT_FOUND, noName, 0},
        {"/slam /remo:NODE7 /when:render.exe", 3, ERROR_INVALID_PARAMETER, localOnly, 1},
        {"/slam /when:render.exe", 6, ERROR_INVALID_PARAMETER, localOnly, 2},
        {"/slam /kill /reboot", 3, ERROR_INVALID_PARAMETER, "\"/reboot\" is no keyword; nothing was done.", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Pelk pelk;
        pelk.setTextReading("processes", "render.exe");
        pelk.setReading("console", c.told == 1);
        pelk.writeSettings({{&Settings::commandAction, c.action}, {&Settings::commandPromptMode, 0},
                            {&Settings::trayIconEnabled, c.told != 2}});
        ASSERT_TRUE(pelk.start(c.arguments));
        if (c.told != 1) {
            ASSERT_TRUE(waitUntil([&] { return pelk.read("PowerJournal.txt").find("SetTimer main 11 10000") != std::string::npos; }));
            EXPECT_EQ("Shell_NotifyIcon modify 16 " + std::string(c.says), pelk.trayIcon().back());
            pelk.timer(slamEndTimer);
        }
        ASSERT_TRUE(pelk.waitForExit());
        EXPECT_EQ(c.exit, pelk.exitCode());
        EXPECT_EQ(c.told == 1 ? Lines{"Console Pelk: " + std::string(c.says)} : Lines{}, pelk.journal());
    }
}

// A list of computers, handed to the running copy from the folder it names: each
// computer is called on a thread of its own, the one that never answers is given up at
// its deadline, each result is logged, the console gets the tally, the exit code is the
// first failure's, and the running copy's window is served all the while: the answer
// comes while the options opened meanwhile still show.
TEST(CommandLine, ListOfComputers)
{
    Pelk first;
    first.setReadings({{"tickCount", 1000}, {"remote.PC2", ERROR_BAD_NETPATH}, {"remote.PC3", 0xFFFFFFFF}});
    ASSERT_TRUE(first.startQuiet({{&Settings::commandPromptMode, 0}}));
    Pelk second;
    second.setReading("console", 1);
    writeWhole(second.path("hosts.txt"), "# lab\r\n\\\\PC1\r\n\r\npc2\r\nPC3\r\npc1\r\n");
    ASSERT_TRUE(second.start("/slam /remo:@hosts.txt"));
    EXPECT_TRUE(waitUntil([&] { return first.powerCalls().size() == 3; }));
    EXPECT_TRUE(first.send(WM_NULL) && second.running());
    first.post(openOptionsMessage);  // a sheet opened meanwhile does not hold the answer back
    HWND sheet = first.waitForDialog();
    first.setReading("tickCount", 1000 + 60000);
    ASSERT_TRUE(sheet != nullptr && second.waitForExit());
    EXPECT_TRUE(IsWindowVisible(sheet));
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitForClose(sheet));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), second.exitCode());
    Lines log = first.logTexts();
    std::sort(log.begin(), log.end());
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ("Remote Shut of PC1", log[0]);
    EXPECT_EQ(0u, log[1].rfind("Remote Shut of PC3 failed (error 1460): ", 0)) << log[1];
    EXPECT_EQ(0u, log[2].rfind("Remote Shut of pc2 failed (error 53): ", 0)) << log[2];
    EXPECT_EQ("Console Pelk: Remote Shut of 3 computers: 1 done, 1 failed, 1 did not answer in 60 s (the log names them).",
              first.journal().back());
    Lines events = first.events();  // for the Windows event log, whatever the user's log: each computer, the tally
    std::sort(events.begin(), events.end());
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(0u, events[0].rfind("ReportEvent Pelk 1 1301 Remote Shut|pc2|53|", 0)) << events[0];
    EXPECT_EQ((Lines{"ReportEvent Pelk 2 1302 Remote Shut|PC3|60", "ReportEvent Pelk 2 1304 Remote Shut|3|1|1|1",
                     "ReportEvent Pelk 4 1300 Remote Shut|PC1"}), Lines(events.begin() + 1, events.end()));

    // Lists that name no computer, or hold what is none, call nobody and say so: saved as
    // UTF-16 (one-letter names), no file's name (an empty variable), none, a name with
    // blanks. Never is a list's name kept as the Command page's computer.
    const struct { const char* name; std::string text; DWORD exit; const char* says; } lists[] = {
        {"wide.txt", std::string("P\0C\0" "1\0", 6), ERROR_INVALID_DATA, "wide.txt holds no plain text"},
        {"", "", ERROR_INVALID_DATA, "/remo:@ needs the name of a list file"},
        {"empty.txt", "", ERROR_INVALID_DATA, "empty.txt: the list names no computer"},
        {"notes.txt", "# none yet\r\n\r\n", ERROR_INVALID_DATA, "notes.txt: the list names no computer"},
        {"lab.txt", "PC01   # lab\r\nLAB PC 04\r\n", ERROR_INVALID_DATA, "lab.txt: line 2 of the list holds no computer's name"},
    };
    for (const auto& l : lists) {
        first.clearJournal();
        Pelk bad;
        bad.setReading("console", 1);
        writeWhole(bad.path(l.name[0] ? l.name : "none.txt"), l.text);
        ASSERT_TRUE(bad.start("/slam /remo:@" + std::string(l.name)) && bad.waitForExit());
        EXPECT_EQ(l.exit, bad.exitCode()) << l.name;
        EXPECT_EQ(0u, first.journal().back().rfind("Console Pelk: " + std::string(l.says), 0)) << first.journal().back();
        EXPECT_TRUE(first.powerCalls().empty()) << l.name;
    }
    EXPECT_STREQ("Mr Computer", first.exitAndSaved().remoteComputerName);
}
