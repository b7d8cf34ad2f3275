// The notification-area icon.
#pragma once
#include <windows.h>

BOOL setTrayIcon(DWORD operation, const char* tip);
LRESULT onTrayMessage(WPARAM iconId, LPARAM mouseMessage);
// A balloon on the icon: `text`, then the system's own words for `error` (0: none).
void showTrayNotice(const char* text, DWORD error);
