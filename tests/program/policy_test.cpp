// Group Policy as an administrator sets it: values in the registry, then the refresh
// that Windows announces to every window.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <regex>

#include "pelk.h"
#include "settings/policy_rules.h"

static void setPolicy(HKEY root, const char* name, DWORD value)
{
    SHSetValueA(root, policyKey, name, REG_DWORD, &value, sizeof value);
}

static bool has(const Lines& lines, const char* line) { return std::count(lines.begin(), lines.end(), line) > 0; }

static void announcePolicyChange()
{
    DWORD_PTR answer;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 1, reinterpret_cast<LPARAM>("Policy"), SMTO_ABORTIFHUNG,
                        patienceMs, &answer);
}

// The machine's start with Windows, for every user, goes on only under the Auto Start
// policy; the least warning of a policy holds for the tray menu's prompt too.
TEST(Policy, MachineStartFollowsAutoStart)
{
    Pelk off;
    ASSERT_TRUE(off.start("/q:policy") && off.waitForExit());
    EXPECT_EQ("", off.read("dPelk.dat"));
    setPolicy(HKEY_CURRENT_USER, "AutoStart", 1);
    setPolicy(HKEY_CURRENT_USER, "PromptSeconds", 256);
    Pelk on;
    on.writeSettings({{&Settings::trayPromptMode, 2}});
    ASSERT_TRUE(on.start("/q:policy") && on.ready());
    EXPECT_TRUE(on.windows().empty());
    on.command(IDM_POWER_OFF);
    HWND prompt = on.waitForDialog();
    EXPECT_TRUE(has(on.timers("dialog"), "SetTimer dialog 2 256000"));
    press(prompt, IDCANCEL);
    ASSERT_TRUE(waitForClose(prompt));
    on.exitAndSaved();
    SHDeleteKeyA(HKEY_CURRENT_USER, policyKey);
    SHDeleteValueA(HKEY_CURRENT_USER, runKey, "Pelk.exe");
}

// The machine's value wins over the user's; what a policy sets greys in the open options
// with the administrator's tip and acts at once, a slam it forbids is refused, and the
// settings file keeps the user's own values, which come back when the policy goes.
TEST(Policy, SetGreysRefusesAndGoes)
{
    Pelk pelk;
    pelk.setReading("tickCount", 1000000);  // the idle shutdown's minute counts from the policy's refresh
    ASSERT_TRUE(pelk.startQuiet({{&Settings::idleMinutes, 15}, {&Settings::idleEnabled, 0}}));
    pelk.command(IDM_OPTIONS);
    HWND sheet = pelk.waitForDialog();
    HWND idle = showPage(sheet, 2);
    ASSERT_TRUE(enabled(idle, IDC_IDLE_ENABLED));
    setPolicy(HKEY_CURRENT_USER, "IdleShutdown", 1);
    setPolicy(HKEY_CURRENT_USER, "IdleMinutes", 50);
    setPolicy(HKEY_LOCAL_MACHINE, "IdleMinutes", 40);
    setPolicy(HKEY_LOCAL_MACHINE, "NoCommandLineActions", 1);
    setPolicy(HKEY_CURRENT_USER, "NoForce", 1);
    setPolicy(HKEY_CURRENT_USER, "HideClockPage", 1);
    announcePolicyChange();
    EXPECT_FALSE(enabled(idle, IDC_IDLE_ENABLED) || enabled(idle, IDC_IDLE_MINUTES));
    EXPECT_EQ("An administrator has set this through Group Policy", pelk.tip(idle, IDC_IDLE_ENABLED));
    EXPECT_TRUE(enabled(showPage(sheet, 4), IDC_MISC_LOG_EVENTS));
    press(sheet, IDOK);
    ASSERT_TRUE(waitForClose(sheet));
    EXPECT_TRUE(has(pelk.timers(), "SetTimer main 8 60000"));
    Settings saved;
    EXPECT_TRUE(pelk.savedSettings(saved) && saved.idleMinutes == 15 && saved.idleEnabled == 0);
    pelk.command(IDM_OPTIONS);
    sheet = pelk.waitForDialog();
    EXPECT_EQ("40", textOf(showPage(sheet, 2), IDC_IDLE_MINUTES));
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    EXPECT_EQ(6, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));  // no Clock page
    press(sheet, IDCANCEL);
    ASSERT_TRUE(waitForClose(sheet));
    pelk.command(IDM_SCHEDULE);
    HWND schedule = pelk.waitForDialog();
    EXPECT_FALSE(enabled(schedule, IDC_SCHEDULE_FORCE) || IsDlgButtonChecked(schedule, IDC_SCHEDULE_FORCE));
    press(schedule, IDCANCEL);
    ASSERT_TRUE(waitForClose(schedule));

    Pelk slam;
    slam.setReading("console", 1);
    ASSERT_TRUE(slam.start("/slam /hibr") && slam.waitForExit());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DISABLED_BY_POLICY), slam.exitCode());
    EXPECT_EQ("Console Pelk: an administrator has switched off actions from the command line: nothing was done.",
              pelk.journal().back());
    EXPECT_TRUE(pelk.powerCalls().empty());

    // Changed and then gone while the pages show: greyed with the policy's values, then
    // enabled with the user's own, which OK keeps.
    pelk.command(IDM_OPTIONS);
    sheet = pelk.waitForDialog();
    HWND tray = showPage(sheet, 0);
    idle = showPage(sheet, 2);
    setPolicy(HKEY_CURRENT_USER, "PromptSeconds", 512);
    announcePolicyChange();
    EXPECT_TRUE(textOf(tray, IDC_TRAY_WARN_SECONDS) == "512" && !enabled(tray, IDC_TRAY_WARN_SECONDS));
    SHDeleteKeyA(HKEY_CURRENT_USER, policyKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, policyKey);
    announcePolicyChange();
    EXPECT_TRUE(enabled(idle, IDC_IDLE_ENABLED) && !enabled(idle, IDC_IDLE_MINUTES) && !IsDlgButtonChecked(idle, IDC_IDLE_ENABLED));
    EXPECT_EQ("15", textOf(idle, IDC_IDLE_MINUTES));
    EXPECT_TRUE(textOf(tray, IDC_TRAY_WARN_SECONDS) == "5" && enabled(tray, IDC_TRAY_WARN_SECONDS));
    EXPECT_NE("An administrator has set this through Group Policy", pelk.tip(idle, IDC_IDLE_ENABLED));
    press(sheet, IDOK);
    ASSERT_TRUE(waitForClose(sheet));
    const Settings kept = pelk.exitAndSaved();
    EXPECT_TRUE(kept.idleMinutes == 15 && kept.idleEnabled == 0 && kept.trayWarnSeconds == 5) << kept.idleMinutes;
    EXPECT_TRUE(has(pelk.timers(), "KillTimer main 8"));
}

