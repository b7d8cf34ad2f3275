// The options sheet; its pages arrive with the options work.
#include "options/options.h"

void showOptionsSheet(HWND) {}
