// The recording power layer of PelkTest.exe: every call is appended, with its
// arguments, to "PowerJournal.txt" beside the program (window timers are also
// set for real, so the program runs on), and the readings (tick
// counts, last input, battery, system time) come from "PowerReadings.ini" there
// whenever a test has set them, so a test can move them while the program runs.
#include <cstdarg>
#include <cstdio>

#include "app/text.h"
#include "power/power_calls.h"

static void besideProgram(const char* name, char* path)
{
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    stripFileName(path);
    appendText(path, MAX_PATH, name);
}

// Appends one line to the journal (remote calls write from threads of their own, one
// at a time); TRUE, what the recorded call then answers.
static BOOL journal(const char* format, ...)
{
    static CRITICAL_SECTION lock;
    static const bool ready = (InitializeCriticalSection(&lock), true);
    struct Held {
        Held() { EnterCriticalSection(&lock); }
        ~Held() { LeaveCriticalSection(&lock); }
    } held;
    (void)ready;
    char path[MAX_PATH];
    besideProgram("PowerJournal.txt", path);
    FILE* file = std::fopen(path, "ab");
    if (file == nullptr)
        return TRUE;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputs("\r\n", file);
    std::fclose(file);
    return TRUE;
}

static unsigned long long reading(const char* key, unsigned long long fallback)
{
    char path[MAX_PATH];
    char text[32] = "";
    besideProgram("PowerReadings.ini", path);
    GetPrivateProfileStringA("readings", key, "", text, sizeof text, path);
    unsigned long long value = fallback;
    if (text[0] != '\0')
        std::sscanf(text, "%llu", &value);
    return value;
}

// A power call answers as the reading "callError" says: 0 succeeds, else fails with that error.
static BOOL powerAnswer()
{
    DWORD error = static_cast<DWORD>(reading("callError", 0));
    SetLastError(error);
    return error == 0;
}

BOOL osExitWindowsEx(UINT flags, DWORD reason) { return journal("ExitWindowsEx %u %lu", flags, reason) && powerAnswer(); }

void osRegisterRestart(const wchar_t* arguments) { journal("RegisterApplicationRestart %ls", arguments); }

BOOL osSetSystemPowerState(BOOL suspend, BOOL force)
{
    return journal("SetSystemPowerState %d %d", suspend, force) && powerAnswer();
}

BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds, BOOL force,
                              BOOL restart, DWORD reason)
{
    journal("InitiateSystemShutdownA %s|%s|%lu|%d|%d|%lu", machine, message, timeoutSeconds, force, restart, reason);
    // A computer's own answer ("remote.NAME"): an error, 4294967295 for one that never
    // answers, 4294967294 for one that answers once the reading changes.
    char key[300] = "remote.";
    appendText(key, sizeof key, machine);
    DWORD error;
    while ((error = static_cast<DWORD>(reading(key, reading("callError", 0)))) == 0xFFFFFFFE)
        Sleep(20);
    if (error == 0xFFFFFFFF)
        Sleep(INFINITE);
    SetLastError(error);
    return error == 0;
}

void osGetSleepAbilities(bool* canSuspend, bool* canHibernate)
{
    *canSuspend = reading("canSuspend", 1) != 0;
    *canHibernate = reading("canHibernate", 1) != 0;
}

void osRequestSystemAndDisplay() { journal("SetThreadExecutionState system display"); }

void osReadSessions(SessionReading* sessions)
{
    *sessions = {reading("sessionOwn", ~0ull) != ~0ull, static_cast<DWORD>(reading("sessionOwn", 0)),
                 static_cast<DWORD>(reading("sessionConsole", 0)), reading("sessionRemote", 0) != 0,
                 reading("sessionRemoteActive", 0) != 0};
}

DWORD osExecutionState() { return static_cast<DWORD>(reading("executionState", 0)); }

bool osUserLoggedOnElsewhere() { return reading("userElsewhere", 0) != 0; }

DWORD osUserNotificationState() { return static_cast<DWORD>(reading("notificationState", 0)); }

