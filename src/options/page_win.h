// What every option page does alike: its controls read and written the same way,
// its tips, and the property sheet's notifications (the page protocol).
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

// The three prompt modes, as the Tray and Command pages list them.
extern const char* const promptModeEntries[3];

struct PageTip {
    int controlId;
    const char* text;
};

// Marks the sheet open; every page does this first when it is created.
void beginPage();
// Every page ends its creation so: its tips.
void endPage(HWND page, const PageTip* tips, size_t count);
void setBox(HWND page, int id, uint32_t field);
uint32_t boxState(HWND page, int id);
// Inserts each entry at its own index and selects `value` (none when out of range).
void fillList(HWND page, int id, const char* const* entries, int count, uint32_t value);
// The selected index, or `current` when nothing is selected.
uint32_t listSelection(HWND page, int id, uint32_t current);
void setNumber(HWND page, int id, uint32_t value);
// The unsigned decimal digits at the start of the box's text; 0 when there are none.
uint32_t readNumber(HWND page, int id);
void enable(HWND page, int id, bool on);

// A control that shows a field of the record (offset, size bytes), greyed with a tip
// that says so while a policy sets that field; policyRemoteName stands for the
// policy that forbids remote actions. A policy that changes while the page shows
// puts the field's value in effect into the control (a box checked when it is not 0,
// a drop-down list's entry, a number) unless the page shows it itself.
struct PolicyLock {
    int controlId;
    unsigned short offset;
    unsigned char size;
    bool shownByPage;
};
const unsigned short policyRemoteName = 0xFFFF;
#define POLICY_LOCK(id, field) {id, offsetof(Settings, field), sizeof(Settings::field), false}
#define POLICY_LOCK_SHOWN_BY_PAGE(id, field) {id, offsetof(Settings, field), sizeof(Settings::field), true}
// Every page ends its creation so; enable() leaves a control so greyed off. When a policy
// that changes while the page shows sets a field of it, or no longer sets one, `refresh`
// runs after the controls were greyed or enabled and their values shown: it applies the
// page's own enabling rules and shows what the page shows itself.
void lockPolicyControls(HWND page, const PolicyLock* locks, size_t count, void (*refresh)(HWND page));

// WM_NOTIFY of a page: PSN_SETACTIVE calls `shown` (may be null), PSN_KILLACTIVE
// calls `left` and saves the settings; both let the sheet go on. Others: nothing.
INT_PTR onPageNotify(HWND page, LPARAM lParam, void (*shown)(HWND), void (*left)(HWND));
