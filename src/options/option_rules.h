// What the option pages decide: the clamps of their number boxes, the enable
// rules of each page, and the text of the start-with-Windows value.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

enum NumberBox { trayWarnBox, commandWarnBox, idleMinutesBox, idleResumeBox, batteryStepBox, chargedBox };
// A number read from a box, brought into its field's range.
uint32_t clampNumber(NumberBox box, uint32_t typed);

// The list's selection, or the field unchanged when the list has none (only a
// damaged settings file brings a value that no entry shows).
uint32_t selectedOr(long selection, uint32_t current);

struct TrayPageEnabling {
    bool menuBoxes;     // the click list and the seven "Functions to show"
    bool promptAndForce;
    bool warnSeconds;
};
TrayPageEnabling trayPageEnabling(const Settings& s);

struct CommandPageEnabling {
    bool warnSeconds;
    bool remoteName;
};
CommandPageEnabling commandPageEnabling(const Settings& s);

struct IdlePageEnabling {
    bool actionForceMinutes;
    bool resumeBox;
    bool resumeMinutes;
};
IdlePageEnabling idlePageEnabling(const Settings& s);

struct BatteryPageEnabling {
    bool monitorControls;  // location, both show modes, "Trans", the charged percentage
    bool onTop;
    bool hoverAndStep;
};
BatteryPageEnabling batteryPageEnabling(const Settings& s, bool batteryPresent);

// The Run value: the program's own path, in double quotes when it holds a space
// (else Windows may try C:\Program.exe first), then " /q".
void startupCommand(const char* programPath, char* out, size_t outSize);

// The force flag of a command-line action: the Command page's "Force Shutdown" forces it too.
uint32_t commandForceFlag(const Settings& s);
