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

static void journal(const char* format, ...)
{
    char line[1400];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(line, sizeof line - 2, format, arguments);
    va_end(arguments);
    length = length < 0 ? 0 : (length > static_cast<int>(sizeof line) - 3 ? sizeof line - 3 : length);
    line[length++] = '\r';
    line[length++] = '\n';
    char path[MAX_PATH];
    besideProgram("PowerJournal.txt", path);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    WriteFile(file, line, length, &written, nullptr);
    CloseHandle(file);
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

BOOL osExitWindowsEx(UINT flags, DWORD reason)
{
    journal("ExitWindowsEx %u %lu", flags, reason);
    return TRUE;
}

BOOL osSetSystemPowerState(BOOL suspend, BOOL force)
{
    journal("SetSystemPowerState %d %d", suspend, force);
    return TRUE;
}

BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds, BOOL force,
                              BOOL restart)
{
    journal("InitiateSystemShutdownA %s|%s|%lu|%d|%d", machine, message, timeoutSeconds, force, restart);
    return TRUE;
}

BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags)
{
    journal("SetProcessShutdownParameters %lu %lu", level, flags);
    return TRUE;
}

HANDLE osCreateWakeTimer()
{
    journal("CreateWaitableTimer");
    return CreateWaitableTimerA(nullptr, FALSE, nullptr);
}

BOOL osSetWakeTimer(HANDLE, const LARGE_INTEGER* dueTime)
{
    journal("SetWaitableTimer %lld resume", static_cast<long long>(dueTime->QuadPart));
    return TRUE;
}

BOOL osCancelWakeTimer(HANDLE)
{
    journal("CancelWaitableTimer");
    return TRUE;
}

void osCloseWakeTimer(HANDLE timer)
{
    journal("CloseWakeTimer");
    CloseHandle(timer);
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
    GetSystemPowerStatus(status);
    status->ACLineStatus = static_cast<BYTE>(reading("acLine", status->ACLineStatus));
    status->BatteryFlag = static_cast<BYTE>(reading("batteryFlag", status->BatteryFlag));
    status->BatteryLifePercent = static_cast<BYTE>(reading("batteryPercent", status->BatteryLifePercent));
    return TRUE;
}

DWORD osGetLastInputTick()
{
    LASTINPUTINFO info = {sizeof info, 0};
    GetLastInputInfo(&info);
    return static_cast<DWORD>(reading("lastInputTick", info.dwTime));
}

DWORD osGetTickCount() { return static_cast<DWORD>(reading("tickCount", GetTickCount())); }

void osGetSystemTimeAsFileTime(FILETIME* now)
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    SystemTimeToFileTime(&utc, now);
    unsigned long long real = (static_cast<unsigned long long>(now->dwHighDateTime) << 32) | now->dwLowDateTime;
    unsigned long long value = reading("systemTime", real);
    now->dwLowDateTime = static_cast<DWORD>(value);
    now->dwHighDateTime = static_cast<DWORD>(value >> 32);
}
