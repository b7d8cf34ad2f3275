// The process-wide state that every window of Pelk shares: handles, directories,
// the MainWindow's message and timer numbers, and the guard flags. It declares
// nothing else, so that every module can include it without reaching up into
// start-up and the MainWindow.
#pragma once
#include <windows.h>

#include "settings/settings.h"

const size_t textSize = 600;

// Custom messages of the MainWindow.
const UINT trayCallbackMessage = 1029;
const UINT openOptionsMessage = 1031;
// "/exit" of a second start: close what shows, save, end.
const UINT exitRequestMessage = 1032;
// A remote action's thread has its computer's answer: wParam the run and computer, lParam the error.
const UINT remoteAnswerMessage = 1033;
const UINT showMonitorMessage = 2005;
// The agenda's prompt of what came due, posted; and a look once a window it waited for has closed.
const UINT agendaAskMessage = 1034;
const UINT agendaPokeMessage = 1035;

// MainWindow timers.
const UINT_PTR startupTimer = 1;
const UINT_PTR forceFallbackTimer = 5;
const UINT_PTR forcedRetryTimer = 6;
const UINT_PTR batteryPollTimer = 7;
// The agenda's one timer, at the next moment it needs: a countdown's end, a clock
// time's minute, the idle shutdown's minute, the watch's look, a put-off's end.
const UINT_PTR agendaTimer = 8;
const UINT_PTR trayRetryTimer = 10;
const UINT_PTR slamEndTimer = 11;
// A balloon shown where the tray icon is switched off: its icon goes again.
const UINT_PTR balloonIconTimer = 14;
const UINT_PTR remoteTimer = 16;

extern HINSTANCE instanceHandle;
extern char programDir[textSize];
extern char dataDir[textSize];
extern HICON smallIcon;
extern HICON largeIcon;
extern HWND mainWindow;
extern DWORD lastActivityTick;
extern UINT taskbarCreatedMsg;

// Guard and state flags: aligned 32-bit words, 0 or 1. Those the monitor thread
// shares are written with the interlocked functions.
extern volatile LONG optionsOpen;
extern volatile LONG aboutOpen;
extern volatile LONG promptOpen;
extern volatile LONG monitorOpen;
extern volatile LONG monitorHoverOpen;
extern volatile LONG trayHoverSeen;
extern volatile LONG batteryPresent;
extern DWORD lastBatteryPercent;
