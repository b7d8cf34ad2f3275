// Start-up of the process: single instance, version gate, privilege, directories,
// settings, icons, window class, ControlTips, the hidden MainWindow, message loop.
#include <windows.h>
#include <shlobj.h>

#include "app/app.h"
#include "app/control_tips.h"
#include "app/text.h"
#include "app/windows_version.h"
#include "battery/battery.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/settings_file.h"

HINSTANCE instanceHandle;
char programDir[textSize];
char dataDir[textSize];
HICON smallIcon;
HICON largeIcon;
HWND mainWindow;
DWORD lastActivityTick;
UINT taskbarCreatedMsg;

volatile LONG optionsOpen;
volatile LONG aboutOpen;
volatile LONG promptOpen;
volatile LONG monitorOpen;
volatile LONG monitorHoverOpen;
volatile LONG trayHoverSeen;
volatile LONG scheduleActive;
volatile LONG batteryPresent;
DWORD lastBatteryPercent;

static const char mainClassName[] = "PELKDLG";

void endProcess()
{
    ExitProcess(static_cast<UINT>(reinterpret_cast<UINT_PTR>(instanceHandle)));
}

static void enableShutdownPrivilege()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
}

static void createDirectoryUnder(char* path, const char* name)
{
    appendText(path, textSize, name);
    CreateDirectoryA(path, nullptr);
}

void resolveDirectories()
{
    // The program's own file, whatever it is called and wherever a copy of the same name lies.
    DWORD length = GetModuleFileNameA(nullptr, programDir, textSize);
    if (length == 0 || length >= textSize)
        programDir[0] = '\0';
    stripFileName(programDir);
    copyText(dataDir, textSize, programDir);

    char root[4] = {programDir[0], programDir[1], programDir[2], '\0'};
    if (GetDriveTypeA(root) == DRIVE_REMOVABLE)
        return;

    char marker[textSize];
    copyText(marker, textSize, programDir);
    appendText(marker, textSize, "DefSet.txt");
    HANDLE file = CreateFileA(marker, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(file);

    char folder[textSize] = "";
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE);
    createDirectoryUnder(folder, "\\Dallop");
    createDirectoryUnder(folder, "\\Pelk");

    folder[0] = '\0';
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE);
    createDirectoryUnder(folder, "\\Orvenlit");
    createDirectoryUnder(folder, "\\Pelk");
    copyText(dataDir, textSize, folder);
    appendText(dataDir, textSize, "\\");
}

static void registerMainClass()
{
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instanceHandle;
    windowClass.hIcon = largeIcon;
    windowClass.hIconSm = smallIcon;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = mainClassName;
    RegisterClassExA(&windowClass);
}

void startApplication()
{
    instanceHandle = GetModuleHandleA(nullptr);

    CreateMutexA(nullptr, FALSE, "Pelk.exe");
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        endProcess();

    char version[textSize];
    if (!versionAccepted(describeWindowsVersion(version))) {
        MessageBoxA(nullptr, "Sorry, this program requires Windows 2000.", "Pelk.exe", MB_OK);
        endProcess();
    }

    enableShutdownPrivilege();
    resolveDirectories();
    loadSettings();

    smallIcon = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON,
                                              16, 16, LR_DEFAULTCOLOR));
    largeIcon = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON,
                                              32, 32, LR_DEFAULTCOLOR));
    registerMainClass();
    createControlTips();
    mainWindow = CreateDialogParamA(instanceHandle, IDD_MINIDIALOG_NAME, nullptr, nullptr, 0);

    applyCommandLine();
    lastActivityTick = osGetTickCount();
    updateBatteryPresence();
    taskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");
}

void runMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(mainWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
