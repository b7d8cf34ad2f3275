// The recording power layer of the test build: every call is appended, with
// its arguments, to "PowerJournal.txt"; the readings (tick counts, battery,
// system time) come from "PowerReadings.ini" when a test has set them there.
#include <cstdio>

#include "power/power_calls.h"
#include "app/text.h"
#include "support/recording.h"

static char folder[MAX_PATH];

void setRecordingDirectory(const char* path) { copyText(folder, sizeof folder, path); }

static void filePath(const char* name, char* path)
{
    if (folder[0] == '\0') {
        GetModuleFileNameA(nullptr, folder, sizeof folder);
        stripFileName(folder);
    }
    copyText(path, MAX_PATH, folder);
    appendText(path, MAX_PATH, name);
}

static void journal(const char* line)
{
    char path[MAX_PATH];
    filePath("PowerJournal.txt", path);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}

// A reading the test has set, or `fallback`.
static unsigned long long reading(const char* key, unsigned long long fallback)
{
    char path[MAX_PATH];
    filePath("PowerReadings.ini", path);
    char text[64];
    GetPrivateProfileStringA("readings", key, "", text, sizeof text, path);
    if (text[0] == '\0')
        return fallback;
    unsigned long long value = 0;
    std::sscanf(text, "%llu", &value);
    return value;
}

BOOL osExitWindowsEx(UINT flags, DWORD reason)
{
    char line[80];
    std::snprintf(line, sizeof line, "ExitWindowsEx %u %lu", flags, reason);
    journal(line);
    return TRUE;
}

BOOL osSetSystemPowerState(BOOL suspend, BOOL force)
{
    char line[80];
    std::snprintf(line, sizeof line, "SetSystemPowerState %d %d", suspend, force);
    journal(line);
    return TRUE;
}

BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds,
                              BOOL force, BOOL restart)
{
    char line[1400];
    std::snprintf(line, sizeof line, "InitiateSystemShutdownA %s|%s|%lu|%d|%d", machine ? machine : "(local)",
                  message, timeoutSeconds, force, restart);
    journal(line);
    return TRUE;
}

BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags)
{
    char line[80];
    std::snprintf(line, sizeof line, "SetProcessShutdownParameters %lu %lu", level, flags);
    journal(line);
    return TRUE;
}

HANDLE osCreateWakeTimer()
{
    journal("CreateWaitableTimer");
    return CreateWaitableTimerA(nullptr, FALSE, nullptr);
}

BOOL osSetWakeTimer(HANDLE, const LARGE_INTEGER* dueTime)
{
    char line[80];
    std::snprintf(line, sizeof line, "SetWaitableTimer %lld resume", static_cast<long long>(dueTime->QuadPart));
    journal(line);
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
