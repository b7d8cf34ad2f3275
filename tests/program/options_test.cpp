// The whole program's options sheet and About box, driven as the user would:
// tabs, boxes, lists and buttons; observed through the windows, the settings
// file, the journal and the registry.
#include <tuple>

#include "pelk.h"

const int tray = 0, command = 1, idle = 2, battery = 3, misc = 4;

// A plain start opens the options; without a settings file, with the tray icon.
static HWND startWithOptions(Pelk& pelk) { return pelk.start("") ? pelk.waitForDialog() : nullptr; }

// What the settings file holds now.
static Settings saved(Pelk& pelk)
{
    Settings s{};
    pelk.savedSettings(s);
    return s;
}


static BOOL CALLBACK addControl(HWND control, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(control);
    return TRUE;
}

// What the pages show of the settings and in their lists, and a tip on every button, box
// and list of every page but the Tray page's warning seconds; a tip longer than 79
// characters whole.
TEST(Options, PagesShowTheirTextsAndTips)
{
    const std::tuple<int, int, const char*> texts[] = {
        {tray, IDC_TRAY_CLICK, "Schedule"}, {tray, IDC_TRAY_PROMPT_MODE, "Warn"}, {tray, IDC_TRAY_WARN_SECONDS, "5"},
        {command, IDC_COMMAND_ACTION, "Log Off"}, {command, IDC_COMMAND_WARN_SECONDS, "5"},
        {command, IDC_COMMAND_REMOTE_NAME, "Mr Computer"}, {idle, IDC_IDLE_MINUTES, "60"},
        {idle, IDC_IDLE_RESUME_MINUTES, "120"}, {battery, IDC_BATTERY_LOCATION, "Top Right"},
        {battery, IDC_BATTERY_STEP, "5"}, {battery, IDC_BATTERY_CHARGED, "97"}};
    Pelk pelk;
    pelk.setReading("batteryFlag", 128);  // no battery, which the Battery page says
    pelk.writeSettings({{&Settings::idleEnabled, 2}, {&Settings::trayIconEnabled, 2}});  // switches a file may hold
    HWND sheet = startWithOptions(pelk);
    EXPECT_EQ("Pelk 1.4", textOf(sheet));
    RECT frame{}, work{};  // centred where the user looks, on the one monitor here
    GetWindowRect(sheet, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ((work.right - work.left - frame.right + frame.left) / 2, frame.left - work.left);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(showPage(sheet, battery), IDC_BATTERY_NONE)));
    const char* const tabs[] = {"Tray", "Command", "Idle", "Battery", "Misc", "Watch", "Clock"};
    for (int index = 0; index < 7; ++index) {
        HWND page = showPage(sheet, index);
        EXPECT_EQ(tabs[index], textOf(page));
        std::vector<HWND> controls;
        EnumChildWindows(page, addControl, reinterpret_cast<LPARAM>(&controls));
        for (HWND control : controls) {
            char kind[16] = "";
            GetClassNameA(control, kind, sizeof kind);
            const bool group = (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            if (GetParent(control) == page && lstrcmpiA(kind, "Static") != 0 && !(group && lstrcmpiA(kind, "Button") == 0)) {
                EXPECT_NE(control == GetDlgItem(page, IDC_TRAY_WARN_SECONDS), !pelk.tip(page, GetDlgCtrlID(control)).empty())
                    << index << " " << GetDlgCtrlID(control);
            }
        }
    }
    for (const auto& t : texts)
        EXPECT_EQ(std::get<2>(t), textOf(showPage(sheet, std::get<0>(t)), std::get<1>(t))) << std::get<1>(t);
    EXPECT_EQ("Sets Pelk to monitor the computer activity, and to perform the shutdown action after a set time of idleness",
              pelk.tip(showPage(sheet, idle), IDC_IDLE_ENABLED));
    const char* const actions = "Power Off|Restart|Shutdown|Log Off|Suspend|Hibernate";
    EXPECT_EQ("Options|Stat View|On/Off|Schedule", entries(showPage(sheet, tray), IDC_TRAY_CLICK));
    EXPECT_EQ("Just Shutdown|Confirm|Warn", entries(showPage(sheet, command), IDC_COMMAND_PROMPT_MODE));
    EXPECT_EQ(actions + std::string("|Remote Shut|Remote Restart"), entries(showPage(sheet, command), IDC_COMMAND_ACTION));
    EXPECT_EQ(actions, entries(showPage(sheet, idle), IDC_IDLE_ACTION));
    EXPECT_EQ("60|90 (1.5 hrs)|120 (2 hrs)|150 (2.5 hrs)|180 (3 hrs)|210 (3.5 hrs)|240 (4 hrs)|270 (4.5 hrs)|300 (5 hrs)|"
              "330 (5.5 hrs)|360 (6 hrs)|390 (6.5 hrs)|420 (7 hrs)|450 (7.5 hrs)|480 (8 hrs)|510 (8.5 hrs)|540 (9 hrs)|"
              "570 (9.5 hrs)|600 (10 hrs)", entries(showPage(sheet, idle), IDC_IDLE_MINUTES));
    EXPECT_EQ("Top Left|Top Right|Bot Left|Bot Right|Free", entries(showPage(sheet, battery), IDC_BATTERY_LOCATION));
    EXPECT_TRUE(IsDlgButtonChecked(showPage(sheet, idle), IDC_IDLE_ENABLED) &&
                IsDlgButtonChecked(showPage(sheet, tray), IDC_TRAY_ICON));
    press(sheet, IDOK);  // on as they read, and stored as 1
    ASSERT_TRUE(waitForClose(sheet) && pelk.running());
    EXPECT_TRUE(saved(pelk).idleEnabled == 1 && saved(pelk).trayIconEnabled == 1);
}

