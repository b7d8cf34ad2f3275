// Start-up of the process: single instance, version gate, privilege, directories,
// settings, icons, window class, ControlTips, the hidden MainWindow, message loop.
#include <windows.h>
#include <shlobj.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/control_tips.h"
#include "app/hand_over.h"
#include "app/look_up.h"
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

void endProcessWith(DWORD error)
{
    if (error == 0)
        endProcess();
    ExitProcess(error);
}

// An elevated Pelk (started by an installer, or by "Run as administrator") would never
// hear a shell of lower integrity announce a new taskbar, and lose its icon for good.
static void letTaskbarCreatedThrough()
{
    typedef BOOL(WINAPI * FilterExProc)(HWND, UINT, DWORD, void*);
    typedef BOOL(WINAPI * FilterProc)(UINT, DWORD);
    const DWORD allow = 1;  // MSGFLT_ALLOW, MSGFLT_ADD
    FilterExProc filterEx = lookUpFunction<FilterExProc>("USER32.dll", "ChangeWindowMessageFilterEx");
    if (filterEx != nullptr) {
        filterEx(mainWindow, taskbarCreatedMsg, allow, nullptr);
        return;
    }
    FilterProc filter = lookUpFunction<FilterProc>("USER32.dll", "ChangeWindowMessageFilter");
    if (filter != nullptr)
        filter(taskbarCreatedMsg, allow);
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

    // DefSet.txt asks for the per-user folder; so does a program folder that cannot be
    // written (Program Files, a read-only share), where nothing could be saved.
    char marker[textSize];
    copyText(marker, textSize, programDir);
    appendText(marker, textSize, "DefSet.txt");
    HANDLE file = CreateFileA(marker, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    else if (osFolderWritable(programDir))
        return;

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

// A second start in the session does what it asked through the copy that runs: a slam
// there, the options of a plain start, nothing for "/q". It touches no file of its own.
[[noreturn]] static void handToRunningCopy()
{
    // The first copy may be starting still: its window comes within moments.
    HWND running = nullptr;
    for (int tries = 0; tries < 50 && (running = FindWindowA(mainClassName, nullptr)) == nullptr; ++tries)
        Sleep(100);
    const char* commandLine = GetCommandLineA();
    StartMode mode = chooseStartMode(commandLine, 1);
    if (running == nullptr || mode == startQuiet)
        endProcess();
    // The running copy's sheet or prompt may come to the front: this start was the user's.
    DWORD runningProcess = 0;
    GetWindowThreadProcessId(running, &runningProcess);
    AllowSetForegroundWindow(runningProcess);
    if (mode == startOptions) {
        PostMessageA(running, openOptionsMessage, 0, 0);
        endProcess();
    }
    size_t length = lstrlenA(commandLine) + 1;
    COPYDATASTRUCT data = {handOverKind, static_cast<DWORD>(length < handOverMost ? length : handOverMost),
                           const_cast<char*>(commandLine)};
    // The answer comes when the slam has run: after its prompt, however long that waits.
    const UINT day = 24 * 60 * 60 * 1000;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, day, &answer)) {
        DWORD error = GetLastError();
        endProcessWith(error != 0 ? error : ERROR_TIMEOUT);
    }
    // A copy that does not know the hand-over (an older Pelk) answers 0: nothing was done.
    if (answer == 0)
        endProcessWith(ERROR_CALL_NOT_IMPLEMENTED);
    endProcessWith(answer == handOverDone ? 0 : static_cast<DWORD>(answer));
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
        handToRunningCopy();

    char version[textSize];
    if (!versionAccepted(describeWindowsVersion(version))) {
        MessageBoxA(nullptr, "Sorry, this program requires Windows 2000.", "Pelk.exe", MB_OK);
        endProcess();
    }

    enableShutdownPrivilege();
    resolveDirectories();
    loadSettings();

    // At the sizes the system draws them at its scaling (16 and 32 at 100%, 32 and 64 at 200%).
    smallIcon = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                              LR_DEFAULTCOLOR));
    largeIcon = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                              LR_DEFAULTCOLOR));
    registerMainClass();
    createControlTips();
    mainWindow = CreateDialogParamA(instanceHandle, IDD_MINIDIALOG_NAME, nullptr, nullptr, 0);

    applyCommandLine();
    lastActivityTick = osGetTickCount();
    updateBatteryPresence();
    taskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");
    letTaskbarCreatedThrough();
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
