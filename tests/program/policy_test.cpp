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

    SHDeleteKeyA(HKEY_CURRENT_USER, policyKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, policyKey);
    announcePolicyChange();
    EXPECT_EQ(15u, pelk.exitAndSaved().idleMinutes);
    EXPECT_TRUE(has(pelk.timers(), "KillTimer main 8"));
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