// A task of the system account at the administrator's time of day, in session 0 with no
// notification area: it acts where nobody is logged on, and leaves it to the user's Pelk,
// which warns and offers the put-off, where someone is.
TEST(Policy, ATaskOfTheSystemAccount)
{
    for (const char* name : {"ClockSchedule", "ClockHour", "ClockMinute", "ClockAction"})
        setPolicy(HKEY_LOCAL_MACHINE, name, name[5] == 'S' ? 1 : name[5] == 'H' ? 22 : 0);
    for (int user : {1, 0}) {
        Pelk task;
        task.writeSettings({{&Settings::commandPromptMode, 0}});
        task.setReadings({{"trayAdd", 2}, {"sessionOwn", 0}, {"sessionConsole", 1}, {"userElsewhere", user}});
        ASSERT_TRUE(task.start("/slam /poweroff"));
        if (user) {  // told in a balloon, had there been a notification area
            ASSERT_TRUE(waitUntil([&] { return task.read("PowerJournal.txt").find("SetTimer main 11") != std::string::npos; }));
            task.timer(slamEndTimer);
            ASSERT_TRUE(task.waitForExit());
            EXPECT_EQ(DWORD(ERROR_CANCELLED), task.exitCode());
            EXPECT_TRUE(task.powerCalls().empty());
        } else {
            ASSERT_TRUE(task.waitForPowerCalls(1));
            EXPECT_EQ(0u, task.powerCalls().front().rfind("ExitWindowsEx", 0)) << task.powerCalls().front();
        }
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, policyKey);
}

// The Windows event log has its entries whatever the user's log: the policy at start and when
// it changes, an action and its failure, a refused command line; none while NoEventLog is set.
TEST(Policy, EventLogEntriesUnlessSwitchedOff)
{
    setPolicy(HKEY_CURRENT_USER, "NoForce", 1);
    Pelk pelk, refused;
    pelk.setReading("callError", ERROR_ACCESS_DENIED);
    ASSERT_TRUE(pelk.startQuiet({{&Settings::trayPromptMode, 0}, {&Settings::logEvents, 0}}));
    ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_SUSPEND));
    ASSERT_TRUE(refused.start("/slam /bogus") && refused.waitForExit());  // refused by the copy that runs
    std::string events;
    for (const std::string& line : pelk.events())
        events += line + "\n";
    EXPECT_TRUE(std::regex_match(events, std::regex("ReportEvent Pelk 4 1200 NoForce=1\nReportEvent Pelk 4 1000 Suspend\n"
        "ReportEvent Pelk 1 1001 Suspend\\|5\\|.+\nReportEvent Pelk 2 1003 .+ /slam /bogus\\|\"/bogus\" is no keyword; nothing was done.\n")))
        << events;
    pelk.clearJournal();
    setPolicy(HKEY_CURRENT_USER, "NoEventLog", 1);
    announcePolicyChange();
    ASSERT_TRUE(pelk.send(WM_COMMAND, IDM_SUSPEND));
    EXPECT_EQ(Lines{"SetSystemPowerState 1 0"}, pelk.powerCalls());  // acted and failed, and wrote none
    SHDeleteKeyA(HKEY_CURRENT_USER, policyKey);
    announcePolicyChange();
    EXPECT_EQ(Lines{"ReportEvent Pelk 4 1201 none"}, pelk.events());
}
