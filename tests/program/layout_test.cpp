// The dialogs of the program as its templates make them, at each scaling Windows offers:
// every label, box and button shows its whole text.
#include "pelk.h"

#include <algorithm>
#include <cstring>
#include <vector>

static INT_PTR CALLBACK noProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The template `id` of the program as a window of its own (pages too), with its font at
// `percent` of its size: what Windows makes of it at that scaling.
static HWND makeScaled(HMODULE program, int id, int percent)
{
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(id), RT_DIALOG);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(program, found));
    DWORD& style = *reinterpret_cast<DWORD*>(&copy[12]);
    style = (style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    WORD* p = reinterpret_cast<WORD*>(&copy[26]);  // menu, class, title, then the font's size
    for (int field = 0; field < 3; ++field)
        p += *p == 0xFFFF ? 2 : *p == 0 ? 1 : lstrlenW(reinterpret_cast<wchar_t*>(p)) + 1;
    *p = static_cast<WORD>(*p * percent / 100);
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(copy.data()), nullptr,
                                      noProcedure, 0);
}

// How many pixels wider or taller than its control a label's text is, in the control's font.
static int overflow(HWND control, int percent)
{
    char kind[8] = "", text[300] = "";
    GetClassNameA(control, kind, sizeof kind);
    GetWindowTextA(control, text, sizeof text);
    const LONG style = GetWindowLongA(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool button = lstrcmpiA(kind, "Button") == 0, box = button && type >= BS_CHECKBOX && type != BS_GROUPBOX;
    if (!button && (lstrcmpiA(kind, "Static") != 0 || (style & SS_TYPEMASK) > SS_RIGHT))
        return 0;  // lists, boxes, bars and icons hold no label
    RECT client{}, needed{};
    GetClientRect(control, &client);
    client.right -= (box ? 17 : button ? 8 : 0) * percent / 100;  // a check box's box and gap, a button's edges
    needed.right = client.right;
    HDC dc = GetDC(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_NOPREFIX | (button && !(style & BS_MULTILINE) ? DT_SINGLELINE : DT_WORDBREAK));
    ReleaseDC(control, dc);
    return std::max<int>({0, static_cast<int>(needed.right - client.right), static_cast<int>(needed.bottom - client.bottom)});
}

TEST(Layout, EveryLabelReadsWhole)
{
    LoadLibraryA("comctl32.dll");  // the monitor's bar, without slowing every test by importing it
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, "PelkTest.exe");
    HMODULE program = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (int id : {IDD_PROMPT, IDD_FORCE_PROMPT, IDD_SCHEDULE, IDD_MONITOR, IDD_TRAY_PAGE, IDD_COMMAND_PAGE, IDD_IDLE_PAGE,
                   IDD_BATTERY_PAGE, IDD_MISC_PAGE, IDD_WATCH_PAGE, IDD_CLOCK_PAGE, IDD_ABOUT, IDD_ALERTS}) {
        for (int percent : {100, 125, 150, 200}) {
            HWND dialog = makeScaled(program, id, percent);
            ASSERT_NE(nullptr, dialog) << id;
            // The longest texts that the program gives these while it runs.
            const int shownId = id == IDD_MONITOR ? IDC_MONITOR_STATE : id == IDD_PROMPT ? IDC_PROMPT_PUT_OFF : IDC_WATCH_ARM;
            if (id == IDD_WATCH_PAGE || id == IDD_MONITOR || id == IDD_PROMPT)
                SetDlgItemTextA(dialog, shownId, id == IDD_MONITOR ? "Battery Charging" : id == IDD_PROMPT ? "+120 min" : "Disarm");
            for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
                EXPECT_EQ(0, overflow(c, percent)) << "dialog " << id << " at " << percent << "%: " << textOf(c);
            DestroyWindow(dialog);
        }
    }
}
