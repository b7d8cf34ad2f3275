// The options sheet and its seven pages.
#pragma once
#include <windows.h>

// Shows the sheet modally; when it closes with the tray icon switched off, the
// MainWindow is destroyed and the program ends.
INT_PTR showOptionsSheet(HWND mainWindow);
// The start-with-Windows value follows a policy that sets it, at start and at a policy
// change, and the user's own choice again when such a policy went (wasSet).
void followAutoStartPolicy(bool wasSet);
// A policy changed while the options show: what it now sets is greyed.
void lockOpenPages();

// The page procedures, reached only through the sheet.
INT_PTR CALLBACK trayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK commandPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK idlePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK batteryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The battery alerts and the level on the tray icon, from the Battery page's "Alerts..." button.
void showAlertsDialog(HWND owner);
INT_PTR CALLBACK miscPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK watchPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK clockPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
