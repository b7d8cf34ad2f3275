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

// Appends one line to the journal; TRUE, what the recorded call then answers.
static BOOL journal(const char* format, ...)
{
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

BOOL osExitWindowsEx(UINT flags, DWORD reason) { return journal("ExitWindowsEx %u %lu", flags, reason); }

BOOL osSetSystemPowerState(BOOL suspend, BOOL force) { return journal("SetSystemPowerState %d %d", suspend, force); }

BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds, BOOL force,
                              BOOL restart)
{
    return journal("InitiateSystemShutdownA %s|%s|%lu|%d|%d", machine, message, timeoutSeconds, force, restart);
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

BOOL osSetWakeTimer(HANDLE, const LARGE_INTEGER* dueTime)
{
    return journal("SetWaitableTimer %lld resume", static_cast<long long>(dueTime->QuadPart));
}

BOOL osCancelWakeTimer(HANDLE) { return journal("CancelWaitableTimer"); }

void osCloseWakeTimer(HANDLE timer)
{
    journal("CloseWakeTimer");
    CloseHandle(timer);
}

BOOL osShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data)
{
    const char* const operations[] = {"add", "modify", "delete"};
    journal("Shell_NotifyIcon %s %u %s", operation < 3 ? operations[operation] : "?", data->uFlags,
            (data->uFlags & NIF_TIP) ? data->szTip : "");
    return Shell_NotifyIconA(operation, data);
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

DWORD osGetLastInputTick()
{
    LASTINPUTINFO info = {sizeof info, 0};
    GetLastInputInfo(&info);
    return static_cast<DWORD>(reading("lastInputTick", info.dwTime));
}

DWORD osGetTickCount() { return static_cast<DWORD>(reading("tickCount", GetTickCount())); }

void osGetSystemTimeAsFileTime(FILETIME* now)
{
    GetSystemTimeAsFileTime(now);
    ULARGE_INTEGER value = {{now->dwLowDateTime, now->dwHighDateTime}};
    value.QuadPart = reading("systemTime", value.QuadPart);
    *now = {value.LowPart, value.HighPart};
}
