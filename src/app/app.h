// The top of the house: start-up, the message loop, the MainWindow's procedure
// and the command line. Nothing below app/ includes this header.
#pragma once
#include <windows.h>

#include "app/globals.h"

// Start-up and the message loop.
void startApplication();
void runMessageLoop();
[[noreturn]] void endProcess();
void resolveDirectories();

// The MainWindow's window procedure, registered with the "PELKDLG" class.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Command line: decides how the program begins; may end the process.
void applyCommandLine();
