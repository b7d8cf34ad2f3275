// Start-up of the process: single instance, version gate, privilege, directories,
// settings, icons, window class, ControlTips, the hidden MainWindow, message loop.
#include <windows.h>
#include <shlobj.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/control_tips.h"
#include "app/exit_codes.h"
#include "app/hand_over.h"
#include "app/look_up.h"
#include "app/text.h"
#include "app/windows_version.h"
#include "battery/battery.h"
#include "options/options.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "settings/policy.h"
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
    // Started through a link (winget's Links folder holds one for a portable program),
    // the program's folder is that of the file the link leads to (Vista on).
    typedef DWORD(WINAPI * FinalPathProc)(HANDLE, LPSTR, DWORD, DWORD);
    FinalPathProc finalPath = lookUpFunction<FinalPathProc>("KERNEL32.dll", "GetFinalPathNameByHandleA");
    HANDLE self = finalPath != nullptr ? CreateFileA(programDir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                     nullptr, OPEN_EXISTING, 0, nullptr)
                                       : INVALID_HANDLE_VALUE;
    if (self != INVALID_HANDLE_VALUE) {
        char finalName[textSize];
        length = finalPath(self, finalName, textSize, 0);
        CloseHandle(self);
        if (length != 0 && length < textSize) {
            plainPathOf(finalName);
            copyText(programDir, textSize, finalName);
        }
    }
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

// A copy that runs already and cannot be reached runs with higher rights (started as
// administrator), and refuses the messages of this one: the user who started this one
// is told so, instead of waiting for a window that never opens.
[[noreturn]] static void endUnreached()
{
    DWORD error = GetLastError();
    MessageBoxA(nullptr, "The Pelk that runs already cannot be reached from here; it may run as administrator.",
                "Pelk 1.4", MB_OK | MB_ICONWARNING);
    endProcessWith(error != 0 ? error : ERROR_ACCESS_DENIED);
}

// A slam that no running copy answered: its console, when it has one, is told why.
[[noreturn]] static void endSlamUnanswered(DWORD console, DWORD error, const char* why)
{
    char line[textSize] = "Pelk: ";
    appendText(line, sizeof line, why);
    appendText(line, sizeof line, " (");
    appendNumber(line, sizeof line, error);
    appendText(line, sizeof line, ")");
    osWriteConsoleLine(console, line);
    endProcessWith(error);
}

// "/exit": the running copy closes what shows, saves and ends, and this start ends
// once it has (it then owns the mutex), at most 10 s later.
[[noreturn]] static void endRunningCopy(HWND running, HANDLE mutex, DWORD console)
{
    if (!PostMessageA(running, exitRequestMessage, 0, 0)) {
        DWORD error = GetLastError();
        endSlamUnanswered(console, error != 0 ? error : ERROR_ACCESS_DENIED,
                          "the Pelk that runs cannot be reached from here (it may run as administrator): it was not ended.");
    }
    DWORD waited = WaitForSingleObject(mutex, 10000);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        ExitProcess(exitAllDone);
    endSlamUnanswered(console, exitTimedOut, "the Pelk that runs did not end within 10 seconds.");
}

