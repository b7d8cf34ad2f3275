// The About box.
#pragma once
#include <windows.h>

void showAboutBox(HWND owner);
