// Process-wide state of the running program, shared by its windows, and the
// MainWindow's own message numbers.
#pragma once
#include <windows.h>

#include "settings/settings.h"

const size_t textSize = 600;

// Custom messages of the MainWindow.
const UINT trayCallbackMessage = 1029;
const UINT openOptionsMessage = 1031;
const UINT showMonitorMessage = 2005;

// MainWindow timers.
const UINT_PTR startupTimer = 1;
const UINT_PTR idleTimer = 2;
const UINT_PTR forceFallbackTimer = 5;
const UINT_PTR forcedRetryTimer = 6;
const UINT_PTR batteryPollTimer = 7;
const UINT_PTR scheduleTimer = 8;

extern HINSTANCE instanceHandle;
extern char programDir[textSize];
extern char dataDir[textSize];
extern HICON smallIcon;
extern HICON largeIcon;
extern HWND controlTips;
extern HWND mainWindow;
extern DWORD lastActivityTick;
extern UINT taskbarCreatedMsg;

// Guard and state flags: plain aligned 32-bit words, 0 or 1.
extern volatile LONG optionsOpen;
extern volatile LONG aboutOpen;
extern volatile LONG promptOpen;
extern volatile LONG monitorOpen;
extern volatile LONG monitorHoverOpen;
extern volatile LONG trayHoverSeen;
extern volatile LONG scheduleActive;
extern volatile LONG batteryPresent;
extern DWORD lastBatteryPercent;

// Start-up and the message loop.
void startApplication();
void runMessageLoop();
[[noreturn]] void endProcess();
DWORD describeWindowsVersion(char* text);
void resolveDirectories();
void addControlTip(HWND dialog, int controlId, const char* text);

// The MainWindow's window procedure, registered with the "PELKDLG" class.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command line: decides how the program begins; may end the process.
void applyCommandLine();

// Opens a file or folder with the program the shell associates with it.
void openInShell(const char* path);
void openReadMe();
