// The whole program's life and files: the quiet start, one copy at a time, the
// saves at Exit and at the end of the session, where its files live, and the log.
#include <cstring>

#include "pelk.h"

// A quiet start without a settings file runs hidden on the defaults; Exit saves.
TEST(Startup, OneQuietCopyAndExit)
{
    Pelk first;
    ASSERT_TRUE(first.start("/q") && first.ready());
    EXPECT_FALSE(IsWindowVisible(first.window()));
    EXPECT_TRUE(first.windows().empty());
    ASSERT_TRUE(first.send(WM_COMMAND, IDM_EXIT, 1));  // from a control, not the menu: ignored
    EXPECT_EQ("", first.read("dPelk.dat"));
    EXPECT_STREQ("Mr Computer", first.exitAndSaved().remoteComputerName);
    EXPECT_EQ(first.imageBase(), first.exitCode());
    EXPECT_TRUE(first.journal().empty());
}

// A second start touches no file of its own: it hands its command line to the running
// copy and ends with that copy's answer. "/q" does nothing, any other start but a slam
// opens the options there once, a slam runs there as at a start of its own (a remote
// one too, and the copy stays), unless a prompt, the schedule dialog or the options are
// open, whose pages would write their values back over the slam's. A copy that holds the
// mutex without a window (starting, or ending) fails a slam with the time-out.
TEST(Startup, SecondStartsReachTheRunningCopy)
{
    Pelk first;
    first.setTextReading("processes", "explorer.exe|render.exe");
    ASSERT_TRUE(first.startQuiet({{&Settings::commandPromptMode, 0}}));
    // opens: the running copy's dialog meanwhile; exit 0: the code of a slam that was done; call: the running copy's
    // console: the running copy's line on the console of a second start typed in one
    struct Case { const char* arguments; DWORD callError; UINT opens; size_t sheets; DWORD exit; const char* call;
        const char* console; };
    const Case cases[] = {
        {"/q", 0, 0, 0, 0, nullptr},
        {"", 0, 0, 1, 0, nullptr},
        {"/options", 0, IDM_OPTIONS, 1, 0, nullptr},
        {"/slam /hibr", 0, 0, 0, 0, "SetSystemPowerState 1 0"},
        {"/slam /remo:SERVER7 /loop", 0, 0, 0, 0, "InitiateSystemShutdownA SERVER7|Windows is about to be Slammed...|5|0|1|2147483648"},
        {"/slam /remo:NOWHERE", ERROR_BAD_NETPATH, 0, 0, ERROR_BAD_NETPATH, "InitiateSystemShutdownA NOWHERE|Windows is about to be Slammed...|5|0|1|2147483648"},
        {"/slam /when:render.exe", 0, 0, 0, 0, "SetTimer main 8 5000"},  // a watch, in the running copy's timers
        {"/slam /poff /when:", 0, 0, 0, 0, "SetTimer main 8 5000"},  // the stored name
        {"/slam /when:absent.exe", 0, 0, 0, ERROR_FILE_NOT_FOUND, nullptr, "absent.exe is not running."},
        {"/slam /poff", 0, IDM_SCHEDULE, 1, 170, nullptr},
        {"/slam /susp /remo:SERVER9 /when:render.exe", 0, IDM_OPTIONS, 1, 170, nullptr,
         "Pelk is busy with an open window (a prompt, Schedule Shutdown or the options): nothing was done."},
        {"/slam /abort", 0, IDM_OPTIONS, 1, 0, nullptr},  // never busy: the watch goes
        {"/time:22:00", 0, 0, 0, ERROR_INVALID_PARAMETER, nullptr,
         "\"/time:22:00\" is a keyword of /slam (Pelk.exe /slam /time:22:00): nothing was done."},
        {"/slam /mins:1440", 0, 0, 0, ERROR_INVALID_PARAMETER, nullptr,
         "\"/mins:1440\" holds no valid time or number (a time 0:00 to 23:59, minutes 0 to 999); nothing was done."},
    };
    auto closeDialogs = [&first] {
        for (HWND dialog : first.windows())
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return waitUntil([&first] { return first.windows().empty(); });
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ASSERT_TRUE(closeDialogs());
        first.clearJournal();
        first.setReading("callError", c.callError);
        if (c.opens)
            first.command(c.opens);
        ASSERT_TRUE(waitUntil([&] { return first.windows().size() == (c.opens ? 1u : 0u); }));
        Pelk second;
        second.setReading("console", c.console != nullptr);
        ASSERT_TRUE(second.start(c.arguments) && second.waitForExit());
        EXPECT_EQ(c.exit ? c.exit : second.imageBase(), second.exitCode());
        EXPECT_TRUE(waitUntil([&] { return first.windows().size() == c.sheets; }) && first.ready());
        const bool watch = std::strstr(c.arguments, "/when") != nullptr;
        EXPECT_EQ(c.call ? Lines{c.call} : Lines{}, watch ? first.timers() : first.powerCalls());
        EXPECT_TRUE(second.journal().empty() && second.read("dPelk.dat").empty());
        if (c.console) {
            EXPECT_EQ("Console Pelk: " + std::string(c.console), first.journal().back());
        }
    }
    // A remote slam's answer comes as its computer answers, under the options opened meanwhile.
    ASSERT_TRUE(closeDialogs());
    first.setReadings({{"callError", 0}, {"remote.SLOW", 0xFFFFFFFE}});
    Pelk remote;
    ASSERT_TRUE(remote.start("/slam /remo:SLOW"));
    ASSERT_TRUE(waitUntil([&] { return first.powerCalls().back().rfind("InitiateSystemShutdownA SLOW|", 0) == 0; }));
    first.post(openOptionsMessage);
    ASSERT_TRUE(waitUntil([&] { return first.windows().size() == 1; }));
    first.setReading("remote.SLOW", 0);
    ASSERT_TRUE(remote.waitForExit());
    EXPECT_EQ(remote.imageBase(), remote.exitCode());
    EXPECT_EQ(1u, first.windows().size());
    ASSERT_TRUE(closeDialogs());
    Settings saved = first.exitAndSaved();
    EXPECT_EQ((Lines{"Suspend", "Remote Restart of NOWHERE failed (error 53)", "Aborted: Log Off when render.exe ends."}),
              first.logTexts());
    EXPECT_EQ(3u, saved.commandAction);
    EXPECT_STREQ("SLOW", saved.remoteComputerName);
    EXPECT_STREQ("render.exe", saved.watchProgram);

    HANDLE starting = CreateMutexA(nullptr, TRUE, "Pelk.exe");
    Pelk late;
    ASSERT_TRUE(late.start("/slam /poff") && late.waitForExit(10000));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), late.exitCode());
    EXPECT_TRUE(late.journal().empty());
    CloseHandle(starting);
}

