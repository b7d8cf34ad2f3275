// ControlTips: the one tooltip window through which every dialog gives its
// controls a one-line help text.
#pragma once
#include <windows.h>

void createControlTips();
// Adds a tool for the control of the dialog, with the static text given.
void addControlTip(HWND dialog, int controlId, const char* text);
// The same tip for a greyed control, which gets no mouse messages (its dialog does):
// also a tool of the dialog over the control's rectangle.
void addGreyedControlTip(HWND dialog, int controlId, const char* text);
// ... and both tools removed, when the control is enabled again.
void removeGreyedControlTip(HWND dialog, int controlId);