// "localTime": yyyymmddhhmm and the weekday (0 Sunday), 13 digits; "localSecond".
void osGetLocalTime(WallTime* now)
{
    unsigned long long t = reading("localTime", 0);
    SYSTEMTIME local;
    GetLocalTime(&local);
    *now = t == 0 ? WallTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wDayOfWeek, 0}
                  : WallTime{static_cast<uint16_t>(t / 1000000000), static_cast<uint16_t>(t / 10000000 % 100),
                             static_cast<uint16_t>(t / 100000 % 100), static_cast<uint16_t>(t / 1000 % 100),
                             static_cast<uint16_t>(t / 10 % 100), static_cast<uint16_t>(t % 10), 0};
    now->second = static_cast<uint16_t>(reading("localSecond", t == 0 ? local.wSecond : 0));
    now->millisecond = t == 0 ? local.wMilliseconds : 0;
}

void osPlayWarningSound() { journal("PlaySound SystemExclamation"); }

BOOL osFolderWritable(const char*) { return reading("programFolderReadOnly", 0) == 0; }

// "highContrast" 1 or 0 in the place of the system's answer, which Wine 8 keeps at 0.
bool osHighContrast()
{
    HIGHCONTRASTA highContrast = {sizeof highContrast, 0, nullptr};
    SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0);
    return reading("highContrast", highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags)
{
    return journal("SetProcessShutdownParameters %lu %lu", level, flags);
}

HANDLE osCreateWakeTimer()
{
    journal("CreateWaitableTimer");
    return CreateWaitableTimerA(nullptr, FALSE, nullptr);
}

DWORD osSetWakeTimer(HANDLE, const LARGE_INTEGER* dueTime)
{
    journal("SetWaitableTimer %lld resume", static_cast<long long>(dueTime->QuadPart));
    return static_cast<DWORD>(reading("wakeError", 0));
}

BOOL osWakeTimerFired(HANDLE timer) { return timer != nullptr && reading("wakeFired", 0) != 0; }

BOOL osCancelWakeTimer(HANDLE) { return journal("CancelWaitableTimer"); }

void osCloseWakeTimer(HANDLE timer)
{
    journal("CloseWakeTimer");
    CloseHandle(timer);
}

// "console" 1: started from a console, whose lines are journaled.
DWORD osConsoleOfParent() { return reading("console", 0) != 0 ? GetCurrentProcessId() : 0; }

BOOL osWriteConsoleLine(DWORD consoleProcess, const char* line) { return consoleProcess && journal("Console %s", line); }

BOOL osShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data)
{
    const char* const operations[] = {"add", "modify", "delete"};
    journal("Shell_NotifyIcon %s %u %s", operation < 3 ? operations[operation] : "?", data->uFlags,
            (data->uFlags & NIF_INFO) ? data->szInfo : (data->uFlags & NIF_TIP) ? data->szTip : "");
    // "trayHolds" 1: the first change of the tooltip waits until it is 0 again, and the messages
    // sent to the program meanwhile come in, as they do while Windows' call waits on a busy shell.
    static bool holding;
    if (operation == NIM_MODIFY && (data->uFlags & NIF_TIP) && !holding && reading("trayHolds", 0) != 0)
        for (MSG m; (holding = reading("trayHolds", 0) != 0); MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE))
            PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    // "trayAdd" 0: every add times out, as at a busy logon, though the shell has added
    // the icon; 2: there is no notification area at all.
    unsigned long long trayAdd = reading("trayAdd", 1);
    if (trayAdd == 2)
        return FALSE;
    BOOL done = Shell_NotifyIconA(operation, data);
    return operation == NIM_ADD && trayAdd == 0 ? FALSE : done;
}

