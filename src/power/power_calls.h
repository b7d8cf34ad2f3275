// The one door to the operating system's power functions, the notification area,
// and the clock: the tick counts and the window timers that everything timed in
// Pelk rests on.
// Pelk.exe links the real one; the test build links a recording one that
// journals each call.
#pragma once
#include <windows.h>
#include <shellapi.h>

// The reason every shutdown gives: planned, "other" (SHTDN_REASON_FLAG_PLANNED |
// SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER). Windows 2000 ignores it.
const DWORD plannedShutdownReason = 0x80000000;

// The power calls answer FALSE on failure, with the error in GetLastError.
BOOL osExitWindowsEx(UINT flags, DWORD reason);
BOOL osSetSystemPowerState(BOOL suspend, BOOL force);
// Gives the reason where the system takes one (Windows XP and later).
BOOL osInitiateSystemShutdown(const char* machine, const char* message, DWORD timeoutSeconds,
                              BOOL force, BOOL restart, DWORD reason);
BOOL osSetProcessShutdownParameters(DWORD level, DWORD flags);
// What the computer can do; true where the system cannot tell.
void osGetSleepAbilities(bool* canSuspend, bool* canHibernate);
// Asks once for the system and the display (no lasting request), so that Windows does
// not send a computer woken by a timer back to sleep.
void osRequestSystemAndDisplay();
// Asks Windows to start Pelk again with these arguments when an installer's Restart
// Manager has closed it to replace its files (Vista on; nothing before).
void osRegisterRestart(const wchar_t* arguments);

// The sessions: this process's, the console's, whether this one is a remote session
// and, if so, whether its user is connected. known is false where the system has no
// sessions to ask about.
struct SessionReading {
    bool known;
    DWORD own;
    DWORD console;
    bool remote;
    bool remoteActive;
};
void osReadSessions(SessionReading* sessions);
// Whether a session other than this one has a user logged on, connected or not
// (Windows XP on; false where the system cannot tell).
bool osUserLoggedOnElsewhere();
// The system's execution state (ES_SYSTEM_REQUIRED, ES_DISPLAY_REQUIRED: what programs
// ask for) and the shell's user notification state (QUNS_*); 0 where unknown.
DWORD osExecutionState();
DWORD osUserNotificationState();

HANDLE osCreateWakeTimer();
// 0 when the timer is set to wake the computer, else why not (ERROR_NOT_SUPPORTED:
// set, but the computer will not wake).
DWORD osSetWakeTimer(HANDLE timer, const LARGE_INTEGER* dueTime);
// True once the timer's time has come.
BOOL osWakeTimerFired(HANDLE timer);
BOOL osCancelWakeTimer(HANDLE timer);
void osCloseWakeTimer(HANDLE timer);

BOOL osShellNotifyIcon(DWORD operation, NOTIFYICONDATAA* data);

// The process whose console this one was started from (cmd, PowerShell, a batch file):
// its parent, when that has a console; 0 otherwise (a shortcut, Explorer, Windows 2000).
DWORD osConsoleOfParent();
// Writes one line to the console of that process; FALSE when there is none (0).
BOOL osWriteConsoleLine(DWORD consoleProcess, const char* line);

// One entry in the Application log of Windows under the source "Pelk": its type
// (EVENTLOG_*_TYPE), the message's ID and `count` insertion strings. Whether it was
// written is not told: the log never holds up what it reports.
void osReportEvent(WORD type, DWORD id, WORD count, const char** strings);

// Window timers; a dialog's timers too.
UINT_PTR osSetTimer(HWND window, UINT_PTR id, UINT periodMs);
BOOL osKillTimer(HWND window, UINT_PTR id);

BOOL osGetSystemPowerStatus(SYSTEM_POWER_STATUS* status);
// Asks Windows (Vista and later) to tell `window` of each change of the battery's level
// and of the power source (WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE); older systems
// have no such notice.
void osListenForBatteryChanges(HWND window);
DWORD osGetLastInputTick();
DWORD osGetTickCount();
// How long the computer has been awake since it started, sleep and hibernation not
// counted (Windows 7 and later); FALSE where the system cannot tell.
BOOL osAwakeMs(ULONGLONG* ms);
void osGetSystemTimeAsFileTime(FILETIME* now);
// The local time, as the clock in the taskbar shows it.
#include "triggers/clock_rules.h"
void osGetLocalTime(WallTime* now);
// The system's own exclamation sound, at the start of a warning.
void osPlayWarningSound();
// Whether a file can be made in the folder (ending in a backslash).
BOOL osFolderWritable(const char* folder);
// Whether a high-contrast theme is on (SPI_GETHIGHCONTRAST, Windows 2000 on).
bool osHighContrast();

// The readings of the program watch and of the idle shutdown's quiet conditions.
#include "triggers/watch_rules.h"

// Calls `visit` with the file name of each running process, and whether it runs in this
// process's session, until it returns false; FALSE when the list cannot be had.
BOOL osWalkProcesses(bool (*visit)(const char* name, bool ownSession, void* context), void* context);
// The processor's idle, kernel (idle included) and user times; FALSE where the system lacks them.
BOOL osGetSystemTimes(FILETIME* idle, FILETIME* kernel, FILETIME* user);
// The octet counters of up to `most` network interfaces whose traffic counts; FALSE when
// the table cannot be had.
BOOL osGetInterfaceOctets(InterfaceOctets* out, DWORD most, DWORD* count);
