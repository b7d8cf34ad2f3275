// The whole program's life and files: the quiet start, one copy at a time, the
// saves at Exit and at the end of the session, where its files live, and the log.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "pelk.h"
#include "resources/resource.h"

namespace {

TEST(Startup, QuietStartRunsHiddenAndExitSaves)
{
    for (uint32_t trayIcon : {0u, 1u}) {
        SCOPED_TRACE(trayIcon);
        Pelk pelk;
        pelk.writeSettings([trayIcon](Settings& s) { s.trayIconEnabled = trayIcon; });
        DeleteFileA(pelk.path("dPelk.dat").c_str());  // no file: the defaults
        ASSERT_TRUE(pelk.start("/q"));
        ASSERT_TRUE(pelk.ready());
        EXPECT_FALSE(IsWindowVisible(pelk.window()));
        EXPECT_TRUE(pelk.windows().empty());
        pelk.post(WM_COMMAND, IDM_EXIT, 1);  // from a control, not the menu: ignored
        ASSERT_TRUE(pelk.ready());
        EXPECT_TRUE(pelk.running());
        EXPECT_EQ("", pelk.read("dPelk.dat"));

        pelk.command(IDM_EXIT);
        ASSERT_TRUE(pelk.waitForExit());
        EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
        Settings saved;
        ASSERT_TRUE(pelk.savedSettings(saved));
        EXPECT_STREQ("Mr Computer", saved.remoteComputerName);
        EXPECT_TRUE(pelk.journal().empty());
    }
}

TEST(Startup, SecondCopyEndsAtOnceAndChangesNothing)
{
    Pelk first;
    ASSERT_TRUE(first.startQuiet([](Settings& s) { s.commandAction = 3; }));
    for (const char* arguments : {"", "/q", "/slam /poff /kill", "/slam /remo:SERVER7 /loop"}) {
        SCOPED_TRACE(arguments);
        Pelk second;
        second.writeSettings([](Settings& s) { s.commandPromptMode = 0; });
        std::string before = second.read("dPelk.dat");
        ASSERT_TRUE(second.start(arguments));
        ASSERT_TRUE(second.waitForExit());
        EXPECT_EQ(second.imageBase(), second.exitCode());
        EXPECT_TRUE(second.journal().empty());
        EXPECT_EQ("", second.read("dLog.txt"));
        EXPECT_EQ(before, second.read("dPelk.dat"));
    }
    EXPECT_TRUE(first.journal().empty());
    first.command(IDM_EXIT);
    ASSERT_TRUE(first.waitForExit());
    Settings saved;
    ASSERT_TRUE(first.savedSettings(saved));
    EXPECT_EQ(3u, saved.commandAction);
    EXPECT_EQ(0u, saved.forceAction);
}

// WM_QUERYENDSESSION saves and agrees; a save that cannot complete leaves the old file whole.
TEST(Startup, EndOfSessionSaves)
{
    struct Case {
        const char* name;
        bool folderInTheWay;  // a folder named like the temporary file
        bool locked;          // another program holds dPelk.dat open
        bool saved;
    };
    const Case cases[] = {
        {"plain save", false, false, true},
        {"temporary file cannot be made", true, false, false},
        {"settings file locked", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pelk pelk;
        ASSERT_TRUE(pelk.startQuiet([](Settings& s) { s.reserved = 4242; }));
        pelk.writeSettings([](Settings& s) { s.idleMinutes = 77; });
        std::string before = pelk.read("dPelk.dat");
        if (c.folderInTheWay)
            CreateDirectoryA(pelk.path("dPelk.new").c_str(), nullptr);
        HANDLE lock = c.locked ? CreateFileA(pelk.path("dPelk.dat").c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(SendMessageTimeoutA(pelk.window(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &agreed));
        CloseHandle(lock);
        EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), agreed);
        Settings saved;
        ASSERT_TRUE(pelk.savedSettings(saved));
        EXPECT_EQ(c.saved ? 4242u : 0u, saved.reserved);
        EXPECT_EQ(!c.saved, before == pelk.read("dPelk.dat"));
        EXPECT_EQ(c.folderInTheWay, GetFileAttributesA(pelk.path("dPelk.new").c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}

// DefSet.txt beside the program moves the data to the application-data folder; the
// settings are read from there, else from beside the program, and saved there.
TEST(Startup, DefSetMovesTheDataToApplicationData)
{
    char appData[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE));
    const std::string dataDir = std::string(appData) + "\\Orvenlit\\Pelk\\";
    const std::string dallop = std::string(appData) + "\\Dallop\\Pelk\\";
    removeTree(dataDir);
    removeTree(dallop);
    for (bool inDataDir : {false, true}) {
        SCOPED_TRACE(inDataDir ? "settings in the data folder" : "settings beside the program");
        Pelk pelk;
        writeWhole(pelk.path("DefSet.txt"), "");
        pelk.writeSettings([](Settings& s) { s.idleMinutes = 222; });
        if (inDataDir)
            writeWhole(dataDir + "dPelk.dat", pelk.read("dPelk.dat"));
        ASSERT_TRUE(pelk.startQuiet([](Settings& s) { s.idleMinutes = 111; }));
        pelk.command(IDM_EXIT);
        ASSERT_TRUE(pelk.waitForExit());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dallop.c_str()));
        std::string saved = readWhole(dataDir + "dPelk.dat");
        ASSERT_EQ(settingsFileSize, saved.size());
        Settings s{};
        decodeSettingsFile(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), s);
        EXPECT_EQ(inDataDir ? 222u : 111u, s.idleMinutes);
        DeleteFileA((dataDir + "dPelk.dat").c_str());
    }
}

// The event log of a logged action, in a data folder prepared for each case.
TEST(Startup, LogEntriesAndRotation)
{
    const std::string full(1000001, 'x');
    struct Case {
        const char* name;
        std::string existing;  // "-": no log
        bool oldLogIsFolder;   // the copy to dLogOld.txt fails
        bool locked;
        std::string log;       // what dLog.txt holds before its new entry ("H": the header)
        std::string oldLog;
    };
    const Case cases[] = {
        {"new log", "-", false, false, "H", "older"},
        {"empty log", "", false, false, "H", "older"},
        {"1,000,000 bytes", std::string(1000000, 'x'), false, false, std::string(1000000, 'x'), "older"},
        {"1,000,001 bytes rotate", full, false, false, "H", full},
        {"rotation that cannot copy", full, true, false, full, ""},
        {"log held open elsewhere", "kept", false, true, "kept", "older"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pelk pelk;
        if (c.existing != "-")
            writeWhole(pelk.path("dLog.txt"), c.existing);
        if (c.oldLogIsFolder)
            CreateDirectoryA(pelk.path("dLogOld.txt").c_str(), nullptr);
        else
            writeWhole(pelk.path("dLogOld.txt"), "older");
        HANDLE lock = c.locked ? CreateFileA(pelk.path("dLog.txt").c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        pelk.writeSettings([](Settings& s) {
            s.trayIconEnabled = 0;
            s.commandPromptMode = 0;
        });
        ASSERT_TRUE(pelk.start("/slam /poff"));
        ASSERT_TRUE(pelk.ready());
        CloseHandle(lock);
        EXPECT_EQ(Lines{"ExitWindowsEx 0 0"}, pelk.powerCalls());
        std::string log = pelk.read("dLog.txt");
        std::string before = c.log == "H" ? "Pelk v1.3 Log\r\n  \r\n" : c.log;
        EXPECT_EQ(before, log.substr(0, before.size()));
        EXPECT_EQ(c.oldLog, pelk.read("dLogOld.txt"));
        if (c.locked)
            continue;
        std::string entry = log.substr(before.size());
        ASSERT_EQ(47u + 7 + 2, entry.size());
        EXPECT_EQ(" : Log Off\r\n", entry.substr(44));
        EXPECT_EQ(' ', entry[2]);  // "HH mm ss"
        EXPECT_EQ(' ', entry[5]);
    }
}

}  // namespace
