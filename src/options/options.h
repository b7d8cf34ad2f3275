// The options sheet.
#pragma once
#include <windows.h>

void showOptionsSheet(HWND owner);
