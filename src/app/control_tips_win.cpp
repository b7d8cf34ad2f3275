// ControlTips: one top-most tooltip window for the whole process; each dialog
// adds a tool per control when it opens.
#include "app/control_tips.h"

#include <commctrl.h>
#include <stddef.h>

#include "app/globals.h"

static HWND controlTips;

void createControlTips()
{
    // Registers the tooltip class (and loads the common controls the manifest binds).
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    controlTips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instanceHandle, nullptr);
}

// The tool record in the form every common-controls version since 4.70 understands
// (44 bytes on 32-bit Windows).
static const UINT toolInfoSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);  // TTTOOLINFOA_V2_SIZE
static_assert(sizeof(void*) == 8 || toolInfoSize == 44, "the 32-bit record");

// Tools of controls that are gone (a dialog closed since) are removed, so that a
// program that opens its dialogs for weeks keeps only the tools of live ones.
static void forgetGoneTools()
{
    for (LRESULT i = SendMessageA(controlTips, TTM_GETTOOLCOUNT, 0, 0) - 1; i >= 0; --i) {
        TOOLINFOA tool;
        ZeroMemory(&tool, sizeof tool);
        tool.cbSize = toolInfoSize;
        if (SendMessageA(controlTips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool)) && !IsWindow(tool.hwnd))
            SendMessageA(controlTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void addControlTip(HWND dialog, int controlId, const char* text)
{
    forgetGoneTools();
    HWND control = GetDlgItem(dialog, controlId);
    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = toolInfoSize;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.hinst = instanceHandle;
    tool.lpszText = const_cast<char*>(text);
    // A control given a new tip (the About box's button, view by view) keeps only that one.
    SendMessageA(controlTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(controlTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void removeGreyedControlTip(HWND dialog, int controlId)
{
    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = toolInfoSize;
    tool.hwnd = dialog;
    tool.uId = static_cast<UINT_PTR>(controlId);
    SendMessageA(controlTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.hwnd = GetDlgItem(dialog, controlId);
    tool.uId = reinterpret_cast<UINT_PTR>(tool.hwnd);
    SendMessageA(controlTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void addGreyedControlTip(HWND dialog, int controlId, const char* text)
{
    addControlTip(dialog, controlId, text);
    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = toolInfoSize;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = static_cast<UINT_PTR>(controlId);
    tool.hinst = instanceHandle;
    tool.lpszText = const_cast<char*>(text);
    GetWindowRect(GetDlgItem(dialog, controlId), &tool.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tool.rect), 2);
    SendMessageA(controlTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(controlTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}
