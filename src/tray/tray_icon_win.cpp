// The tray icon: adding and removing it, its tooltip, hover detection, the
// left-click action and the pop-up menu.
#include "tray/tray.h"

#include <shellapi.h>
#include <stddef.h>

#include <cstring>

#include "app/dpi.h"
#include "app/globals.h"
#include "app/look_up.h"
#include "app/text.h"
#include "battery/battery.h"
#include "power/actions.h"
#include "power/power_calls.h"
#include "resources/resource.h"
#include "triggers/triggers.h"
#include "triggers/watch.h"
#include "tray/tray_rules.h"

// The Windows 2000 form of the record, understood by every shell since (488 bytes
// on 32-bit Windows).
static const DWORD notifyIconDataSize = offsetof(NOTIFYICONDATAA, guidItem);  // NOTIFYICONDATAA_V2_SIZE
static_assert(sizeof(void*) == 8 || notifyIconDataSize == 488, "the 32-bit record");
static const size_t tipLength = 127;

static DWORD lastTrayMessageTick;

// The icon at the size the notification area draws it now; null until first loaded.
static HICON trayImage;
// The charge level shown instead, and its picture; none while the text is empty.
static char levelShown[8];
static bool levelDrawn;  // the level is on the icon, not only in its tooltip
static HICON levelImage;
// The colours it was drawn in, digits and square.
static uint32_t levelColours[2];

static int trayImageSize()
{
    typedef int(WINAPI * MetricsForDpiProc)(int, UINT);
    MetricsForDpiProc metricsForDpi = lookUpFunction<MetricsForDpiProc>("USER32.dll", "GetSystemMetricsForDpi");
    return metricsForDpi != nullptr ? metricsForDpi(SM_CXSMICON, windowDpi(mainWindow)) : GetSystemMetrics(SM_CXSMICON);
}

static void drawLevelImage()
{
    if (levelImage != nullptr)
        DestroyIcon(levelImage);
    const Look look = currentLook();
    levelColours[0] = lookColour(look, iconDigits);
    levelColours[1] = lookColour(look, iconSquare);
    levelImage = levelShown[0] != '\0' && levelDrawn ? drawLevelIcon(levelShown, trayImageSize(), look) : nullptr;
}

// Windows sends such notices for many changes, and more than one for a change of the theme:
// the shell is given a new picture only when its colours differ.
void onLookChange()
{
    const Look look = currentLook();
    if (levelImage == nullptr ||
        (lookColour(look, iconDigits) == levelColours[0] && lookColour(look, iconSquare) == levelColours[1]))
        return;
    drawLevelImage();
    if (settings.trayIconEnabled)
        setTrayIcon(NIM_MODIFY, nullptr);
}

// The shell keeps a copy of the icon it was given, so the old one can go at once.
void reloadTrayImage()
{
    drawLevelImage();
    int size = trayImageSize();
    HICON loaded = static_cast<HICON>(
        LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_PELK), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (loaded == nullptr)
        return;
    if (trayImage != nullptr)
        DestroyIcon(trayImage);
    trayImage = loaded;
}

BOOL setTrayIcon(DWORD operation, const char* tip)
{
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = notifyIconDataSize;
    data.hWnd = mainWindow;
    data.uID = 0;
    data.uCallbackMessage = trayCallbackMessage;
    data.hIcon = levelImage != nullptr ? levelImage : trayImage != nullptr ? trayImage : smallIcon;
    data.uFlags = NIF_ICON;
    if (tip != nullptr) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        copyText(data.szTip, tipLength + 1, tip);
    }
    return osShellNotifyIcon(operation, &data);
}

static void refreshTooltip()
{
    char tip[textSize];
    agendaTooltip(agenda, settings, agendaNow(), tip, textSize);
    if (levelShown[0] != '\0') {
        appendText(tip, textSize, " - ");
        appendText(tip, textSize, levelShown);
        appendText(tip, textSize, "%");
    }
    setTrayIcon(NIM_MODIFY, tip);
}

void showTrayLevel(const char* level)
{
    const bool drawn = settings.trayShowsPercent != 0;
    if (std::strcmp(level, levelShown) == 0 && drawn == levelDrawn)
        return;
    copyText(levelShown, sizeof levelShown, level);
    levelDrawn = drawn;
    drawLevelImage();
    if (settings.trayIconEnabled)
        refreshTooltip();
}

// Messages that follow each other within the hover window open the monitor at the pointer.
static void detectHover()
{
    InterlockedExchange(&trayHoverSeen, 1);
    DWORD now = osGetTickCount();
    if (isHovering(now, lastTrayMessageTick) && monitorOpen == 0 && optionsOpen == 0) {
        POINT cursor = {0, 0};
        GetCursorPos(&cursor);
        setMonitorPosition(cursor.x, cursor.y);
        InterlockedExchange(&monitorHoverOpen, 1);
        PostMessageA(mainWindow, showMonitorMessage, 1, 0);
    }
    lastTrayMessageTick = now;
}

