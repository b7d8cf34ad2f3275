// The release as a user gets it: the installer installs silently, the installed
// Pelk runs from Program Files with its data in the application-data folder, and
// the uninstaller ends it and removes it, leaving the user's settings.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "pelk.h"
#include "resources/resource.h"
#include "version.h"

namespace {

std::string specialFolder(int id)
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, id, FALSE);
    return path;
}

std::string registryText(HKEY root, const char* key, const char* value)
{
    char text[700] = "";
    DWORD size = sizeof text;
    SHGetValueA(root, key, value, nullptr, text, &size);
    return text;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(Release, InstallsRunsAndUninstalls)
{
    char setup[MAX_PATH];
    GetModuleFileNameA(nullptr, setup, MAX_PATH);
    PathRemoveFileSpecA(setup);
    PathAppendA(setup, "..\\..\\dist\\Pelk-" PELK_VERSION_TEXT "-setup.exe");
    const std::string folder = specialFolder(CSIDL_PROGRAM_FILES) + "\\Pelk\\";
    const std::string settings = specialFolder(CSIDL_APPDATA) + "\\Orvenlit\\Pelk\\dPelk.dat";
    const char* const run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const char* const entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelk";
    DeleteFileA(settings.c_str());
    ASSERT_EQ(0u, runAndWait("\"" + std::string(setup) + "\" /S"));
    for (const char* file : {"Pelk.exe", "ReadMe.htm", "DefSet.txt", "Uninstall.exe"})
        EXPECT_TRUE(exists(folder + file)) << file;
    EXPECT_EQ("Pelk|" PELK_VERSION_TEXT "|Pelk developers", registryText(HKEY_LOCAL_MACHINE, entry, "DisplayName") + "|" +
                                                          registryText(HKEY_LOCAL_MACHINE, entry, "DisplayVersion") +
                                                          "|" + registryText(HKEY_LOCAL_MACHINE, entry, "Publisher"));

    Pelk pelk("Pelk.exe", folder);  // a plain start: the options; Auto Start, then OK
    ASSERT_TRUE(pelk.start(""));
    HWND sheet = pelk.waitForDialog();
    SendDlgItemMessageA(showPage(sheet, 4), IDC_MISC_AUTO_START, BM_CLICK, 0, 0);
    press(sheet, IDOK);
    ASSERT_TRUE(waitForClose(sheet));
    EXPECT_EQ("\"" + folder + "Pelk.exe\" /q", registryText(HKEY_CURRENT_USER, run, "Pelk.exe"));
    EXPECT_TRUE(exists(settings));

    EXPECT_EQ(0u, runAndWait("\"" + folder + "Uninstall.exe\" /S"));
    EXPECT_TRUE(pelk.waitForExit(15000));  // ended by its own Exit
    EXPECT_TRUE(waitUntil([&folder] { return !exists(folder); }, 15000));
    EXPECT_EQ("", registryText(HKEY_CURRENT_USER, run, "Pelk.exe"));
    EXPECT_EQ("", registryText(HKEY_LOCAL_MACHINE, entry, "DisplayName"));
    EXPECT_TRUE(exists(settings));
}

}  // namespace
