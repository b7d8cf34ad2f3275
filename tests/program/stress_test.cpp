// The whole program under long and hostile use. make test runs each briefly;
// make stress (PELK_STRESS=1) runs them at their full length.
#include <cstdlib>
#include <random>

#include "pelk.h"

static int rounds(int full, int brief) { return std::getenv("PELK_STRESS") ? full : brief; }

// Saves again and again, cut off at random moments: dPelk.dat is always the whole old
// record or the whole new one, and the next start leaves no temporary file.
TEST(Stress, SavesCutOffByPowerFailures)
{
    Pelk pelk;
    std::mt19937 random(7);
    for (int round = 0; round < rounds(500, 10); ++round) {
        pelk.writeSettings({{&Settings::commandPromptMode, 0}});
        ASSERT_TRUE(pelk.start("/slam /shut /kill"));  // the new record: Power Off, forced
        ASSERT_NE(nullptr, pelk.window());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(pelk.path("dPelk.new").c_str()));
        for (int save = 0; save < 300; ++save)
            pelk.post(WM_QUERYENDSESSION);
        Sleep(random() % 40);
        pelk.kill();
        Settings s;
        ASSERT_TRUE(pelk.savedSettings(s)) << round;
        EXPECT_TRUE(s.commandAction == 3 ? s.forceAction == 0 : s.commandAction == 0 && s.forceAction == 1) << round;
    }
}

// Weeks of work in compressed form: the process's memory stays flat after a warm-up.
// The program watch looks for a program that runs throughout; idle checks take readings.
TEST(Stress, WeeksOfWorkKeepTheMemoryFlat)
{
    Pelk pelk;
    pelk.setReading("batteryFlag", 0);
    pelk.setTextReading("processes", "explorer.exe|render.exe");
    ASSERT_TRUE(pelk.startQuiet({{&Settings::monitorEnabled, 1}, {&Settings::hoverShowsMonitor, 1},
                                 {&Settings::trayPromptMode, 1}, {&Settings::trayClickAction, 2},
                                 {&Settings::quietCpuPercent, 50}, {&Settings::quietNetworkKBps, 100}}));
    HWND monitor = pelk.waitForDialog();  // "Always On" from the start
    pelk.post(openOptionsMessage);
    HWND sheet = pelk.waitForDialog(monitor);
    SetDlgItemTextA(showPage(sheet, 5), IDC_WATCH_PROGRAM, "render.exe");
    SendDlgItemMessageA(showPage(sheet, 5), IDC_WATCH_ARM, BM_CLICK, 0, 0);
    press(sheet, IDCANCEL);
    ASSERT_TRUE(waitForClose(sheet));
    size_t warm = 0;
    for (int cycle = 0; cycle < rounds(100, 2); ++cycle) {  // a hundredth of the whole in each cycle
        for (int i = 0; i < 1000; ++i) {
            pelk.send(WM_TIMER, batteryPollTimer);
            pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE);
            pelk.send(WM_TIMER, agendaTimer);
            if (i % 10 == 0)
                pelk.send(WM_TIMER, agendaTimer);
        }
        for (int i = 0; i < 5; ++i) {  // the monitor off and on
            pelk.send(trayCallbackMessage, 0, WM_LBUTTONDOWN);
            ASSERT_TRUE(waitForClose(monitor));
            pelk.send(trayCallbackMessage, 0, WM_LBUTTONDOWN);
            // Asked again while its thread, which ends just after its window, still ran.
            ASSERT_TRUE(waitUntil([&] {
                pelk.post(showMonitorMessage);
                return (monitor = pelk.waitForDialog(nullptr, 200)) != nullptr;
            }));
        }
        // 20 prompts, 2 option sheets and 2 About boxes, each closed with its button.
        struct Open { UINT message; WPARAM command; int times, closer; };
        const Open opens[] = {
            {WM_COMMAND, IDM_RESTART, 20, IDCANCEL}, {openOptionsMessage, 0, 2, IDCANCEL}, {WM_COMMAND, IDM_ABOUT, 2, IDOK}};
        for (const Open& open : opens) {
            for (int i = 0; i < open.times; ++i) {
                pelk.post(open.message, open.command);
                HWND window = pelk.waitForDialog(monitor);
                press(window, open.closer);
                ASSERT_TRUE(waitForClose(window));
            }
        }
        warm = cycle == 0 ? pelk.memory() : warm;
    }
    EXPECT_LT(pelk.memory(), warm + 1024 * 1024) << "from " << warm;
    std::printf("memory after the warm-up %zu bytes, at the end %zu bytes\n", warm, pelk.memory());
}

// Settings files of every length up to 1,100 bytes, of random content, some behind a
// right header: the program starts, and saves a whole file.
TEST(Stress, SettingsFilesOfAnyLengthAndContent)
{
    std::mt19937 random(11);
    for (size_t length = 0; length <= 1100; length += rounds(1, 157)) {
        Pelk pelk;
        std::string bytes(length, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        if (length % 2 == 0)
            bytes.replace(0, std::min<size_t>(8, length), std::string("Pelk1300").substr(0, std::min<size_t>(8, length)));
        writeWhole(pelk.path("dPelk.dat"), bytes);
        ASSERT_TRUE(pelk.start("/q") && pelk.ready()) << length;
        ASSERT_TRUE(pelk.send(WM_QUERYENDSESSION)) << length;
        Settings s;
        EXPECT_TRUE(pelk.savedSettings(s)) << length << ", new " << pelk.read("dPelk.new").size() << ", up " << pelk.running();
    }
}

// A program folder near the length limit of a path: actions go ahead, nothing is lost.
TEST(Stress, ProgramFolderNearThePathLimit)
{
    Pelk pelk;
    // 243 characters: PowerJournal.txt still fits beside the program.
    std::string deep = pelk.path("") + std::string(242 - pelk.path("").size(), 'd') + "\\";
    CreateDirectoryA(deep.c_str(), nullptr);
    Pelk deepPelk("PelkTest.exe", deep);
    CopyFileA(pelk.path("PelkTest.exe").c_str(), deepPelk.path("PelkTest.exe").c_str(), FALSE);
    deepPelk.writeSettings({{&Settings::commandPromptMode, 0}});
    ASSERT_TRUE(deepPelk.start("/slam /poff"));
    EXPECT_TRUE(deepPelk.waitForPowerCalls(1));
    EXPECT_EQ(3u, deepPelk.exitAndSaved().commandAction);
}
