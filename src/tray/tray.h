// The notification-area icon.
#pragma once
#include <windows.h>

BOOL setTrayIcon(DWORD operation, const char* tip);
LRESULT onTrayMessage(WPARAM iconId, LPARAM mouseMessage);
