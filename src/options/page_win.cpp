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

void endPage(HWND page, const PageTip* tips, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        addControlTip(page, tips[i].controlId, tips[i].text);
}

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

// The open pages and their locks, for a policy that changes while they show.
struct LockedPage {
    HWND page;
    const PolicyLock* locks;
    size_t count;
};
static LockedPage lockedPages[8];

static bool policySetsControl(HWND page, int id)
{
    for (const LockedPage& open : lockedPages) {
        for (size_t i = 0; open.page == page && i < open.count; ++i) {
            const PolicyLock& lock = open.locks[i];
            if (lock.controlId == id)
                return lock.offset == policyRemoteName ? policySets(policy, policyNoRemote)
                                                       : policyCovers(policy, lock.offset, lock.size);
        }
    }
    return false;
}

void enable(HWND page, int id, bool on) { EnableWindow(GetDlgItem(page, id), on && !policySetsControl(page, id)); }

void lockPolicyControls(HWND page, const PolicyLock* locks, size_t count)
{
    size_t slot = 0;
    while (slot + 1 < sizeof lockedPages / sizeof lockedPages[0] && lockedPages[slot].page != page &&
           IsWindow(lockedPages[slot].page))
        ++slot;
    lockedPages[slot] = {page, locks, count};
    for (size_t i = 0; i < count; ++i) {
        if (policySetsControl(page, locks[i].controlId)) {
            EnableWindow(GetDlgItem(page, locks[i].controlId), FALSE);
            addGreyedControlTip(page, locks[i].controlId, policyLockedTip);
        }
    }
}

void lockOpenPages()
{
    for (const LockedPage& open : lockedPages) {
        if (open.page != nullptr && IsWindow(open.page))
            lockPolicyControls(open.page, open.locks, open.count);
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