// The sheet as a user goes through it. Lists change their field at once; the rest is
// read when its page is left, numbers clamped (a huge paste into every edit box is no
// harm), and saved at once. Cancel keeps what changed at once and saves nothing. "Auto
// Start" writes the program's own path, quoted for its space, to the Run key, and
// deletes it when cleared. "About" opens the About box; the tray icon goes and comes.
TEST(Options, PagesSaveWhenLeftAndDriveTheProgram)
{
    const std::string pasted(100000, '9');
    Pelk pelk;
    pelk.setReadings({{"batteryFlag", 0}, {"tickCount", 1000000}});  // a battery, for the Battery page; the idle minute from now
    HWND sheet = startWithOptions(pelk);
    HWND page = showPage(sheet, -1);
    pick(page, IDC_TRAY_PROMPT_MODE, 1);
    SetDlgItemTextA(page, IDC_TRAY_WARN_SECONDS, "77");
    press(sheet, IDCANCEL);
    ASSERT_TRUE(waitForClose(sheet));
    EXPECT_EQ("", pelk.read("dPelk.dat"));
    pelk.post(openOptionsMessage);
    sheet = pelk.waitForDialog();
    ASSERT_TRUE(pelk.send(openOptionsMessage));  // a second request while the sheet shows: nothing
    EXPECT_EQ(1u, pelk.windows().size());
    page = showPage(sheet, tray);
    EXPECT_EQ("Confirm|5", textOf(page, IDC_TRAY_PROMPT_MODE) + "|" + textOf(page, IDC_TRAY_WARN_SECONDS));
    pasteIntoEveryEdit(page, pasted);
    pick(page, IDC_TRAY_CLICK, 1);
    page = showPage(sheet, command);
    EXPECT_EQ(999u, saved(pelk).trayWarnSeconds);
    pasteIntoEveryEdit(page, pasted);
    pick(page, IDC_COMMAND_ACTION, 7);
    EXPECT_TRUE(enabled(page, IDC_COMMAND_REMOTE_NAME));
    page = showPage(sheet, idle);
    EXPECT_EQ(std::string(599, '9'), saved(pelk).remoteComputerName);
    for (const char* timer : {"SetTimer main 8 60000", "KillTimer main 8"}) {  // at once, on each click
        SendDlgItemMessageA(page, IDC_IDLE_ENABLED, BM_CLICK, 0, 0);
        EXPECT_EQ(timer, pelk.timers().back());
    }
    pasteIntoEveryEdit(page, pasted);
    page = showPage(sheet, battery);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_BATTERY_NONE)));
    pasteIntoEveryEdit(page, pasted);
    CheckDlgButton(page, IDC_BATTERY_ON_TOP, BST_UNCHECKED);  // kept, though Misc opens for the first time
    page = showPage(sheet, misc);
    SendDlgItemMessageA(page, IDC_MISC_LOG_EVENTS, BM_CLICK, 0, 0);
    for (const std::string& expected : {"\"" + pelk.path("PelkTest.exe") + "\" /q", std::string()}) {
        SendDlgItemMessageA(showPage(sheet, misc), IDC_MISC_AUTO_START, BM_CLICK, 0, 0);
        showPage(sheet, tray);
        EXPECT_EQ(expected, registryText(HKEY_CURRENT_USER, runKey, "Pelk.exe"));
    }
    page = showPage(sheet, 6);  // the Clock page names the put-off that the minutes typed make
    SetDlgItemTextA(page, IDC_CLOCK_PUT_OFF, "25");
    EXPECT_EQ("minutes (the prompt's +25 min)", textOf(page, IDC_CLOCK_PUT_OFF_NOTE));
    // A time it cannot read keeps the page, with the message; "23.30" is 23:30.
    SendDlgItemMessageA(page, IDC_CLOCK_ENABLED, BM_CLICK, 0, 0);
    SetDlgItemTextA(page, IDC_CLOCK_TIME, "25:00");
    PostMessageA(sheet, PSM_SETCURSEL, tray, 0);
    HWND refusal = pelk.waitForDialog(sheet);
    EXPECT_EQ("\"25:00\" is no time of day: type one from 0:00 to 23:59, such as 23:30.", textOf(refusal, 0xFFFF));
    press(refusal, IDOK);
    ASSERT_TRUE(waitForClose(refusal) && showPage(sheet, -1) == page);
    SetDlgItemTextA(page, IDC_CLOCK_TIME, "23.30");
    showPage(sheet, tray);
    EXPECT_EQ(23 * 60 + 31, saved(pelk).clockMinute);
    SendDlgItemMessageA(showPage(sheet, 6), IDC_CLOCK_ENABLED, BM_CLICK, 0, 0);

    // The Misc page's "About": the version, the folders, and a description of the system to copy.
    press(showPage(sheet, misc), IDC_MISC_ABOUT);
    HWND about = pelk.waitForDialog(sheet);
    EXPECT_EQ("About Pelk", textOf(about));
    std::string dirs = "Location of program:\r\n" + pelk.path("") + "\r\n\r\nWhere program stores user data:\r\n";
    EXPECT_EQ(dirs + pelk.path(""), textOf(about, IDC_ABOUT_INFO));
    EXPECT_EQ("Open Dirs", textOf(about, IDC_ABOUT_ACTION));
    EXPECT_EQ("Opens the directory where the program was installed as well as the directory where the program data is "
              "stored.", pelk.tip(about, IDC_ABOUT_ACTION));
    pick(about, IDC_ABOUT_VIEW, 1);
    std::string system = textOf(about, IDC_ABOUT_INFO);
    EXPECT_EQ(0u, system.find("Windows")) << system;
    EXPECT_EQ("Copy", textOf(about, IDC_ABOUT_ACTION));
    EXPECT_EQ("Copies the description of the system to the clipboard", pelk.tip(about, IDC_ABOUT_ACTION));
    SendDlgItemMessageA(about, IDC_ABOUT_ACTION, BM_CLICK, 0, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(system, static_cast<const char*>(GetClipboardData(CF_TEXT)));
    CloseClipboard();
    ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_ABOUT));  // a second request: nothing
    EXPECT_EQ(2u, pelk.windows().size());
    press(about, IDCANCEL);  // Esc closes it
    ASSERT_TRUE(waitForClose(about));
    press(sheet, IDOK);
    ASSERT_TRUE(waitForClose(sheet));
    Settings s = saved(pelk);
    const uint32_t got[] = {s.trayPromptMode, s.trayClickAction, s.commandWarnSeconds, s.commandAction, s.idleMinutes,
                            s.idleResumeMinutes, s.batteryStepPercent, s.chargedPercent, s.logEvents, s.monitorOnTop};
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 999, 7, 999, 999, 100, 100, 0, 0}), std::vector<uint32_t>(got, got + 10));

    // Without its icon the program ends with the sheet; the monitor brings the icon back.
    pelk.post(openOptionsMessage);
    sheet = pelk.waitForDialog();
    page = showPage(sheet, tray);
    SendDlgItemMessageA(page, IDC_TRAY_ICON, BM_CLICK, 0, 0);
    ASSERT_TRUE(pelk.send(WM_TIMER, trayRetryTimer));  // a retry of the start's add does not bring it back
    EXPECT_EQ("Shell_NotifyIcon delete 2 ", pelk.trayIcon().back());
    EXPECT_FALSE(enabled(page, IDC_TRAY_CLICK) || enabled(page, IDC_TRAY_PROMPT_MODE));
    page = showPage(sheet, battery);
    SendDlgItemMessageA(page, IDC_BATTERY_ENABLED, BM_CLICK, 0, 0);  // the monitor shows, and the icon returns
    EXPECT_NE(nullptr, pelk.waitForDialog(sheet));
    EXPECT_EQ("Shell_NotifyIcon add 7 Pelk 1.4", pelk.trayIcon().back());
    EXPECT_TRUE(enabled(page, IDC_BATTERY_ON_TOP) && !enabled(page, IDC_BATTERY_HOVER));
    SendDlgItemMessageA(page, IDC_BATTERY_ON_CHANGE, BM_CLICK, 0, 0);
    EXPECT_TRUE(!enabled(page, IDC_BATTERY_ON_TOP) && enabled(page, IDC_BATTERY_HOVER));
    page = showPage(sheet, tray);
    SendDlgItemMessageA(page, IDC_TRAY_ICON, BM_CLICK, 0, 0);
    press(sheet, IDCANCEL);
    ASSERT_TRUE(pelk.waitForExit());
    EXPECT_EQ(pelk.imageBase(), pelk.exitCode());
}

