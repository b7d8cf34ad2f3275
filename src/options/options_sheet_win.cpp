// The options sheet: seven pages from one table, shown modally without an owner.
#include "options/options.h"

#include <commctrl.h>
#include <stddef.h>

#include "app/dpi.h"
#include "app/globals.h"
#include "resources/resource.h"
#include "settings/policy.h"

struct PageEntry {
    int templateId;
    DLGPROC procedure;
};

static const PageEntry pages[] = {
    {IDD_TRAY_PAGE, trayPageProc},       {IDD_COMMAND_PAGE, commandPageProc}, {IDD_IDLE_PAGE, idlePageProc},
    {IDD_BATTERY_PAGE, batteryPageProc}, {IDD_MISC_PAGE, miscPageProc},       {IDD_WATCH_PAGE, watchPageProc},
    {IDD_CLOCK_PAGE, clockPageProc},
};
static const int pageCount = sizeof pages / sizeof pages[0];

// The records in the forms that every common-controls version since 4.71 knows
// (PROPSHEETPAGEA_V2_SIZE and PROPSHEETHEADERA_V2_SIZE: 48 and 52 bytes on 32-bit
// Windows, larger on 64-bit Windows).
static const DWORD pageRecordSize = offsetof(PROPSHEETPAGEA, pszHeaderSubTitle) + sizeof(LPCSTR);
static const DWORD headerRecordSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
static_assert(sizeof(void*) == 8 || (pageRecordSize == 48 && headerRecordSize == 52), "the 32-bit records");

// The sheet opens where the user looks, not at the corner of the screen.
static int CALLBACK onSheetEvent(HWND sheet, UINT event, LPARAM)
{
    if (event == PSCB_INITIALIZED)
        centerOnPointerMonitor(sheet);
    return 0;
}

static PROPSHEETPAGEA pageRecords[pageCount];
static HPROPSHEETPAGE pageHandles[pageCount];
static PROPSHEETHEADERA header;

INT_PTR showOptionsSheet(HWND mainWindow)
{
    // The Battery page's "On Top" opens checked each time the options open, and what the
    // user then chooses holds while they stay open.
    settings.monitorOnTop = 1;
    // The pages that a policy hides are left out, in the same order as policyHideTrayPage on.
    UINT shown = 0;
    for (int i = 0; i < pageCount; ++i) {
        if (policySets(policy, static_cast<PolicyValueId>(policyHideTrayPage + i)))
            continue;
        ZeroMemory(&pageRecords[shown], sizeof pageRecords[shown]);
        pageRecords[shown].dwSize = pageRecordSize;
        pageRecords[shown].hInstance = instanceHandle;
        pageRecords[shown].pszTemplate = MAKEINTRESOURCEA(pages[i].templateId);
        pageRecords[shown].pfnDlgProc = pages[i].procedure;
        pageHandles[shown] = CreatePropertySheetPageA(&pageRecords[shown]);
        ++shown;
    }
    // Every page hidden: nothing to show, and without a tray icon nothing to stay for.
    if (shown == 0) {
        optionsOpen = 0;
        if (settings.trayIconEnabled == 0)
            DestroyWindow(mainWindow);
        return 0;
    }
    ZeroMemory(&header, sizeof header);
    header.dwSize = headerRecordSize;
    header.dwFlags = PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = onSheetEvent;
    header.hInstance = instanceHandle;
    header.pszCaption = "Pelk 1.4";
    header.nPages = shown;
    header.nStartPage = 0;
    header.phpage = pageHandles;
    INT_PTR result = PropertySheetA(&header);
    // Without a tray icon the options are the way out.
    if (settings.trayIconEnabled == 0)
        DestroyWindow(mainWindow);
    optionsOpen = 0;
    // What came due while the sheet showed is asked now.
    PostMessageA(mainWindow, agendaPokeMessage, 0, 0);
    return result;
}
