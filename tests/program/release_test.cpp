// The release as a user gets it: the installer installs silently (and a package that
// fails over it leaves it whole), the installed Pelk runs from Program Files with its
// data in the application-data folder, its program watch reads the system's list of
// processes, and the uninstaller ends it and removes it, leaving the user's settings;
// the Event Viewer finds its texts in Pelk.exe.
#include <shlobj.h>
#include <shlwapi.h>
#include <msi.h>

#include <regex>

#include "pelk.h"
#include "settings/system_events.h"
#include "version.h"

static std::string specialFolder(int id)
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, id, FALSE);
    return path;
}

static bool exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

static const char* const eventSource = "System\\CurrentControlSet\\Services\\EventLog\\Application\\Pelk";
// What an installer writes for every user: the start for the Auto Start policy, the event log's source.
static std::string machineEntries()
{
    return registryText(HKEY_LOCAL_MACHINE, runKey, "Pelk") + "|" +
           registryText(HKEY_LOCAL_MACHINE, eventSource, "EventMessageFile");
}

// The whole exit code of a program run to its end (msiexec's, which a Unix status cuts).
static DWORD runToEnd(const std::string& path, const std::string& arguments)
{
    const size_t name = path.rfind('\\') + 1;
    Pelk run(path.c_str() + name, path.substr(0, name));
    return run.start(arguments) && run.waitForExit(60000) ? run.exitCode() : ERROR_TIMEOUT;
}
static DWORD msiexec(const std::string& arguments) { return runToEnd(specialFolder(CSIDL_SYSTEM) + "\\msiexec.exe", arguments); }

// A file of the build, from this program's folder; a package of it for msiexec.
static std::string built(const char* relative)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    PathAppendA(path, relative);
    return path;
}
static std::string quiet(const char* package) { return " \"" + built(package) + "\" /qn"; }

static const char* const sessionManager = "System\\CurrentControlSet\\Control\\Session Manager";

// What Windows renames or deletes when it restarts: "source|target|...", an empty target deleting.
static std::string atRestart()
{
    char list[4000] = {};
    DWORD size = sizeof list;
    SHGetValueA(HKEY_LOCAL_MACHINE, sessionManager, "PendingFileRenameOperations", nullptr, list, &size);
    std::string pairs(list, sizeof list);
    for (char& c : pairs)
        c = c ? c : '|';
    return pairs.substr(0, pairs.find_last_not_of('|') + 1);
}

