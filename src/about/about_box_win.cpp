// The About box: the version line and description, and an information box
// with one of two views: where the program and its data live, or a description
// of the system (which users who ask for help are asked to copy).
#include "about/about.h"

#include "app/control_tips.h"
#include "app/dpi.h"
#include "app/globals.h"
#include "app/shell.h"
#include "app/text.h"
#include "app/windows_version.h"
#include "resources/resource.h"

enum AboutView { progDirsView, diagnosticsView };

static const char* const viewEntries[] = {"Prog Dirs", "Diagnostics"};

static void viewText(int view, char* text)
{
    if (view == diagnosticsView) {
        describeWindowsVersion(text);
        return;
    }
    copyText(text, textSize, "Location of program:\r\n");
    appendText(text, textSize, programDir);
    appendText(text, textSize, "\r\n\r\nWhere program stores user data:\r\n");
    appendText(text, textSize, dataDir);
}

// The information box fills the space between the text rows and the bottom row, whose
// height in pixels follows the font as much as the scaling does.
static void placeInformationBox(HWND dialog)
{
    uint32_t dpi = windowDpi(dialog);
    RECT client = {0, 0, 0, 0}, bottomRow = {0, 0, 0, 0};
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_VIEW), &bottomRow);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bottomRow), 2);
    int32_t top = scaleForDpi(190, dpi), margin = scaleForDpi(5, dpi);
    MoveWindow(GetDlgItem(dialog, IDC_ABOUT_INFO), margin, top, client.right - 2 * margin,
               bottomRow.top - margin - top, TRUE);
}

static void showAboutView(HWND dialog, int view)
{
    placeInformationBox(dialog);
    SendDlgItemMessageA(dialog, IDC_ABOUT_VIEW, CB_SETCURSEL, view, 0);
    bool dirs = view == progDirsView;
    SetDlgItemTextA(dialog, IDC_ABOUT_ACTION, dirs ? "Open Dirs" : "Copy");
    addControlTip(dialog, IDC_ABOUT_ACTION,
                  dirs ? "Opens the directory where the program was installed as well as the directory where the "
                         "program data is stored."
                       : "Copies the description of the system to the clipboard");
    char text[textSize];
    viewText(view, text);
    SetDlgItemTextA(dialog, IDC_ABOUT_INFO, text);
}

static void copyToClipboard(HWND dialog, const char* text)
{
    size_t size = lstrlenA(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr || !OpenClipboard(dialog)) {
        GlobalFree(memory);
        return;
    }
    CopyMemory(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, memory) == nullptr)
        GlobalFree(memory);
    CloseClipboard();
}

static int currentView(HWND dialog)
{
    return SendDlgItemMessageA(dialog, IDC_ABOUT_VIEW, CB_GETCURSEL, 0, 0) == diagnosticsView ? diagnosticsView
                                                                                              : progDirsView;
}

static void onAboutAction(HWND dialog)
{
    if (currentView(dialog) == diagnosticsView) {
        char text[textSize];
        viewText(diagnosticsView, text);
        copyToClipboard(dialog, text);
        return;
    }
    openInShell(programDir);
    openInShell(dataDir);
    showAboutView(dialog, progDirsView);
}

static void onAboutInit(HWND dialog)
{
    aboutOpen = 1;
    centerOnPointerMonitor(dialog);
    for (int i = 0; i < 2; ++i)
        SendDlgItemMessageA(dialog, IDC_ABOUT_VIEW, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(viewEntries[i]));
    showAboutView(dialog, progDirsView);
}

// Close, Enter and Esc end the box, as they end every other dialog of Pelk.
static INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        onAboutInit(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        aboutOpen = 0;
        EndDialog(dialog, 0);
        break;
    case IDC_ABOUT_VIEW: showAboutView(dialog, currentView(dialog)); break;
    case IDC_ABOUT_ACTION: onAboutAction(dialog); break;
    }
    return TRUE;
}

void showAboutBox(HWND owner)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutBoxProc, 0);
}
