// Start-up pieces under Wine: directories, the version description, ControlTips.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "app/app.h"
#include "app/windows_version.h"
#include "resources/resource.h"
#include "wine_fixture.h"

namespace {

bool isFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Both cases in one test: the marker lies beside the test program itself.
TEST(Directories, MarkerFileMovesTheDataToApplicationData)
{
    const std::string marker = ownFolder() + "DefSet.txt";
    DeleteFileA(marker.c_str());
    resolveDirectories();
    EXPECT_EQ(ownFolder(), programDir);
    EXPECT_EQ(ownFolder(), dataDir);

    char appData[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE));
    const std::string orvenlit = std::string(appData) + "\\Orvenlit\\Pelk";
    const std::string dallop = std::string(appData) + "\\Dallop\\Pelk";
    RemoveDirectoryA(orvenlit.c_str());
    RemoveDirectoryA(dallop.c_str());

    writeBytes(marker, "");
    resolveDirectories();
    DeleteFileA(marker.c_str());
    EXPECT_EQ(ownFolder(), programDir);
    EXPECT_EQ(orvenlit + "\\", dataDir);
    EXPECT_TRUE(isFolder(orvenlit));
    EXPECT_TRUE(isFolder(dallop));
}

TEST(WindowsVersionUnderWine, DescribesAnAcceptedSystem)
{
    char text[textSize];
    DWORD code = describeWindowsVersion(text);
    EXPECT_TRUE(versionAccepted(code)) << text;
    EXPECT_EQ(0, std::string(text).rfind("Windows", 0)) << text;
}

INT_PTR CALLBACK plainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(ControlTips, AddsOneToolPerControlWithItsText)
{
    instanceHandle = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    controlTips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instanceHandle,
                                  nullptr);
    ASSERT_NE(nullptr, controlTips);
    HWND dialog = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_SCHEDULE), nullptr, plainDialog, 0);
    ASSERT_NE(nullptr, dialog);
    addControlTip(dialog, IDC_SCHEDULE_FORCE, "Force tip");
    addControlTip(dialog, IDC_SCHEDULE_MINUTES, "Minutes tip");
    EXPECT_EQ(2, SendMessageA(controlTips, TTM_GETTOOLCOUNT, 0, 0));

    char text[80] = "";
    TOOLINFOA tool{};
    tool.cbSize = 44;
    tool.hwnd = GetDlgItem(dialog, IDC_SCHEDULE_FORCE);
    tool.uId = reinterpret_cast<UINT_PTR>(tool.hwnd);
    tool.lpszText = text;
    SendMessageA(controlTips, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ("Force tip", text);
    DestroyWindow(dialog);
    DestroyWindow(controlTips);
    controlTips = nullptr;
}

}  // namespace
