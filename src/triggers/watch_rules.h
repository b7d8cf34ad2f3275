// What the program watch and the idle shutdown's quiet conditions decide: which
// running program is the watched one, and whether a minute was quiet from two
// readings of the processor and the network counters.
#pragma once
#include <cstddef>
#include <cstdint>

// The file name part of a typed name, as the watch keeps it: without the folders of a
// path and without the blanks and quotes around it; empty when no name is left. Cut to
// fit outSize, always terminated when outSize > 0.
void watchedFileName(const char* typed, char* out, size_t outSize);

// A process of this file name is the watched program: the same name in any case, or
// NAME.exe for a watched name that does not end in ".exe" itself.
bool watchNameMatches(const char* watched, const char* processName);

// What the user is told when arming finds nothing to watch, for the file name that
// watchedFileName gave: "render.exe is not running.", or a request for a name.
void watchRefusalText(const char* name, char* out, size_t outSize);

// The counters of one network interface since it came up, as the interface table
// gives them.
struct InterfaceOctets {
    uint32_t index;
    uint32_t type;  // 24: the loopback, whose traffic never leaves the computer
    uint64_t inOctets;
    uint64_t outOctets;
    // A filter layer over an adapter (Windows Vista and later list each as an interface
    // of its own), which shows that adapter's counters once more.
    bool filter;
    // 64-bit counters (Vista and later); else 32-bit ones that wrap at 4 GiB.
    bool wide;
};
const size_t interfacesMost = 128;

// Whether the traffic of an interface counts: not the loopback's, not a filter's.
bool interfaceCarriesTraffic(const InterfaceOctets& row);

// One reading taken for the quiet conditions.
struct QuietReading {
    uint32_t tick;                         // when it was taken, in milliseconds
    bool cpuRead;                          // the times below hold a reading
    uint64_t cpuIdle, cpuKernel, cpuUser;  // 100-ns units since start; kernel includes idle
    bool networkRead;
    size_t interfaceCount;
    InterfaceOctets interfaces[interfacesMost];
};

// Whether the minute between two readings was quiet: processor use below cpuPercent
// (above 100 read as 100) and traffic of every interface but the loopback below
// networkKBps (1 KB = 1024 bytes) per second of the time between them. A limit of 0 is
// not used. A condition whose reading is missing now is not judged; one whose reading
// is missing before (the first minute, after a failed reading, or more than 5 minutes
// ago) counts the minute as busy, so the idle time runs only over measured quiet. An
// interface that came up between the readings brings nothing, one that went away is not
// missed, a 32-bit counter that wrapped counts only what passed, and a 64-bit one that
// went back (the adapter was reset) counts what passed since.
bool minuteQuiet(const QuietReading& previous, const QuietReading& now, uint32_t cpuPercent, uint32_t networkKBps);

// The number boxes of the quiet conditions, brought into range.
uint32_t clampQuietPercent(uint32_t typed);
uint32_t clampQuietKBps(uint32_t typed);
