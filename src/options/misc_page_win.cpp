// The Misc page: the event log, the start with Windows, and the buttons that
// open the log, the data folder, the help and the About box.
#include "options/options.h"

#include "about/about.h"
#include "app/globals.h"
#include "app/shell.h"
#include "app/text.h"
#include "options/option_rules.h"
#include "options/page_win.h"
#include "resources/resource.h"
#include "settings/log_format.h"
#include "settings/policy.h"

static const char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char runValue[] = "Pelk.exe";

static const PageTip miscTips[] = {
    {IDC_MISC_HELP, "Shows the ReadMe"},
    {IDC_MISC_ABOUT, "Shows the version of Pelk and where it keeps its files"},
    {IDC_MISC_AUTO_START, "Sets Pelk to start with Windows"},
    {IDC_MISC_VIEW_DIR, "Opens the directory where Pelk saves all files"},
    {IDC_MISC_VIEW_LOG, "Opens up the Log text file"},
    {IDC_MISC_LOG_EVENTS, "Log Command Line Shutdowns"},
};

static const PolicyLock miscLocks[] = {
    POLICY_LOCK(IDC_MISC_AUTO_START, autoStart),
};

static void onMiscPageInit(HWND page)
{
    beginPage();
    setBox(page, IDC_MISC_AUTO_START, settings.autoStart);
    setBox(page, IDC_MISC_LOG_EVENTS, settings.logEvents);
    endPage(page, miscTips, sizeof miscTips / sizeof miscTips[0]);
    lockPolicyControls(page, miscLocks, sizeof miscLocks / sizeof miscLocks[0], nullptr);
}

static void openLog()
{
    char path[textSize];
    copyText(path, textSize, dataDir);
    appendText(path, textSize, logFileName);
    openInShell(path);
}

static void onMiscPageCommand(HWND page, int id)
{
    switch (id) {
    case IDC_MISC_ABOUT:
        if (aboutOpen == 0)
            showAboutBox(page);
        break;
    case IDC_MISC_VIEW_LOG: openLog(); break;
    case IDC_MISC_HELP: openReadMe(); break;
    case IDC_MISC_VIEW_DIR: openInShell(dataDir); break;
    }
}

// The running program's own file, never a search for its name: a search could
// register a stranger of the same name to start at every logon.
static void writeRunValue()
{
    char path[textSize] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, textSize);
    if (length == 0 || length >= textSize)
        path[0] = '\0';
    char command[textSize + 8];
    startupCommand(path, command, sizeof command);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, runKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, runValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), lstrlenA(command) + 1);
        RegCloseKey(key);
    }
}

static void deleteRunValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, runKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, runValue);
        RegCloseKey(key);
    }
}

// The registry changes only here, and only when the box and autoStart disagree (any
// value but 0 is on, and is stored as 1).
static void onMiscPageLeft(HWND page)
{
    settings.logEvents = boxState(page, IDC_MISC_LOG_EVENTS);
    uint32_t wanted = boxState(page, IDC_MISC_AUTO_START);
    if (wanted == 1 && settings.autoStart != 1) {
        writeRunValue();
        settings.autoStart = 1;
    } else if (wanted == 0 && settings.autoStart != 0) {
        deleteRunValue();
        settings.autoStart = 0;
    }
}

INT_PTR CALLBACK miscPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: onMiscPageInit(page); return TRUE;
    case WM_COMMAND: onMiscPageCommand(page, LOWORD(wParam)); return TRUE;
    case WM_NOTIFY: return onPageNotify(page, lParam, nullptr, onMiscPageLeft);
    }
    return FALSE;
}

void followAutoStartPolicy(bool wasSet)
{
    if (!policy.present[policyAutoStart] && !wasSet)
        return;
    if (settings.autoStart != 0)
        writeRunValue();
    else
        deleteRunValue();
}
