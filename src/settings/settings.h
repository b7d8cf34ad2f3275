// The persisted options record: one 1000-byte block with a fixed layout, its
// defaults, and the codec of the settings file "dPelk.dat" (8-byte header + block).
#pragma once
#include <cstddef>
#include <cstdint>

struct Settings {
    char remoteComputerName[600];
    uint32_t chargedPercent;
    uint32_t monitorShowMode;
    uint32_t scheduleMinutes;
    uint32_t scheduleAction;
    uint32_t monitorLocation;
    uint32_t trayClickAction;
    uint32_t batteryStepPercent;
    uint32_t commandAction;
    uint32_t commandWarnSeconds;
    uint32_t trayWarnSeconds;
    uint32_t commandPromptMode;
    uint32_t trayPromptMode;
    uint32_t trayIconEnabled;
    uint32_t idleMinutes;
    uint32_t idleAction;
    uint32_t idleResumeMinutes;
    uint32_t reserved;
    uint32_t hoverShowsMonitor;
    uint32_t autoStart;
    uint32_t menuShowSchedule;
    uint32_t monitorOnTop;
    uint32_t forceAction;
    uint32_t commandForce;
    uint32_t monitorEnabled;
    uint32_t logEvents;
    uint32_t idleForce;
    uint32_t idleEnabled;
    uint32_t monitorTransparent;
    uint32_t idleResumeEnabled;
    int32_t monitorLeft;
    int32_t monitorTop;
    uint32_t menuShowPowerOff;
    uint32_t menuShowHibernate;
    uint32_t menuShowRestart;
    uint32_t menuShowShutdown;
    uint32_t menuShowLogOff;
    uint32_t menuShowSuspend;
    uint32_t scheduleResumeEnabled;
    uint32_t scheduleResumeMinutes;
    // Later fields, in bytes that older files hold as zeros: each 0 keeps the older behaviour.
    uint32_t idleIgnoresKeepAwake;  // 1: a minute is idle by input alone
    uint32_t watchAction;           // what the program watch performs, a PowerAction 0 to 5
    uint32_t quietCpuPercent;       // idle minutes need processor use below this; 0: not used
    uint32_t quietNetworkKBps;      // ... and network traffic below this; 0: not used
    char watchProgram[208];         // the watched program's file name, terminated
    uint16_t clockMinute;           // the clock schedule's time, minute of the day + 1; 0: none
    uint8_t clockAction;            // its PowerAction 0 to 5
    uint8_t clockDays;              // the days it repeats on, bit 0 Sunday to bit 6 Saturday; 0: once
    uint32_t clockOnceDate;         // once: the day it is due, as yyyymmdd
    uint8_t putOffMinutes;          // what the prompt's put-off button adds, 1 to 120; 0: 10
    uint8_t warningSound;           // 1: the system's exclamation sound when a warning begins
    uint8_t lowAlertPercent;        // a balloon on battery at or below this level; 0: none
    uint8_t chargedAlertPercent;    // a balloon on mains at or above this level; 0: none
    uint8_t lowAlertAction;         // then 1 Suspend, 2 Hibernate, 3 Shutdown, 4 Power Off; 0: none
    uint8_t trayShowsPercent;       // 1: the tray icon shows the charge level
    uint16_t clockDoneDay;          // the last day the repeated clock time acted, was missed or skipped; 0: none
    uint16_t onceMinute;            // "/time": a one-off beside the clock time, minute of the day + 1, action << 12
    uint16_t onceDay;               // ... on this day; days are counted from 1 January 2000
};

