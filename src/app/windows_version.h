// Naming of the Windows version for the start-up gate and the About box.
#pragma once
#include <cstddef>
#include <cstdint>

// What the platform reports about itself, gathered by the Win32 side.
struct VersionRecord {
    uint32_t platformId;      // 2 for the NT family
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    bool extended;            // productType and suiteMask are known
    uint32_t productType;     // 1 workstation, 2 domain controller, 3 server
    uint32_t suiteMask;
    bool tabletPc;            // GetSystemMetrics(SM_TABLETPC) nonzero
    bool mediaCenter;         // GetSystemMetrics(SM_MEDIACENTER) nonzero
    char servicePack[128];
};

const uint32_t versionUnknown = 0;
const uint32_t versionWindows2000 = 16;
const uint32_t versionXp = 19;
const uint32_t versionXpMediaCenter = 21;
const uint32_t versionXpTablet = 22;
const uint32_t versionServer2003 = 23;
const uint32_t versionVista = 24;
const uint32_t versionWindows7 = 25;
const uint32_t versionWindows8 = 26;
const uint32_t versionWindows81 = 27;
const uint32_t versionWindows10 = 28;
const uint32_t versionWindows11 = 29;
const uint32_t versionNewerNt = 30;

// Writes the description ("Windows XP Professional, Service Pack 2") and
// returns the version code.
uint32_t describeVersionRecord(const VersionRecord& v, char* text, size_t size);
// The description of the system Pelk runs on, written into `text` (600 bytes);
// the version code. Windows only.
uint32_t describeWindowsVersion(char* text);
// The start-up gate: Windows 2000 and every later NT system may run.
bool versionAccepted(uint32_t code);