// "/exit" ends the copy that runs, its options open, having saved; with none it ends at
// once and says so. Restart Manager's end of the session does the same, and Windows is
// asked to start Pelk again quietly.
TEST(Startup, ExitEndsTheRunningCopy)
{
    Pelk none;
    ASSERT_TRUE(none.start("/exit") && none.waitForExit());
    EXPECT_EQ(DWORD(ERROR_NOT_FOUND), none.exitCode());
    EXPECT_EQ("", none.read("dPelk.dat"));
    Pelk first;
    ASSERT_TRUE(first.startQuiet({{&Settings::idleMinutes, 77}}));
    DeleteFileA(first.path("dPelk.dat").c_str());
    first.command(IDM_OPTIONS);
    ASSERT_TRUE(waitUntil([&] { return first.windows().size() == 1; }));
    Pelk second;
    ASSERT_TRUE(second.start("/exit") && second.waitForExit(15000));
    EXPECT_EQ(0u, second.exitCode());
    EXPECT_TRUE(first.waitForExit(1000));
    Settings saved;
    EXPECT_TRUE(first.savedSettings(saved) && saved.idleMinutes == 77);
    EXPECT_TRUE(first.powerCalls().empty());

    Pelk updated;
    ASSERT_TRUE(updated.startQuiet({{&Settings::idleMinutes, 78}}));
    EXPECT_NE(std::string::npos, updated.read("PowerJournal.txt").find("RegisterApplicationRestart /q\r\n"));
    updated.command(IDM_OPTIONS);
    ASSERT_TRUE(waitUntil([&] { return updated.windows().size() == 1; }));
    DeleteFileA(updated.path("dPelk.dat").c_str());
    const LPARAM closeApp = 1;  // ENDSESSION_CLOSEAPP
    EXPECT_TRUE(updated.send(WM_QUERYENDSESSION, 0, closeApp) && updated.send(WM_ENDSESSION, TRUE, closeApp));
    EXPECT_TRUE(updated.waitForExit() && updated.savedSettings(saved) && saved.idleMinutes == 78);
}

