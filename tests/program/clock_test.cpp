// The clock schedule and the put-off, driven by a script's words and the readings' local
// time: each check is reached by posting its timer, so no test waits for a clock minute.
#include <algorithm>
#include <cstddef>

#include "pelk.h"

static bool timerSet(Pelk& pelk, const std::string& line)
{
    const Lines timers = pelk.timers();
    return std::find(timers.begin(), timers.end(), line) != timers.end();
}

// "/time" arms a one-off, which the tooltip names and the minute's check performs with
// the Warn prompt (and its sound); put off, it comes back 10 minutes later. A clock moved
// past a one-off drops it. "/mins" arms the countdown and "/abort" cancels what is armed.
TEST(Clock, AtATimePutOffAndAbort)
{
    Pelk pelk;
    pelk.setReadings({{"localTime", 2026120823292}, {"tickCount", 1000000}, {"systemTime", 133000000000000000}});  // Tuesday, 23:29
    pelk.writeSettings({{&Settings::trayPromptMode, 2}, {&Settings::commandPromptMode, 0}});
    std::string record = pelk.read("dPelk.dat");
    record[settingsHeaderSize + offsetof(Settings, warningSound)] = 1;
    writeWhole(pelk.path("dPelk.dat"), record);
    ASSERT_TRUE(pelk.start("/slam /poff /time:23:30") && pelk.ready());
    EXPECT_TRUE(timerSet(pelk, "SetTimer main 8 60000"));
    ASSERT_TRUE(pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE));
    EXPECT_EQ("Shell_NotifyIcon modify 7 Log Off at 23:30", pelk.trayIcon().back());
    pelk.setReadings({{"localTime", 2026120823302}, {"tickCount", 1060000}});
    pelk.timer(agendaTimer);
    HWND prompt = pelk.waitForDialog();
    ASSERT_NE(nullptr, prompt);
    EXPECT_EQ("PlaySound SystemExclamation", pelk.journal().back());
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(prompt, IDC_PROMPT_PUT_OFF)) && textOf(prompt, IDC_PROMPT_PUT_OFF) == "+10 min");
    RECT no, putOff, inside;  // as large as No, in its font, below it within the prompt
    GetWindowRect(GetDlgItem(prompt, IDCANCEL), &no);
    GetWindowRect(GetDlgItem(prompt, IDC_PROMPT_PUT_OFF), &putOff);
    GetClientRect(prompt, &inside);
    MapWindowPoints(prompt, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    EXPECT_TRUE(putOff.left == no.left && putOff.right == no.right && putOff.bottom - putOff.top == no.bottom - no.top &&
                putOff.top > no.bottom && putOff.bottom < inside.bottom);
    EXPECT_EQ(SendDlgItemMessageA(prompt, IDCANCEL, WM_GETFONT, 0, 0), SendDlgItemMessageA(prompt, IDC_PROMPT_PUT_OFF, WM_GETFONT, 0, 0));
    press(prompt, IDC_PROMPT_PUT_OFF);
    ASSERT_TRUE(waitForClose(prompt) && pelk.ready());
    EXPECT_EQ("SetTimer main 8 600000", pelk.timers().back());
    ASSERT_TRUE(pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE));
    EXPECT_EQ("Shell_NotifyIcon modify 7 10 Mns until Log Off", pelk.trayIcon().back());
    EXPECT_TRUE(pelk.powerCalls().empty());
    EXPECT_EQ(Lines{"Log Off at 23:30 put off 10 min"}, pelk.logTexts());
    pelk.setReadings({{"localTime", 2026120823402}, {"tickCount", 1660000}});
    pelk.timer(agendaTimer);
    press(prompt = pelk.waitForDialog(), IDOK);
    ASSERT_TRUE(waitForClose(prompt) && pelk.waitForPowerCalls(1));
    EXPECT_EQ(Lines{"ExitWindowsEx 0 2147483648"}, pelk.powerCalls());

    pelk.clearJournal();
    Pelk mins, clock;  // handed over: the countdown of "/mins", and a one-off for tomorrow
    ASSERT_TRUE(mins.start("/slam /loop /mins:90") && mins.waitForExit() && clock.start("/slam /time:7:00") &&
                clock.waitForExit());
    ASSERT_TRUE(pelk.send(trayCallbackMessage, 0, WM_MOUSEMOVE));
    EXPECT_EQ("Shell_NotifyIcon modify 7 1 Hrs 30 Mns until Restart, Restart tomorrow at 7:00", pelk.trayIcon().back());
    for (DWORD exit : {mins.imageBase(), static_cast<DWORD>(ERROR_NOT_FOUND)}) {
        Pelk abort;
        ASSERT_TRUE(abort.start("/slam /abort") && abort.waitForExit());
        EXPECT_EQ(exit, abort.exitCode());
    }
    EXPECT_TRUE(timerSet(pelk, "KillTimer main 8"));
    const Lines icon = pelk.trayIcon();  // the first abort says what became of the clock time, the second why nothing
    EXPECT_EQ((Lines{"Shell_NotifyIcon modify 16 Aborted: 1 Hrs 30 Mns until Restart; Restart tomorrow at 7:00.", "Shell_NotifyIcon modify 16 Nothing was armed to abort."}),
              Lines(icon.end() - std::min<size_t>(2, icon.size()), icon.end()));
    // A one-off for tomorrow, and the clock set past it (not a zone's hour): dropped, not performed late.
    Pelk late;
    ASSERT_TRUE(late.start("/slam /poff /time:0:15") && late.waitForExit());
    pelk.setReadings({{"localTime", 2026120900203}, {"systemTime", 133000024000000000}});
    ASSERT_TRUE(pelk.send(WM_TIMECHANGE));
    EXPECT_EQ("KillTimer main 8", pelk.timers().back());
    EXPECT_TRUE(pelk.powerCalls().empty());
    EXPECT_EQ("Log Off at 0:15 missed: the clock was set past it", pelk.logTexts().back());
}
