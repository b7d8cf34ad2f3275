// The About box; it arrives with the about work.
#include "about/about.h"

void showAboutBox(HWND) {}
