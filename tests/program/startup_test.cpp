// The whole program's life and files: the quiet start, one copy at a time, the
// saves at Exit and at the end of the session, where its files live, and the log.
#include <gtest/gtest.h>

#include "pelk.h"
#include "resources/resource.h"

// A quiet start without a settings file runs hidden on the defaults; a second copy,
// whatever its command line, ends at once and touches nothing; Exit saves.
TEST(Startup, OneQuietCopyAndExit)
{
    Pelk first;
    ASSERT_TRUE(first.start("/q") && first.ready());
    EXPECT_FALSE(IsWindowVisible(first.window()));
    EXPECT_TRUE(first.windows().empty());
    for (const char* arguments : {"", "/q", "/slam /poff /kill", "/slam /remo:SERVER7 /loop"}) {
        Pelk second;
        second.writeSettings({{&Settings::commandPromptMode, 0}});
        std::string before = second.read("dPelk.dat");
        ASSERT_TRUE(second.start(arguments) && second.waitForExit()) << arguments;
        EXPECT_EQ(second.imageBase(), second.exitCode());
        EXPECT_TRUE(second.journal().empty() && second.read("dLog.txt").empty()) << arguments;
        EXPECT_EQ(before, second.read("dPelk.dat"));
    }
    ASSERT_TRUE(first.send(WM_COMMAND, IDM_EXIT, 1));  // from a control, not the menu: ignored
    EXPECT_EQ("", first.read("dPelk.dat"));
    EXPECT_STREQ("Mr Computer", first.exitAndSaved().remoteComputerName);
    EXPECT_EQ(first.imageBase(), first.exitCode());
    EXPECT_TRUE(first.journal().empty());
}

// WM_QUERYENDSESSION saves and agrees; a save that cannot complete leaves the old file whole.
TEST(Startup, EndOfSessionSaves)
{
    enum Obstacle { none, folderInTheWay, locked };  // a folder named like the temporary file
    for (Obstacle obstacle : {none, folderInTheWay, locked}) {
        SCOPED_TRACE(obstacle);
        Pelk pelk;
        ASSERT_TRUE(pelk.startQuiet({{&Settings::reserved, 4242}}));
        pelk.writeSettings();
        std::string before = pelk.read("dPelk.dat");
        if (obstacle == folderInTheWay)
            CreateDirectoryA(pelk.path("dPelk.new").c_str(), nullptr);
        HANDLE lock = CreateFileA(pelk.path(obstacle == locked ? "dPelk.dat" : "-").c_str(), GENERIC_READ, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(SendMessageTimeoutA(pelk.window(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &agreed));
        CloseHandle(lock);
        EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), agreed);
        Settings saved;
        ASSERT_TRUE(pelk.savedSettings(saved));
        EXPECT_EQ(obstacle == none ? 4242u : 0u, saved.reserved);
        EXPECT_EQ(obstacle != none, before == pelk.read("dPelk.dat"));
        EXPECT_EQ(obstacle == folderInTheWay, GetFileAttributesA(pelk.path("dPelk.new").c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}

// The event log of a logged action, in a folder prepared for each case.
TEST(Startup, LogEntriesAndRotation)
{
    const std::string header = "Pelk v1.3 Log\r\n  \r\n";
    const std::string full(1000001, 'x');
    struct Case { std::string existing; bool oldLogIsFolder, locked; std::string before, oldLog; };
    const Case cases[] = {  // "-": no log; the copy to dLogOld.txt fails; the log is held open elsewhere
        {"-", false, false, header, "older"}, {"", false, false, header, "older"}, {full, false, false, header, full},
        {full, true, false, full, ""},        {"kept", false, true, "kept", "older"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.existing.size());
        Pelk pelk;
        if (c.existing != "-")
            writeWhole(pelk.path("dLog.txt"), c.existing);
        if (c.oldLogIsFolder)
            CreateDirectoryA(pelk.path("dLogOld.txt").c_str(), nullptr);
        else
            writeWhole(pelk.path("dLogOld.txt"), "older");
        HANDLE lock = CreateFileA(pelk.path(c.locked ? "dLog.txt" : "-").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        pelk.writeSettings({{&Settings::commandPromptMode, 0}});
        ASSERT_TRUE(pelk.start("/slam /poff") && pelk.waitForPowerCalls(1));
        CloseHandle(lock);
        std::string log = pelk.read("dLog.txt");
        EXPECT_EQ(c.before, log.substr(0, c.before.size()));
        EXPECT_EQ(c.oldLog, pelk.read("dLogOld.txt"));
        std::string entry = log.substr(c.before.size());
        EXPECT_EQ(c.locked ? "" : " : Log Off\r\n", entry.substr(std::min<size_t>(44, entry.size())));
        EXPECT_EQ(c.locked ? 0u : 47u + 7 + 2, entry.size());
    }
}
