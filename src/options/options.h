// The options sheet and its seven pages.
#pragma once
#include <windows.h>

// Shows the sheet modally; when it closes with the tray icon switched off, the
// MainWindow is destroyed and the program ends.
INT_PTR showOptionsSheet(HWND mainWindow);

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
