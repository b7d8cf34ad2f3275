// The top of the house: start-up, the message loop, the MainWindow's procedure
// and the command line. Nothing below app/ includes this header.
#pragma once
#include <windows.h>

#include "app/globals.h"

// Start-up and the message loop.
void startApplication();
void runMessageLoop();
[[noreturn]] void endProcess();
// Ends with a failed call's Windows error; 0 ends as endProcess does.
[[noreturn]] void endProcessWith(DWORD error);
void resolveDirectories();

// The MainWindow's window procedure, registered with the "PELKDLG" class.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command line: decides how the program begins; may end the process.
void applyCommandLine();
// A slam handed over by a second start whose console (when it has one) is that of the
// process consoleProcess, typed in folder (null when not known): its answer (hand_over.h).
DWORD runHandedOverSlam(const char* commandLine, DWORD consoleProcess, const char* folder);
// Timer 11: a refused slam of this copy's own start ends, its refusal shown.
void onSlamEndTimer();
