// Defaults and the byte codec of the settings file.
#include "settings/settings.h"

#include <cstring>

Settings settings;

const char settingsFileName[] = "dPelk.dat";
const char settingsFileHeader[] = "Pelk1300";

void applyLaterDefaults(Settings& s)
{
    s.monitorTransparent = 0;
    s.idleResumeMinutes = 120;
    s.menuShowShutdown = 0;
    s.menuShowLogOff = 0;
    s.menuShowSuspend = 0;
    s.menuShowSchedule = 1;
    s.menuShowHibernate = 1;
    s.menuShowRestart = 1;
    s.menuShowPowerOff = 1;
    s.scheduleResumeEnabled = 0;
    s.scheduleResumeMinutes = 120;
}

void applyDefaults(Settings& s)
{
    std::memset(s.remoteComputerName, 0, sizeof s.remoteComputerName);
    std::memcpy(s.remoteComputerName, "Mr Computer", sizeof "Mr Computer");
    s.chargedPercent = 97;
    s.monitorShowMode = 1;
    s.scheduleMinutes = 5;
    s.scheduleAction = 3;
    s.monitorLocation = 1;
    s.trayClickAction = 3;
    s.batteryStepPercent = 5;
    s.commandAction = 3;
    s.commandWarnSeconds = 5;
    s.trayWarnSeconds = 5;
    s.commandPromptMode = 2;
    s.trayPromptMode = 2;
    s.trayIconEnabled = 1;
    s.idleMinutes = 60;
    s.idleAction = 3;
    s.idleResumeMinutes = 120;
    s.hoverShowsMonitor = 1;
    s.autoStart = 0;
    s.menuShowSchedule = 1;
    s.monitorOnTop = 1;
    s.forceAction = 0;
    s.commandForce = 0;
    s.monitorEnabled = 0;
    s.logEvents = 1;
    s.idleForce = 0;
    s.idleEnabled = 0;
    s.monitorTransparent = 0;
    s.idleResumeEnabled = 0;
    s.menuShowPowerOff = 1;
    s.menuShowHibernate = 1;
    s.menuShowRestart = 1;
    s.menuShowShutdown = 0;
    s.menuShowLogOff = 0;
    s.menuShowSuspend = 0;
    s.scheduleResumeEnabled = 0;
    s.scheduleResumeMinutes = 120;
    // The later fields are off, as in every older file.
    std::memset(&s.idleIgnoresKeepAwake, 0, sizeof s - offsetof(Settings, idleIgnoresKeepAwake));
    applyLaterDefaults(s);
}

static bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

uint32_t classifySettingsHeader(const unsigned char* bytes, size_t length)
{
    unsigned char header[settingsHeaderSize] = {};
    std::memcpy(header, bytes, length < sizeof header ? length : sizeof header);
    if (std::memcmp(header, "Pelk1", 5) != 0)
        return headerBadMagic;
    if (std::memcmp(header + 5, "300", 3) == 0)
        return headerCurrent;
    // A version that is not three digits comes from no known writer; it is read
    // as it stands, like the newest versions, and never mistaken for a header code.
    if (!isDigit(header[5]) || !isDigit(header[6]) || !isDigit(header[7]))
        return 999;
    uint32_t value = 0;
    for (int i = 5; i < 8; ++i)
        value = value * 10 + (header[i] - '0');
    return value;
}

void decodeSettingsFile(const unsigned char* bytes, size_t length, Settings& s)
{
    uint32_t header = classifySettingsHeader(bytes, length);
    if (header == headerBadMagic) {
        applyDefaults(s);
        return;
    }
    if (length > settingsHeaderSize) {
        size_t block = length - settingsHeaderSize;
        if (block > sizeof s)
            block = sizeof s;
        std::memcpy(&s, bytes + settingsHeaderSize, block);
    }
    // Every reader treats the name as text: a file without a terminator must not make it run on.
    s.remoteComputerName[sizeof s.remoteComputerName - 1] = '\0';
    s.watchProgram[sizeof s.watchProgram - 1] = '\0';
    if (header < 30)
        applyLaterDefaults(s);
}

void encodeSettingsFile(const Settings& s, unsigned char out[settingsFileSize])
{
    std::memcpy(out, settingsFileHeader, settingsHeaderSize);
    std::memcpy(out + settingsHeaderSize, &s, sizeof s);
}