static void onTrayClick()
{
    switch (trayClickFor(settings.trayClickAction, promptOpen != 0, batteryPresent != 0, monitorOpen != 0)) {
    case clickSchedule: PostMessageA(mainWindow, WM_COMMAND, IDM_SCHEDULE, 0); break;
    case clickOptions: PostMessageA(mainWindow, openOptionsMessage, 0, 0); break;
    case clickMonitorOff:
        settings.monitorShowMode = 2;
        closeMonitor();
        break;
    case clickMonitorOn:
        settings.monitorShowMode = 1;
        PostMessageA(mainWindow, showMonitorMessage, 0, 0);
        break;
    case clickShowMonitor: PostMessageA(mainWindow, showMonitorMessage, 0, 0); break;
    case clickNothing: break;
    }
}

// Built afresh each time; the chosen item reaches the MainWindow as a menu command.
static void showTrayMenu()
{
    // What Abort Shutdown would cancel, each above it, greyed.
    char armed[agendaLinesMost][agendaLineSize];
    const AgendaTime now = agendaNow();
    const size_t armedCount = agendaLines(agenda, settings, now, armed);
    TrayMenuItem items[trayMenuMost];
    size_t count = buildTrayMenu(settings, agendaAbortable(agenda, settings, now), armed, armedCount, items);
    // What this computer cannot do is shown greyed: the user's choice of items stays.
    bool canSuspend = true;
    bool canHibernate = true;
    osGetSleepAbilities(&canSuspend, &canHibernate);
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < count; ++i) {
        UINT command = items[i].command;
        UINT flags = command != 0 ? MF_STRING : MF_SEPARATOR;
        if ((command >= IDM_POWER_OFF && command <= IDM_HIBERNATE &&
             !actionPossible(command - IDM_POWER_OFF, canSuspend, canHibernate)) ||
            command == trayMenuArmedLine)
            flags |= MF_GRAYED;
        AppendMenuA(menu, flags, command, items[i].text);
    }
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    SetForegroundWindow(mainWindow);
    TrackPopupMenu(menu, TPM_RIGHTALIGN, cursor.x, cursor.y, 0, mainWindow, nullptr);
    // Lets the menu close when the user clicks elsewhere.
    PostMessageA(mainWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

LRESULT onTrayMessage(WPARAM iconId, LPARAM mouseMessage)
{
    // Hovering opens the monitor only where the monitor is switched on.
    if (settings.monitorEnabled && settings.hoverShowsMonitor && batteryPresent)
        detectHover();
    else
        refreshTooltip();
    if (iconId != 0)
        return 0;
    if (mouseMessage == WM_RBUTTONDOWN)
        showTrayMenu();
    else if (mouseMessage == WM_LBUTTONDOWN)
        onTrayClick();
    return 0;
}

// A balloon needs an icon: where the user has switched it off, one of the balloon's own
// shows for a while.
static bool balloonIcon;

static void iconForBalloon()
{
    if (settings.trayIconEnabled != 0)
        return;
    if (!balloonIcon)
        balloonIcon = setTrayIcon(NIM_ADD, trayTipDefault) != FALSE;
    osSetTimer(mainWindow, balloonIconTimer, 30000);
}

void onBalloonIconTimer()
{
    osKillTimer(mainWindow, balloonIconTimer);
    if (balloonIcon && settings.trayIconEnabled == 0)
        setTrayIcon(NIM_DELETE, nullptr);
    balloonIcon = false;
}

void showTrayNotice(const char* text, DWORD error)
{
    iconForBalloon();
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = notifyIconDataSize;
    data.hWnd = mainWindow;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    data.uTimeout = 15000;
    copyText(data.szInfoTitle, sizeof data.szInfoTitle, trayTipDefault);
    copyText(data.szInfo, sizeof data.szInfo, text);
    char reason[sizeof data.szInfo] = "";
    if (error != 0)
        describeError(error, reason, sizeof reason);
    if (reason[0] != '\0') {
        appendText(data.szInfo, sizeof data.szInfo, ": ");
        appendText(data.szInfo, sizeof data.szInfo, reason);
    }
    osShellNotifyIcon(NIM_MODIFY, &data);
}

void showTrayBalloon(const char* title, const char* text, bool warning)
{
    iconForBalloon();
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = notifyIconDataSize;
    data.hWnd = mainWindow;
    data.uFlags = NIF_INFO;
    const DWORD noSound = 0x10;  // NIIF_NOSOUND: the exclamation plays only where the user asked for it
    data.dwInfoFlags = (warning ? NIIF_WARNING : NIIF_INFO) | noSound;
    data.uTimeout = 15000;
    copyText(data.szInfoTitle, sizeof data.szInfoTitle, title);
    copyText(data.szInfo, sizeof data.szInfo, text);
    osShellNotifyIcon(NIM_MODIFY, &data);
}

void describeError(DWORD error, char* out, DWORD outSize)
{
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, out,
                                  outSize, nullptr);
    if (outSize > 0 && length == 0)
        out[0] = '\0';
    // The system's sentence ends with a line break that a balloon or a line does not need.
    while (length > 0 && (out[length - 1] == '\r' || out[length - 1] == '\n'))
        out[--length] = '\0';
}
