// The tray icon: adding, changing and removing it.
#include "tray/tray.h"

#include <shellapi.h>

#include "app/app.h"
#include "app/text.h"

// The Windows 2000 form of the record, understood by every shell since.
static const DWORD notifyIconDataSize = 488;

BOOL setTrayIcon(DWORD operation, const char* tip)
{
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = notifyIconDataSize;
    data.hWnd = mainWindow;
    data.uID = 0;
    data.uCallbackMessage = trayCallbackMessage;
    data.hIcon = smallIcon;
    data.uFlags = NIF_ICON;
    if (tip != nullptr) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        copyText(data.szTip, 128, tip);
    }
    return Shell_NotifyIconA(operation, &data);
}

// The tooltip, hover and click handling arrive with the tray menu.
LRESULT onTrayMessage(WPARAM, LPARAM) { return 0; }