TEST(Release, InstallsRunsAndUninstalls)
{
    char installer[MAX_PATH];  // the build's installer for this kind of Windows
    GetModuleFileNameA(nullptr, installer, MAX_PATH);
    PathRemoveFileSpecA(installer);
    PathAppendA(installer, PELK_SETUP_UNDER_TEST);
    const char* name = PathFindFileNameA(installer);
    Pelk setup(name, std::string(installer, name - installer));
    const std::string folder = specialFolder(CSIDL_PROGRAM_FILES) + "\\Pelk\\";
    const std::string appData = specialFolder(CSIDL_APPDATA);
    const std::string menu = specialFolder(CSIDL_COMMON_PROGRAMS) + "\\Pelk\\";
    const std::string program = "\\??\\" + folder + "Pelk.exe";  // as Windows names it at the restart
    const char* const entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelk";
    ASSERT_TRUE(setup.start("/S") && setup.waitForExit(60000) && setup.exitCode() == 0);
    // A package that fails (a key it writes may not be written) takes nothing of this installation.
    SECURITY_DESCRIPTOR none;  // an empty access list: no one may do anything
    ACL empty;
    InitializeSecurityDescriptor(&none, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&none, TRUE, &empty, FALSE);
    HKEY source;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, eventSource, 0, WRITE_DAC, &source);
    RegSetKeySecurity(source, DACL_SECURITY_INFORMATION, &none);
    const DWORD failed = msiexec("/i" + quiet(PELK_MSI_UNDER_TEST));  // Windows' 1603, Wine's 1627
    EXPECT_TRUE(failed == ERROR_INSTALL_FAILURE || failed == ERROR_FUNCTION_FAILED) << failed;
    SetSecurityDescriptorDacl(&none, TRUE, nullptr, FALSE);
    RegSetKeySecurity(source, DACL_SECURITY_INFORMATION, &none);
    RegCloseKey(source);
    EXPECT_TRUE(exists(folder + "Uninstall.exe") && registryText(HKEY_LOCAL_MACHINE, entry, "DisplayVersion") != "");
    // Windows puts back the files the package replaced; Wine's rollback removes them: the setup again.
    ASSERT_TRUE(setup.start("/S") && setup.waitForExit(60000) && setup.exitCode() == 0);
    for (const char* file : {"Pelk.exe", "ReadMe.htm", "DefSet.txt", "Uninstall.exe"})
        EXPECT_TRUE(exists(folder + file)) << file;
    EXPECT_TRUE(exists(menu + "Pelk.lnk") && exists(menu + "Pelk Help.lnk"));  // the menu of all users
    EXPECT_EQ(PELK_VERSION_TEXT " Orvenlit", registryText(HKEY_LOCAL_MACHINE, entry, "DisplayVersion") + " " +
                                           registryText(HKEY_LOCAL_MACHINE, entry, "Publisher"));
    const std::string entries = "\"" + folder + "Pelk.exe\" /q:policy|" + folder + "Pelk.exe";
    EXPECT_EQ(entries, machineEntries());

    // With DefSet.txt beside it, the program reads and saves its settings in the application-data folder.
    Pelk data("Pelk.exe", appData + "\\Orvenlit\\Pelk\\");
    removeTree(appData + "\\Dallop\\");
    CreateDirectoryA((appData + "\\Orvenlit").c_str(), nullptr);
    CreateDirectoryA(data.path("").c_str(), nullptr);
    data.writeSettings({{&Settings::idleMinutes, 222}, {&Settings::trayPromptMode, 1}});  // a watch only asks
    Pelk pelk("Pelk.exe", folder);  // a plain start: the options; Auto Start, then OK
    pelk.writeSettings({{&Settings::idleMinutes, 111}});  // not read, for DefSet.txt is there
    ASSERT_TRUE(pelk.start(""));
    HWND sheet = pelk.waitForDialog();
    SendDlgItemMessageA(showPage(sheet, 4), IDC_MISC_AUTO_START, BM_CLICK, 0, 0);
    press(sheet, IDOK);
    ASSERT_TRUE(waitForClose(sheet));
    EXPECT_EQ("\"" + folder + "Pelk.exe\" /q", registryText(HKEY_CURRENT_USER, runKey, "Pelk.exe"));
    Settings saved;
    EXPECT_TRUE(data.savedSettings(saved) && saved.autoStart == 1 && saved.idleMinutes == 222);
    EXPECT_TRUE(exists(appData + "\\Dallop\\Pelk"));
    // The real list of processes: a program of the test's own making is watched until it
    // ends, and then the watch asks.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string watched = folder + "pelkwatched.exe";
    std::string line = "\"" + watched + "\" -n 600 127.0.0.1";
    STARTUPINFOA start = {sizeof start};
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\ping.exe").c_str(), watched.c_str(), FALSE) &&
                CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &start, &child));
    Pelk watch("Pelk.exe", folder);
    EXPECT_EQ(watch.imageBase(), watch.start("/slam /susp /when:pelkwatched.exe") && watch.waitForExit() ? watch.exitCode() : 0);
    TerminateProcess(child.hProcess, 0);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    HWND asked = pelk.waitForDialog();
    EXPECT_NE(nullptr, asked);
    press(asked, IDCANCEL);
    EXPECT_TRUE(waitForClose(asked));
    DeleteFileA(watched.c_str());

    DeleteFileA(pelk.path("dPelk.dat").c_str());
    // A Pelk of another session, which no window reveals, holds the program.
    HANDLE inUse = CreateFileA((folder + "Pelk.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, 0);
    Pelk uninstall("Uninstall.exe", folder);
    EXPECT_TRUE(uninstall.start("/S") && uninstall.waitForExit(60000) && uninstall.exitCode() == 0);
    EXPECT_TRUE(pelk.waitForExit());  // ended by its own Exit
    // The uninstaller runs on as a copy of itself after it ends; its last step removes the entry.
    EXPECT_TRUE(waitUntil([&] { return registryText(HKEY_LOCAL_MACHINE, entry, "DisplayVersion").empty(); }));
    // The program still held goes at the restart, and its folder after it; the rest went now.
    EXPECT_NE(std::string::npos, atRestart().find("|" + program + "||\\??\\" + folder)) << atRestart();
    EXPECT_FALSE(exists(folder + "ReadMe.htm") || exists(folder + "Uninstall.exe") || exists(menu));
    CloseHandle(inUse);
    removeTree(folder);
    SHDeleteValueA(HKEY_LOCAL_MACHINE, sessionManager, "PendingFileRenameOperations");
    EXPECT_EQ("", registryText(HKEY_CURRENT_USER, runKey, "Pelk.exe"));
    EXPECT_EQ("|", machineEntries());
    EXPECT_TRUE(exists(data.path("dPelk.dat")));
}

// The Windows Installer package of this width, as an administrator deploys it: it
// starts Pelk quietly when asked, replaces an older package and starts Pelk again where
// it ran, leaves a running Pelk alone when run again, refuses a downgrade (and an older
// installer refuses to replace it), and ends a running Pelk through its own Exit, which
// saves the settings, before its files go.
TEST(Release, PackageUpgradesRefusesADowngradeAndEndsPelk)
{
    const std::string package = quiet(PELK_MSI_UNDER_TEST), older = quiet(PELK_OLDER_MSI);
    // The Pelk that runs, once it has started quietly: an About box it is asked for comes
    // after what its start posted, and no other window of it (the options) is open.
    auto quietPelk = [] {
        HWND main = nullptr, about = nullptr;
        DWORD_PTR answer;
        if (!waitUntil([&] { return (main = FindWindowA("PELKDLG", nullptr)) != nullptr; }) ||
            !SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, patienceMs, &answer))
            return HWND();
        PostMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
        waitUntil([&] { return (about = FindWindowA("#32770", nullptr)) != nullptr; });
        bool alone = about && FindWindowExA(nullptr, about, "#32770", nullptr) == nullptr;
        press(about, IDOK);
        return alone && waitForClose(about) ? main : HWND();
    };
    const std::string folder = specialFolder(CSIDL_PROGRAM_FILES) + "\\Pelk\\";
    Pelk data("Pelk.exe", specialFolder(CSIDL_APPDATA) + "\\Orvenlit\\Pelk\\");  // for DefSet.txt is installed
    msiexec("/x" + package);  // what an earlier run may have left

    ASSERT_EQ(0u, msiexec("/i" + older + " LAUNCH=1"));
    EXPECT_TRUE(exists(folder + "ReadMe.htm") && exists(folder + "DefSet.txt"));
    HWND first = quietPelk();  // started for the user, in the tray
    ASSERT_NE(HWND(), first);
    DeleteFileA(data.path("dPelk.dat").c_str());
    EXPECT_EQ(0u, msiexec("/i" + package));
    EXPECT_TRUE(exists(data.path("dPelk.dat")));  // saved as it was ended
    HWND again = quietPelk();  // and started again
    EXPECT_TRUE(again && again != first);
    EXPECT_EQ(0u, msiexec("/i" + package));  // the same package once more: nothing changes
    EXPECT_TRUE(IsWindow(again));
    EXPECT_EQ(DWORD(ERROR_PRODUCT_VERSION), runToEnd(built(PELK_OLDER_SETUP), "/S"));  // an older installer refuses
    EXPECT_EQ("\"" + folder + "Pelk.exe\" /q:policy|" + folder + "Pelk.exe", machineEntries());
    char product[39] = "", version[20] = "", location[MAX_PATH] = "";
    DWORD size = sizeof version, length = MAX_PATH;
    EXPECT_EQ(0u, MsiEnumRelatedProductsA(PELK_UPGRADE_CODE, 0, 0, product));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, MsiEnumRelatedProductsA(PELK_UPGRADE_CODE, 0, 1, product));  // the older one went
    MsiGetProductInfoA(product, INSTALLPROPERTY_VERSIONSTRING, version, &size);
    EXPECT_EQ(0u, (version + std::string(".")).find(PELK_VERSION_TEXT ".")) << version;  // Wine's "1.4", Windows' "1.4.0"
    EXPECT_EQ(DWORD(ERROR_INSTALL_FAILURE), msiexec("/i" + older));
    MsiGetProductInfoA(product, INSTALLPROPERTY_INSTALLLOCATION, location, &length);
    EXPECT_EQ(folder, location);
    EXPECT_EQ(0u, runToEnd(folder + "Pelk.exe", "/exit"));

    data.writeSettings();  // the defaults, then a setting changed and its file gone: /exit saves it again
    Pelk pelk("Pelk.exe", folder);
    ASSERT_TRUE(pelk.start(""));
    HWND sheet = pelk.waitForDialog();
    SendDlgItemMessageA(showPage(sheet, 4), IDC_MISC_AUTO_START, BM_CLICK, 0, 0);
    press(sheet, IDOK);
    ASSERT_TRUE(waitForClose(sheet));
    DeleteFileA(data.path("dPelk.dat").c_str());
    EXPECT_EQ(0u, msiexec("/x" + package));
    EXPECT_TRUE(pelk.waitForExit());
    Settings saved;
    EXPECT_TRUE(data.savedSettings(saved) && saved.autoStart == 1);
    EXPECT_FALSE(exists(folder));
    EXPECT_EQ("||", machineEntries() + "|" + registryText(HKEY_CURRENT_USER, runKey, "Pelk.exe"));
}

// The Event Viewer's text of each entry, from Pelk.exe: the table's, with the strings put in.
TEST(Release, MessageTableHoldsEveryEntry)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(PathFindFileNameA(path), "Pelk.exe");  // beside the test program
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);  // else every text fails
    const DWORD_PTR strings[] = {DWORD_PTR("<1>"), DWORD_PTR("<2>"), DWORD_PTR("<3>"), DWORD_PTR("<4>"), DWORD_PTR("<5>")};
    for (const SystemEvent* e = systemEvents; e < systemEvents + systemEventCount; ++e) {
        char text[1000];
        DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, e->id, 0, text,
                                      sizeof text, reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(strings)));
        EXPECT_EQ(std::regex_replace(e->text, std::regex("%(\\d)"), "<$1>") + "\r\n", std::string(text, length)) << e->id;
    }
}
