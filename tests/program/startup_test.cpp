// The whole program: start-up, single instance, Exit and the end-of-session save.
#include <gtest/gtest.h>

#include "pelk_process.h"
#include "resources/resource.h"

namespace {

TEST(Startup, StartsHiddenAndExitSavesSettings)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) { s.trayIconEnabled = 0; s.idleMinutes = 77; });
    DeleteFileA(pelk.path("dPelk.dat").c_str());
    ASSERT_TRUE(pelk.start("/q"));
    HWND window = pelk.waitForWindow();
    ASSERT_NE(nullptr, window);
    pause(500);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(pelk.running());
    EXPECT_FALSE(pelk.fileExists("dPelk.dat"));

    pelk.command(IDM_EXIT);
    ASSERT_TRUE(pelk.waitForExit(10000));
    EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
    std::string saved = pelk.readFile("dPelk.dat");
    ASSERT_EQ(settingsFileSize, saved.size());
    EXPECT_EQ("Pelk1300", saved.substr(0, 8));
    Settings s{};
    decodeSettingsFile(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), s);
    EXPECT_STREQ("Mr Computer", s.remoteComputerName);  // no file: the defaults
    EXPECT_FALSE(pelk.fileExists("dPelk.new"));
}

TEST(Startup, ExitFromAControlIsIgnored)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) { s.trayIconEnabled = 0; });
    ASSERT_TRUE(pelk.start("/q"));
    ASSERT_NE(nullptr, pelk.waitForWindow());
    pelk.post(WM_COMMAND, IDM_EXIT, 1);
    EXPECT_FALSE(pelk.waitForExit(1500));
    pelk.command(IDM_EXIT);
    EXPECT_TRUE(pelk.waitForExit(10000));
}

TEST(Startup, SecondCopyEndsAtOnceAndChangesNothing)
{
    PelkProcess first;
    first.writeSettings([](Settings& s) { s.trayIconEnabled = 0; });
    ASSERT_TRUE(first.start("/q"));
    ASSERT_NE(nullptr, first.waitForWindow());

    const char* commandLines[] = {"", "/q", "/slam /logo /kill"};
    for (const char* arguments : commandLines) {
        SCOPED_TRACE(arguments);
        PelkProcess second;
        second.writeSettings([](Settings& s) { s.trayIconEnabled = 0; s.commandPromptMode = 0; });
        std::string before = second.readFile("dPelk.dat");
        ASSERT_TRUE(second.start(arguments));
        ASSERT_TRUE(second.waitForExit(10000));
        EXPECT_EQ(second.imageBase(), second.exitCode());
        EXPECT_TRUE(second.journal().empty());
        EXPECT_FALSE(second.fileExists("dLog.txt"));
        EXPECT_EQ(before, second.readFile("dPelk.dat"));
    }
    EXPECT_TRUE(first.running());
    first.command(IDM_EXIT);
    EXPECT_TRUE(first.waitForExit(10000));
}

TEST(Startup, EndOfSessionSavesAndAgrees)
{
    PelkProcess pelk;
    pelk.writeSettings([](Settings& s) { s.trayIconEnabled = 0; s.reserved = 4242; });
    ASSERT_TRUE(pelk.start("/q"));
    HWND window = pelk.waitForWindow();
    ASSERT_NE(nullptr, window);
    DeleteFileA(pelk.path("dPelk.dat").c_str());
    DWORD_PTR agreed = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 10000, &agreed));
    EXPECT_EQ(static_cast<DWORD_PTR>(TRUE), agreed);
    std::string saved = pelk.readFile("dPelk.dat");
    ASSERT_EQ(settingsFileSize, saved.size());
    Settings s{};
    decodeSettingsFile(reinterpret_cast<const unsigned char*>(saved.data()), saved.size(), s);
    EXPECT_EQ(4242u, s.reserved);
}

}  // namespace
