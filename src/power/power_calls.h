// The one door to the operating system's power functions, the notification area,
// and the clock: the tick counts and the window timers that everything timed in
// Pelk rests on.
// Pelk.exe links the real one; the test build links a recording one that
// journals each call.
#pragma once
#include <windows.h>
#include <shellapi.h>

BOOL osExitWindowsEx(UINT flags, DWORD reason);
BOOL osSetSystemPowerState(BOOL suspend, BOOL force);
BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds,
                              BOOL force, BOOL restart);
BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags);

HANDLE osCreateWakeTimer();
BOOL osSetWakeTimer(HANDLE timer, const LARGE_INTEGER* dueTime);
BOOL osCancelWakeTimer(HANDLE timer);
void osCloseWakeTimer(HANDLE timer);

BOOL osShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data);

// Window timers; a dialog's timers too.
UINT_PTR osSetTimer(HWND window, UINT_PTR id, UINT periodMs);
BOOL osKillTimer(HWND window, UINT_PTR id);

BOOL osGetSystemPowerStatus(SYSTEM_POWER_STATUS* status);
DWORD osGetLastInputTick();
DWORD osGetTickCount();
void osGetSystemTimeAsFileTime(FILETIME* now);
