// The real power layer: straight calls of Windows.
#include "power/power_calls.h"

BOOL osExitWindowsEx(UINT flags, DWORD reason) { return ExitWindowsEx(flags, reason); }

BOOL osSetSystemPowerState(BOOL suspend, BOOL force) { return SetSystemPowerState(suspend, force); }

BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds,
                              BOOL force, BOOL restart)
{
    return InitiateSystemShutdownA(const_cast<char*>(machine), const_cast<char*>(message),
                                   timeoutSeconds, force, restart);
}

BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags)
{
    return SetProcessShutdownParameters(level, flags);
}

HANDLE osCreateWakeTimer() { return CreateWaitableTimerA(nullptr, FALSE, nullptr); }

BOOL osSetWakeTimer(HANDLE timer, const LARGE_INTEGER* dueTime)
{
    return SetWaitableTimer(timer, dueTime, 0, nullptr, nullptr, TRUE);
}

BOOL osCancelWakeTimer(HANDLE timer) { return CancelWaitableTimer(timer); }

void osCloseWakeTimer(HANDLE timer) { CloseHandle(timer); }

BOOL osShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(operation, data); }

UINT_PTR osSetTimer(HWND window, UINT_PTR id, UINT periodMs) { return SetTimer(window, id, periodMs, nullptr); }

BOOL osKillTimer(HWND window, UINT_PTR id) { return KillTimer(window, id); }

BOOL osGetSystemPowerStatus(SYSTEM_POWER_STATUS* status) { return GetSystemPowerStatus(status); }

DWORD osGetLastInputTick()
{
    LASTINPUTINFO info = {sizeof info, 0};
    GetLastInputInfo(&info);
    return info.dwTime;
}

DWORD osGetTickCount() { return GetTickCount(); }

void osGetSystemTimeAsFileTime(FILETIME* now)
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    SystemTimeToFileTime(&utc, now);
}
