// The About box.
#pragma once
#include <windows.h>

// Shows the About box modally, owned by `owner`; callers open it only while aboutOpen is 0.
void showAboutBox(HWND owner);
