// The page protocol and the control helpers the option pages share.
#include "options/page_win.h"

#include <commctrl.h>

#include "app/control_tips.h"
#include "app/globals.h"
#include "app/text.h"
#include "options/option_rules.h"
#include "settings/policy.h"
#include "settings/settings_file.h"

const char* const promptModeEntries[3] = {"Just Shutdown", "Confirm", "Warn"};

void beginPage() { optionsOpen = 1; }

// Any switch that is not 0 acts as on, so it shows as on; boxState stores 0 or 1.
void setBox(HWND page, int id, uint32_t field) { CheckDlgButton(page, id, field != 0 ? BST_CHECKED : BST_UNCHECKED); }

uint32_t boxState(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0; }

void fillList(HWND page, int id, const char* const* entries, int count, uint32_t value)
{
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(page, id, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(entries[i]));
    SendDlgItemMessageA(page, id, CB_SETCURSEL, value < static_cast<uint32_t>(count) ? value : ~0u, 0);
}

uint32_t listSelection(HWND page, int id, uint32_t current)
{
    return selectedOr(static_cast<long>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)), current);
}

void setNumber(HWND page, int id, uint32_t value) { SetDlgItemInt(page, id, value, FALSE); }

uint32_t readNumber(HWND page, int id)
{
    char text[textSize] = "";
    GetDlgItemTextA(page, id, text, textSize);
    return leadingNumber(text);
}

// The open pages: their tips and locks, for a policy that changes while they show.
struct OpenPage {
    HWND page;
    const PageTip* tips;
    size_t tipCount;
    const PolicyLock* locks;
    size_t count;
    void (*refresh)(HWND);
    uint32_t locked;  // a bit for each lock that the policy set when last looked at
};
static OpenPage openPages[8];

static OpenPage& openPage(HWND page)
{
    size_t slot = 0;
    while (slot + 1 < sizeof openPages / sizeof openPages[0] && openPages[slot].page != page &&
           openPages[slot].page != nullptr && IsWindow(openPages[slot].page))
        ++slot;
    if (openPages[slot].page != page)
        openPages[slot] = {page, nullptr, 0, nullptr, 0, nullptr, 0};
    return openPages[slot];
}

static bool policySetsLock(const PolicyLock& lock)
{
    return lock.offset == policyRemoteName ? policySets(policy, policyNoRemote) : policyCovers(policy, lock.offset, lock.size);
}

static bool policySetsControl(HWND page, int id)
{
    for (const OpenPage& open : openPages) {
        for (size_t i = 0; open.page == page && i < open.count; ++i) {
            if (open.locks[i].controlId == id)
                return policySetsLock(open.locks[i]);
        }
    }
    return false;
}

void endPage(HWND page, const PageTip* tips, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        addControlTip(page, tips[i].controlId, tips[i].text);
    OpenPage& open = openPage(page);
    open.tips = tips;
    open.tipCount = count;
}

void enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on && !policySetsControl(page, id)); }

// The value in effect of the lock's field, in its control.
static void showField(HWND page, const PolicyLock& lock)
{
    if (lock.shownByPage || lock.offset == policyRemoteName)
        return;
    uint32_t value = 0;
    const unsigned char* field = reinterpret_cast<const unsigned char*>(&settings) + lock.offset;
    for (size_t i = lock.size; i-- > 0;)
        value = value << 8 | field[i];
    HWND control = GetDlgItem(page, lock.controlId);
    char kind[16] = "";
    GetClassNameA(control, kind, sizeof kind);
    if (lstrcmpiA(kind, "Button") == 0)
        setBox(page, lock.controlId, value);
    else if (lstrcmpiA(kind, "ComboBox") == 0 && (GetWindowLongA(control, GWL_STYLE) & 3) == CBS_DROPDOWNLIST)
        SendMessageA(control, CB_SETCURSEL, value, 0);
    else
        setNumber(page, lock.controlId, value);
}

// Greys what the policy sets with its tip; what it no longer sets gets its value and tip back.
static void applyLocks(OpenPage& open, bool refreshValues)
{
    uint32_t locked = 0;
    for (size_t i = 0; i < open.count && i < 32; ++i)
        locked |= uint32_t(policySetsLock(open.locks[i])) << i;
    const uint32_t changed = locked ^ open.locked;
    for (size_t i = 0; i < open.count && i < 32; ++i) {
        const int id = open.locks[i].controlId;
        if (refreshValues && (changed >> i & 1))
            showField(open.page, open.locks[i]);
        if (locked >> i & 1) {
            EnableWindow(GetDlgItem(open.page, id), FALSE);
            addGreyedControlTip(open.page, id, policyLockedTip);
        } else if (changed >> i & 1) {
            EnableWindow(GetDlgItem(open.page, id), TRUE);
            removeGreyedControlTip(open.page, id);
            for (size_t t = 0; t < open.tipCount; ++t) {
                if (open.tips[t].controlId == id)
                    addControlTip(open.page, id, open.tips[t].text);
            }
        }
    }
    open.locked = locked;
    if (refreshValues && changed != 0 && open.refresh != nullptr)
        open.refresh(open.page);
}

void lockPolicyControls(HWND page, const PolicyLock* locks, size_t count, void (*refresh)(HWND))
{
    OpenPage& open = openPage(page);
    open.locks = locks;
    open.count = count;
    open.refresh = refresh;
    open.locked = 0;
    applyLocks(open, false);
}

void lockOpenPages()
{
    for (OpenPage& open : openPages) {
        if (open.page != nullptr && IsWindow(open.page))
            applyLocks(open, true);
    }
}

INT_PTR onPageNotify(HWND page, LPARAM lParam, void (*shown)(HWND), void (*left)(HWND))
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == static_cast<UINT>(PSN_SETACTIVE) && shown != nullptr) {
        shown(page);
    } else if (header->code == static_cast<UINT>(PSN_KILLACTIVE)) {
        left(page);
        saveSettings();
    } else if (header->code != static_cast<UINT>(PSN_SETACTIVE)) {
        return TRUE;
    }
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}