// A logged action, then the end of the session, in a folder prepared for each row: the
// log is begun, added to or rotated, the settings are saved and the end agreed to; what
// is in the way of a file leaves the old one whole, and the program goes on.
TEST(Startup, LogAndSaveWithFilesInTheWay)
{
    const std::string header = "Pelk v1.3 Log\r\n  \r\n";
    const std::string full(1000001, 'x');
    // existing: the log before ("-": none); inTheWay: a folder of that name (ending in a backslash)
    // or that file locked (dLog.txt before the start, dPelk.dat before the end), or read; then the log
    // and dLogOld.txt begin so
    struct Case { std::string existing; std::string inTheWay; std::string before, oldLog; };
    const Case cases[] = {
        {"-", "", header, "older"},          {"", "dPelk.new\\", header, "older"}, {full, "dPelk.dat", header, full},
        {full, "dLogOld.txt\\", full, ""}, {"kept", "dLog.txt", "kept", "older"},  {"-", "dLog.txt\\", "", "older"},
        {"-", "DefSet.txt\\", header, "older"},   {"kept", "dLog.txt read", "kept", "older"},  // a reader shares it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inTheWay);
        Pelk pelk;
        if (c.existing != "-")
            writeWhole(pelk.path("dLog.txt"), c.existing);
        writeWhole(pelk.path("dLogOld.txt"), "older");
        pelk.writeSettings({{&Settings::commandPromptMode, 0}, {&Settings::commandAction, 0}});
        const std::string settings = pelk.read("dPelk.dat");
        const std::string name = pelk.path(c.inTheWay.c_str());
        if (!c.inTheWay.empty() && c.inTheWay.back() == '\\') {
            DeleteFileA(name.substr(0, name.size() - 1).c_str());
            CreateDirectoryA(name.c_str(), nullptr);
        }
        const bool reader = c.inTheWay == "dLog.txt read";
        const std::string early = c.inTheWay == "dLog.txt" || reader ? pelk.path("dLog.txt") : "";
        HANDLE lock = CreateFileA(early.c_str(), GENERIC_READ, reader ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(pelk.start("/slam /poff") && pelk.waitForPowerCalls(1));
        if (c.inTheWay == "dPelk.dat")
            lock = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(SendMessageTimeoutA(pelk.window(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, patienceMs, &agreed));
        CloseHandle(lock);
        EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), agreed);
        const bool logBlocked = c.inTheWay.rfind("dLog.txt", 0) == 0 && !reader;
        std::string log = pelk.read("dLog.txt");
        EXPECT_EQ(c.before, log.substr(0, c.before.size()));
        EXPECT_EQ(c.oldLog, pelk.read("dLogOld.txt"));
        std::string entry = log.substr(c.before.size());
        EXPECT_EQ(logBlocked ? "" : " : Log Off\r\n", entry.substr(std::min<size_t>(44, entry.size())));
        EXPECT_EQ(logBlocked ? 0u : 47u + 7 + 2, entry.size());
        Settings saved;
        EXPECT_TRUE(pelk.savedSettings(saved));
        EXPECT_EQ(c.inTheWay.rfind("dPelk", 0) == 0, settings == pelk.read("dPelk.dat"));
        EXPECT_EQ(c.inTheWay == "dPelk.new\\", GetFileAttributesA(pelk.path("dPelk.new").c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}
