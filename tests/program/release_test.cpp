// The release as a user gets it: the installer installs silently, the installed
// Pelk runs from Program Files with its data in the application-data folder, its
// program watch reads the system's list of processes, and the uninstaller ends it
// and removes it, leaving the user's settings; the Event Viewer finds its texts in Pelk.exe.
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
    for (const char* file : {"Pelk.exe", "ReadMe.htm", "DefSet.txt", "Uninstall.exe"})
        EXPECT_TRUE(exists(folder + file)) << file;
    EXPECT_TRUE(exists(menu + "Pelk.lnk") && exists(menu + "Pelk Help.lnk"));  // the menu of all users
    EXPECT_EQ(PELK_VERSION_TEXT " Orvenlit", registryText(HKEY_LOCAL_MACHINE, entry, "DisplayVersion") + " " +
                                           registryText(HKEY_LOCAL_MACHINE, entry, "Publisher"));

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
    EXPECT_TRUE(exists(data.path("dPelk.dat")));
}

// The Windows Installer package of this width, as an administrator deploys it: it
// starts Pelk when asked, replaces an older package, refuses a downgrade, and ends a
// running Pelk through its own Exit, which saves the settings, before its files go.
TEST(Release, PackageUpgradesRefusesADowngradeAndEndsPelk)
{
    auto built = [](const char* relative) {  // a package of the build, from this program's folder
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        PathRemoveFileSpecA(path);
        PathAppendA(path, relative);
        return " \"" + std::string(path) + "\" /qn";
    };
    const std::string package = built(PELK_MSI_UNDER_TEST), older = built(PELK_OLDER_MSI);
    auto msiexec = [](const std::string& arguments) {  // the whole exit code, which a Unix status cuts
        Pelk run("msiexec.exe", specialFolder(CSIDL_SYSTEM) + "\\");
        return run.start(arguments) && run.waitForExit(60000) ? run.exitCode() : ERROR_TIMEOUT;
    };
    auto pelkRuns = [] { return FindWindowA("PELKDLG", nullptr) != nullptr; };
    const std::string folder = specialFolder(CSIDL_PROGRAM_FILES) + "\\Pelk\\";
    Pelk data("Pelk.exe", specialFolder(CSIDL_APPDATA) + "\\Orvenlit\\Pelk\\");  // for DefSet.txt is installed
    msiexec("/x" + package);  // what an earlier run may have left

    ASSERT_EQ(0u, msiexec("/i" + older + " LAUNCH=1"));
    EXPECT_TRUE(exists(folder + "ReadMe.htm") && exists(folder + "DefSet.txt"));
    ASSERT_TRUE(waitUntil(pelkRuns));  // started for the user, with its options open
    DeleteFileA(data.path("dPelk.dat").c_str());
    EXPECT_EQ(0u, msiexec("/i" + package));
    EXPECT_FALSE(pelkRuns());
    EXPECT_TRUE(exists(data.path("dPelk.dat")));
    char product[39] = "", version[20] = "";
    DWORD size = sizeof version;
    EXPECT_EQ(0u, MsiEnumRelatedProductsA(PELK_UPGRADE_CODE, 0, 0, product));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, MsiEnumRelatedProductsA(PELK_UPGRADE_CODE, 0, 1, product));  // the older one went
    MsiGetProductInfoA(product, INSTALLPROPERTY_VERSIONSTRING, version, &size);
    EXPECT_EQ(0u, (version + std::string(".")).find(PELK_VERSION_TEXT ".")) << version;  // Wine's "1.4", Windows' "1.4.0"
    EXPECT_EQ(DWORD(ERROR_INSTALL_FAILURE), msiexec("/i" + older));

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
    SHDeleteValueA(HKEY_CURRENT_USER, runKey, "Pelk.exe");
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