// "ReportEvent Pelk 4 1000 Shutdown|...": the source, type, ID and strings.
void osReportEvent(WORD type, DWORD id, WORD count, const char** strings)
{
    char joined[2000] = "";
    for (WORD i = 0; i < count; ++i)
        std::snprintf(joined + lstrlenA(joined), sizeof joined - lstrlenA(joined), i == 0 ? "%s" : "|%s", strings[i]);
    journal("ReportEvent Pelk %u %lu %s", type, id, joined);
}

// "main" is the MainWindow; any other window is a dialog.
static const char* timerOwner(HWND window)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "PELKDLG") == 0 ? "main" : "dialog";
}

UINT_PTR osSetTimer(HWND window, UINT_PTR id, UINT periodMs)
{
    journal("SetTimer %s %u %u", timerOwner(window), static_cast<unsigned>(id), periodMs);
    return SetTimer(window, id, periodMs, nullptr);
}

BOOL osKillTimer(HWND window, UINT_PTR id)
{
    journal("KillTimer %s %u", timerOwner(window), static_cast<unsigned>(id));
    return KillTimer(window, id);
}

BOOL osGetSystemPowerStatus(SYSTEM_POWER_STATUS* status)
{
    if (reading("statusFails", 0))
        return FALSE;
    GetSystemPowerStatus(status);
    status->ACLineStatus = static_cast<BYTE>(reading("acLine", status->ACLineStatus));
    status->BatteryFlag = static_cast<BYTE>(reading("batteryFlag", status->BatteryFlag));
    status->BatteryLifePercent = static_cast<BYTE>(reading("batteryPercent", status->BatteryLifePercent));
    return TRUE;
}

// The tests send the notices themselves.
void osListenForBatteryChanges(HWND) {}

DWORD osGetLastInputTick()
{
    LASTINPUTINFO info = {sizeof info, 0};
    GetLastInputInfo(&info);
    return static_cast<DWORD>(reading("lastInputTick", info.dwTime));
}

DWORD osGetTickCount() { return static_cast<DWORD>(reading("tickCount", GetTickCount())); }

// "awakeMs", where a test gives one; else the system cannot tell, as before Windows 7.
BOOL osAwakeMs(ULONGLONG* ms)
{
    *ms = reading("awakeMs", ~0ull);
    return *ms != ~0ull;
}

void osGetSystemTimeAsFileTime(FILETIME* now)
{
    GetSystemTimeAsFileTime(now);
    ULARGE_INTEGER value = {{now->dwLowDateTime, now->dwHighDateTime}};
    value.QuadPart = reading("systemTime", value.QuadPart);
    *now = {value.LowPart, value.HighPart};
}

// The watch's: "processes" ("a.exe|b.exe", "*c.exe" of another session), "noSystemTimes" 1,
// "cpuIdle", "cpuKernel", "cpuUser", "netOctets".
#include <cstring>

BOOL osWalkProcesses(bool (*visit)(const char* name, bool ownSession, void* context), void* context)
{
    char path[MAX_PATH];
    char list[2000] = "";
    besideProgram("PowerReadings.ini", path);
    GetPrivateProfileStringA("readings", "processes", "", list, sizeof list, path);
    for (char* name = std::strtok(list, "|"); name != nullptr && visit(name + (*name == '*'), *name != '*', context);)
        name = std::strtok(nullptr, "|");
    return TRUE;
}

BOOL osGetSystemTimes(FILETIME* idle, FILETIME* kernel, FILETIME* user)
{
    journal("GetSystemTimes");  // the quiet readings are journaled
    FILETIME* times[] = {idle, kernel, user};
    const char* const keys[] = {"cpuIdle", "cpuKernel", "cpuUser"};
    for (int i = 0; i < 3; ++i)
        *times[i] = {static_cast<DWORD>(reading(keys[i], 0)), static_cast<DWORD>(reading(keys[i], 0) >> 32)};
    return reading("noSystemTimes", 0) == 0;
}

BOOL osGetInterfaceOctets(InterfaceOctets* out, DWORD, DWORD* count)
{
    journal("GetIfTable");
    *count = 1;
    out[0] = {1, 6, reading("netOctets", 0), 0, false, true};
    return TRUE;
}