// A second start in the session does what it asked through the copy that runs: a slam
// there, the options of a plain start, nothing for "/q". It touches no file of its own.
// It returns when the other copy ends instead (its window gone already, or never there):
// this one then owns the mutex and starts in its place.
static void handToRunningCopy(HANDLE mutex)
{
    // The first copy may be starting still (its window comes within moments), or ending.
    HWND running = nullptr;
    for (int tries = 0; tries < 50 && (running = FindWindowA(mainClassName, nullptr)) == nullptr; ++tries) {
        DWORD waited = WaitForSingleObject(mutex, 100);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
            return;
    }
    const char* commandLine = GetCommandLineA();
    StartMode mode = chooseStartMode(commandLine, 1);
    if (mode == startQuiet)
        endProcess();
    // The running copy tells a refusal or a failure on the console this slam was typed in.
    const bool slam = mode == startSlam || mode == startMisplaced;  // a misplaced keyword is refused by the copy that runs
    DWORD console = slam || mode == startExit ? osConsoleOfParent() : 0;
    // A copy that neither shows its window nor ends: a slam was not done, and says so.
    if (running == nullptr && mode == startExit)
        endSlamUnanswered(console, exitTimedOut, "another Pelk is starting or ending and did not answer.");
    if (running == nullptr && slam)
        endSlamUnanswered(console, exitTimedOut, "another Pelk is starting or ending and did not answer: nothing was done.");
    if (running == nullptr)
        endProcess();
    // The running copy's sheet or prompt may come to the front: this start was the user's.
    DWORD runningProcess = 0;
    GetWindowThreadProcessId(running, &runningProcess);
    AllowSetForegroundWindow(runningProcess);
    if (mode == startExit)
        endRunningCopy(running, mutex, console);
    if (mode == startOptions) {
        if (!PostMessageA(running, openOptionsMessage, 0, 0))
            endUnreached();
        endProcess();
    }
    // The command line, then the folder it was typed in (for a list file named without one).
    static char handed[handOverMost];
    size_t length = lstrlenA(commandLine) + 1;
    length = length < handOverMost ? length : handOverMost;
    lstrcpynA(handed, commandLine, static_cast<int>(length));
    DWORD folder = GetCurrentDirectoryA(static_cast<DWORD>(handOverMost - length), handed + length);
    if (folder != 0 && folder < handOverMost - length)
        length += folder + 1;
    COPYDATASTRUCT data = {handOverKind, static_cast<DWORD>(length), handed};
    // The answer comes when the slam has run: after its prompt, however long that waits.
    const UINT day = 24 * 60 * 60 * 1000;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(running, WM_COPYDATA, console, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, day,
                             &answer)) {
        DWORD error = GetLastError();
        endSlamUnanswered(console, error != 0 ? error : DWORD(exitTimedOut),
                          "the Pelk that runs cannot be reached from here (it may run as administrator): nothing was done.");
    }
    if (static_cast<uint32_t>(answer) == handOverAllDone)
        ExitProcess(exitAllDone);
    DWORD code = handOverExitCode(answer);
    if (code == exitOlderPelk)
        endSlamUnanswered(console, code, "the Pelk that runs is an older one, which takes no command: nothing was done.");
    endProcessWith(code);
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

    // Owned by this thread, which lives as long as the process: a second start that waits
    // on it gets it the moment this copy has ended.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Pelk.exe");
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        handToRunningCopy(mutex);
    // Nothing runs (any longer) that "/exit" could end: done, without a window or a file,
    // and told, so that an installer starts Pelk again only where it ran.
    if (chooseStartMode(GetCommandLineA(), 1) == startExit)
        ExitProcess(exitNotFound);

    char version[textSize];
    if (!versionAccepted(describeWindowsVersion(version))) {
        MessageBoxA(nullptr, "Sorry, this program requires Windows 2000.", "Pelk.exe", MB_OK);
        endProcess();
    }

    enableShutdownPrivilege();
    resolveDirectories();
    loadSettings();
    applyPolicy();
    if (isPolicyStart(GetCommandLineA()) && !policySets(policy, policyAutoStart))
        endProcess();
    followAutoStartPolicy(false);

    // At the sizes the system draws them at its scaling (16 and 32 at 100%, 32 and 64 at 200%).
    smallIcon = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                              LR_DEFAULTCOLOR));
    largeIcon = static_cast<HICON>(LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                              LR_DEFAULTCOLOR));
    registerMainClass();
    createControlTips();
    // The idle time counts from the start at the earliest; the agenda first looks as the window is made.
    lastActivityTick = osGetTickCount();
    mainWindow = CreateDialogParamA(instanceHandle, IDD_MINIDIALOG_NAME, nullptr, nullptr, 0);
    osRegisterRestart(L"/q");

    applyCommandLine();
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
