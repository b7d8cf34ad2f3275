// The notification-area icon.
#pragma once
#include <windows.h>

#include "app/look.h"

BOOL setTrayIcon(DWORD operation, const char* tip);
// Loads the icon at the size the notification area draws it at the DPI of now: at the
// start, when the DPI changes, and for a new taskbar.
void reloadTrayImage();
LRESULT onTrayMessage(WPARAM iconId, LPARAM mouseMessage);
// The charge level ("57"; "": no battery) in the tooltip, and on the icon when the
// switch is on (else Pelk's own picture). Both change only when the number or the switch does.
void showTrayLevel(const char* level);
// The number drawn as an icon of size x size pixels, whole pixels, no picture stretched:
// light digits on a dark square, or in high contrast the theme's text on its window colour.
HICON drawLevelIcon(const char* level, int size, const Look& look);
// The look may have changed (WM_SYSCOLORCHANGE, a WM_SETTINGCHANGE of the theme): the
// level on the icon is drawn again where its colours did.
void onLookChange();
// A balloon on the icon, without the shell's own sound; where the icon is switched off, on
// an icon of its own, which timer 14 takes away again.
void onBalloonIconTimer();
// A balloon on the icon, without the shell's own sound.
void showTrayBalloon(const char* title, const char* text, bool warning);
// A balloon on the icon: `text`, then the system's own words for `error` (0: none).
void showTrayNotice(const char* text, DWORD error);
// The system's own words for `error`, without the line break they end in; empty when it has none.
void describeError(DWORD error, char* out, DWORD outSize);