// The file and every reader rely on this exact layout.
static_assert(sizeof(Settings) == 1000, "Settings must be 1000 bytes");
static_assert(offsetof(Settings, chargedPercent) == 600, "layout");
static_assert(offsetof(Settings, monitorShowMode) == 604, "layout");
static_assert(offsetof(Settings, scheduleMinutes) == 608, "layout");
static_assert(offsetof(Settings, scheduleAction) == 612, "layout");
static_assert(offsetof(Settings, monitorLocation) == 616, "layout");
static_assert(offsetof(Settings, trayClickAction) == 620, "layout");
static_assert(offsetof(Settings, batteryStepPercent) == 624, "layout");
static_assert(offsetof(Settings, commandAction) == 628, "layout");
static_assert(offsetof(Settings, commandWarnSeconds) == 632, "layout");
static_assert(offsetof(Settings, trayWarnSeconds) == 636, "layout");
static_assert(offsetof(Settings, commandPromptMode) == 640, "layout");
static_assert(offsetof(Settings, trayPromptMode) == 644, "layout");
static_assert(offsetof(Settings, trayIconEnabled) == 648, "layout");
static_assert(offsetof(Settings, idleMinutes) == 652, "layout");
static_assert(offsetof(Settings, idleAction) == 656, "layout");
static_assert(offsetof(Settings, idleResumeMinutes) == 660, "layout");
static_assert(offsetof(Settings, reserved) == 664, "layout");
static_assert(offsetof(Settings, hoverShowsMonitor) == 668, "layout");
static_assert(offsetof(Settings, autoStart) == 672, "layout");
static_assert(offsetof(Settings, menuShowSchedule) == 676, "layout");
static_assert(offsetof(Settings, monitorOnTop) == 680, "layout");
static_assert(offsetof(Settings, forceAction) == 684, "layout");
static_assert(offsetof(Settings, commandForce) == 688, "layout");
static_assert(offsetof(Settings, monitorEnabled) == 692, "layout");
static_assert(offsetof(Settings, logEvents) == 696, "layout");
static_assert(offsetof(Settings, idleForce) == 700, "layout");
static_assert(offsetof(Settings, idleEnabled) == 704, "layout");
static_assert(offsetof(Settings, monitorTransparent) == 708, "layout");
static_assert(offsetof(Settings, idleResumeEnabled) == 712, "layout");
static_assert(offsetof(Settings, monitorLeft) == 716, "layout");
static_assert(offsetof(Settings, monitorTop) == 720, "layout");
static_assert(offsetof(Settings, menuShowPowerOff) == 724, "layout");
static_assert(offsetof(Settings, menuShowHibernate) == 728, "layout");
static_assert(offsetof(Settings, menuShowRestart) == 732, "layout");
static_assert(offsetof(Settings, menuShowShutdown) == 736, "layout");
static_assert(offsetof(Settings, menuShowLogOff) == 740, "layout");
static_assert(offsetof(Settings, menuShowSuspend) == 744, "layout");
static_assert(offsetof(Settings, scheduleResumeEnabled) == 748, "layout");
static_assert(offsetof(Settings, scheduleResumeMinutes) == 752, "layout");
static_assert(offsetof(Settings, idleIgnoresKeepAwake) == 756, "layout");
static_assert(offsetof(Settings, watchAction) == 760, "layout");
static_assert(offsetof(Settings, quietCpuPercent) == 764, "layout");
static_assert(offsetof(Settings, quietNetworkKBps) == 768, "layout");
static_assert(offsetof(Settings, watchProgram) == 772, "layout");
static_assert(offsetof(Settings, clockMinute) == 980, "layout");
static_assert(offsetof(Settings, clockAction) == 982, "layout");
static_assert(offsetof(Settings, clockDays) == 983, "layout");
static_assert(offsetof(Settings, clockOnceDate) == 984, "layout");
static_assert(offsetof(Settings, putOffMinutes) == 988, "layout");
static_assert(offsetof(Settings, warningSound) == 989, "layout");
static_assert(offsetof(Settings, lowAlertPercent) == 990, "layout");
static_assert(offsetof(Settings, chargedAlertPercent) == 991, "layout");
static_assert(offsetof(Settings, lowAlertAction) == 992, "layout");
static_assert(offsetof(Settings, trayShowsPercent) == 993, "layout");
static_assert(offsetof(Settings, clockDoneDay) == 994, "layout");
static_assert(offsetof(Settings, onceMinute) == 996, "layout");
static_assert(offsetof(Settings, onceDay) == 998, "layout");

// The one process-global record (zero-filled until loadSettings runs).
extern Settings settings;

// Every field that has a default, then the later defaults.
void applyDefaults(Settings& s);
// The defaults of the fields that files older than version 30 did not have.
void applyLaterDefaults(Settings& s);

// Settings file: magic "Pelk1", three version digits, then the block.
const size_t settingsHeaderSize = 8;
const size_t settingsFileSize = settingsHeaderSize + sizeof(Settings);
const uint32_t headerCurrent = 1000;
const uint32_t headerBadMagic = 1001;
extern const char settingsFileName[];     // "dPelk.dat"
extern const char settingsFileHeader[];   // "Pelk1300", 8 bytes, no terminator used

// Classifies the first bytes of a file (fewer than 8 count as zero bytes):
// headerCurrent, headerBadMagic, or the version number 0 to 999.
uint32_t classifySettingsHeader(const unsigned char* bytes, size_t length);

// Applies a settings file's bytes to the record exactly as loading does: the
// full defaults for a bad magic, otherwise the block as far as the file reaches
// over what the record held, then the later defaults for versions below 30.
// A remote computer name without a terminator is cut at byte 599.
void decodeSettingsFile(const unsigned char* bytes, size_t length, Settings& s);

// The 1008 bytes that a save writes.
void encodeSettingsFile(const Settings& s, unsigned char out[settingsFileSize]);
