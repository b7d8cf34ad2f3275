// Rules of the program watch and of the quiet conditions of the idle shutdown.
#include "triggers/watch_rules.h"

#include <cstring>

#include "app/text.h"

namespace {

const uint32_t loopbackType = 24;  // IF_TYPE_SOFTWARE_LOOPBACK
const uint32_t percentMost = 100;
const uint32_t kbpsMost = 999999;  // also keeps the rate arithmetic inside 64 bits
// A reading older than this (the idle check was off, or waited behind its prompt) would
// average the last minute with a long time before it: it is nothing to compare with.
const uint32_t readingAgeMostMs = 5 * 60000;

bool isTrimmed(char c)
{
    return c == ' ' || c == '\t' || c == '"';
}

void trim(const char*& begin, const char*& end)
{
    while (begin < end && isTrimmed(*begin))
        ++begin;
    while (end > begin && isTrimmed(end[-1]))
        --end;
}

const char* fileNamePart(const char* name)
{
    const char* part = name;
    for (const char* p = name; *p; ++p) {
        if (*p == '\\' || *p == '/')
            part = p + 1;
    }
    return part;
}

bool tooOld(const QuietReading& previous, const QuietReading& now)
{
    return now.tick - previous.tick > readingAgeMostMs;
}

// Busy when measured busy, or when there is nothing to measure this minute against.
bool cpuBusy(const QuietReading& previous, const QuietReading& now, uint32_t percent)
{
    if (percent == 0 || !now.cpuRead)
        return false;
    if (!previous.cpuRead || tooOld(previous, now) || now.cpuIdle < previous.cpuIdle ||
        now.cpuKernel < previous.cpuKernel || now.cpuUser < previous.cpuUser)
        return true;
    uint64_t total = (now.cpuKernel - previous.cpuKernel) + (now.cpuUser - previous.cpuUser);
    uint64_t idle = now.cpuIdle - previous.cpuIdle;
    uint64_t used = idle < total ? total - idle : 0;
    return total != 0 && used * 100 >= total * (percent < percentMost ? percent : percentMost);
}

// The unsigned difference of a 32-bit counter is what passed, also when it wrapped in
// between; a 64-bit one that went back was reset, and counts from 0 since.
uint64_t octetsPassed(uint64_t earlier, uint64_t later, bool wide)
{
    if (!wide)
        return static_cast<uint32_t>(later - earlier);
    return later >= earlier ? later - earlier : later;
}

// Only interfaces that both readings hold count. A sum beyond 64 bits stays at the most.
uint64_t octetsBetween(const QuietReading& previous, const QuietReading& now)
{
    size_t nowCount = now.interfaceCount < interfacesMost ? now.interfaceCount : interfacesMost;
    size_t previousCount = previous.interfaceCount < interfacesMost ? previous.interfaceCount : interfacesMost;
    uint64_t octets = 0;
    for (size_t i = 0; i < nowCount; ++i) {
        const InterfaceOctets& later = now.interfaces[i];
        if (!interfaceCarriesTraffic(later))
            continue;
        for (size_t j = 0; j < previousCount; ++j) {
            const InterfaceOctets& earlier = previous.interfaces[j];
            if (earlier.index == later.index) {
                const uint64_t passed[] = {octetsPassed(earlier.inOctets, later.inOctets, later.wide),
                                           octetsPassed(earlier.outOctets, later.outOctets, later.wide)};
                for (uint64_t part : passed)
                    octets = octets + part >= octets ? octets + part : UINT64_MAX;
                break;
            }
        }
    }
    return octets;
}

bool networkBusy(const QuietReading& previous, const QuietReading& now, uint32_t kbps)
{
    if (kbps == 0 || !now.networkRead)
        return false;
    if (!previous.networkRead || tooOld(previous, now))
        return true;
    uint32_t elapsedMs = now.tick - previous.tick;
    uint64_t limit = static_cast<uint64_t>(kbps < kbpsMost ? kbps : kbpsMost) * 1024;
    // At most 5 minutes at the highest limit: the product stays far inside 64 bits.
    uint64_t allowed = (limit * (elapsedMs != 0 ? elapsedMs : 1) + 999) / 1000;
    return octetsBetween(previous, now) >= allowed;
}

}  // namespace

void watchedFileName(const char* typed, char* out, size_t outSize)
{
    const char* begin = typed;
    const char* end = typed + std::strlen(typed);
    trim(begin, end);
    for (const char* p = begin; p < end; ++p) {
        if (*p == '\\' || *p == '/')
            begin = p + 1;
    }
    trim(begin, end);
    if (outSize == 0)
        return;
    size_t length = static_cast<size_t>(end - begin);
    if (length > outSize - 1)
        length = outSize - 1;
    std::memcpy(out, begin, length);
    out[length] = '\0';
}

bool watchNameMatches(const char* watched, const char* processName)
{
    const char* name = fileNamePart(processName);
    size_t watchedLength = std::strlen(watched);
    size_t nameLength = std::strlen(name);
    if (watchedLength == 0)
        return false;
    if (nameLength == watchedLength)
        return sameTextIgnoringCase(watched, name, nameLength);
    bool watchedHasExe = watchedLength >= 4 && sameTextIgnoringCase(watched + watchedLength - 4, ".exe", 4);
    return !watchedHasExe && nameLength == watchedLength + 4 && sameTextIgnoringCase(watched, name, watchedLength) &&
           sameTextIgnoringCase(name + watchedLength, ".exe", 4);
}

void watchRefusalText(const char* name, char* out, size_t outSize)
{
    if (name[0] == '\0') {
        copyText(out, outSize, "Type or pick the name of the program to wait for.");
        return;
    }
    copyText(out, outSize, name);
    appendText(out, outSize, " is not running.");
}

bool interfaceCarriesTraffic(const InterfaceOctets& row)
{
    return row.type != loopbackType && !row.filter;
}

bool minuteQuiet(const QuietReading& previous, const QuietReading& now, uint32_t cpuPercent, uint32_t networkKBps)
{
    return !cpuBusy(previous, now, cpuPercent) && !networkBusy(previous, now, networkKBps);
}

uint32_t clampQuietPercent(uint32_t typed)
{
    return typed < percentMost ? typed : percentMost;
}

uint32_t clampQuietKBps(uint32_t typed)
{
    return typed < kbpsMost ? typed : kbpsMost;
}
