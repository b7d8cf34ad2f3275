// The whole program's life and files: the quiet start, one copy at a time, the
// saves at Exit and at the end of the session, where its files live, and the log.
#include "pelk.h"

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

// A logged action, then the end of the session, in a folder prepared for each row: the
// log is begun, added to or rotated, the settings are saved and the end agreed to; what
// is in the way of a file leaves the old one whole, and the program goes on.
TEST(Startup, LogAndSaveWithFilesInTheWay)
{
    const std::string header = "Pelk v1.3 Log\r\n  \r\n";
    const std::string full(1000001, 'x');
    // existing: the log before ("-": none); inTheWay: a folder of that name (ending in a backslash)
    // or that file locked (dLog.txt before the start, dPelk.dat before the end); then the log
    // and dLogOld.txt begin so
    struct Case { std::string existing; std::string inTheWay; std::string before, oldLog; };
    const Case cases[] = {
        {"-", "", header, "older"},          {"", "dPelk.new\\", header, "older"}, {full, "dPelk.dat", header, full},
        {full, "dLogOld.txt\\", full, ""}, {"kept", "dLog.txt", "kept", "older"},  {"-", "dLog.txt\\", "", "older"},
        {"-", "DefSet.txt\\", header, "older"},
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
        const char* early = c.inTheWay == "dLog.txt" ? name.c_str() : "";
        HANDLE lock = CreateFileA(early, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(pelk.start("/slam /poff") && pelk.waitForPowerCalls(1));
        if (c.inTheWay == "dPelk.dat")
            lock = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(SendMessageTimeoutA(pelk.window(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &agreed));
        CloseHandle(lock);
        EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), agreed);
        const bool logBlocked = c.inTheWay.rfind("dLog.txt", 0) == 0;
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
