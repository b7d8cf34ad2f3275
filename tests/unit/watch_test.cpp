// The program watch's names, the "when" keyword, its tooltip, and the quiet minutes of
// the idle shutdown from two readings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "tray/tray_rules.h"
#include "triggers/watch_rules.h"

TEST(Watch, NamesKeywordAndTooltip)
{
    struct Match { const char *watched, *process; bool runs; };
    const Match matches[] = {
        {"render.exe", "RENDER.EXE", true}, {"render", "Render.exe", true}, {"render", "render.com", false},
        {"render.exe", "render", false},    {"my.app", "my.app.exe", true}, {"rend", "render.exe", false},
        {"", "render.exe", false}};
    for (const Match& m : matches)
        EXPECT_EQ(m.runs, watchNameMatches(m.watched, m.process)) << m.watched << " " << m.process;

    // The name, without the folders and quotes of a path, or nothing: the stored name stays,
    // and the slam waits all the same.
    struct Keyword { std::string line; bool watch; std::string name; };
    const Keyword keywords[] = {
        {"pelk /slam /WHEN=\" C:\\Program Files\\R\\render.exe \" /kill", true, "render.exe"},
        {"pelk /slam /when: /when /when:C:\\Apps\\ /when:\"\"", true, "Stored"},
        {"pelk /slam /when:" + std::string(300, 'a'), true, std::string(207, 'a')},
        {"pelk /slam /whe:x.exe /poff", false, "Stored"}};
    for (const Keyword& k : keywords) {
        Settings s{};
        std::strcpy(s.watchProgram, "Stored");
        EXPECT_EQ(k.watch, applySlamKeywords(k.line.c_str(), s).watch) << k.line;
        EXPECT_EQ(k.name, s.watchProgram) << k.line;
    }
}

static QuietReading reading(uint32_t tick, bool cpu, uint64_t idle, uint64_t kernel, uint64_t user, bool network,
                            std::initializer_list<InterfaceOctets> interfaces)
{
    QuietReading r = {tick, cpu, idle, kernel, user, network, interfaces.size()};
    std::copy(interfaces.begin(), interfaces.end(), r.interfaces);
    return r;
}

TEST(Watch, QuietMinutes)
{
    const uint64_t minute = 600000000;  // one processor's minute in 100-ns units
    const uint32_t limit = 100 * 1024 * 60;  // 100 KB/s over a minute
    const QuietReading start = reading(1000, true, 0, 0, 0, true, {{1, 6, 0xFFFFFF00u, 0}, {2, 24, 0, 0}});
    struct Case { QuietReading now; uint32_t percent, kbps; bool quiet; const char* what; };
    const Case cases[] = {
        {reading(61000, true, 6 * minute / 10, minute, 0, false, {}), 50, 100, true, "40% used"},
        {reading(61000, true, minute / 2, 3 * minute / 4, minute / 4, false, {}), 50, 0, false, "50% used"},
        {reading(61000, true, 0, minute, 0, false, {}), 150, 0, false, "100%, the limit read as 100"},
        {reading(601000, true, 10 * minute, 10 * minute, 0, false, {}), 50, 0, false, "a reading 10 minutes old"},
        {reading(61000, false, 0, 0, 0, false, {}), 50, 0, true, "no processor times now"},
        {reading(61000, false, 0, 0, 0, true, {{1, 6, 0xFFFFFF00u + limit - 1, 0}}), 0, 100, true, "below, wrapped"},
        {reading(61000, false, 0, 0, 0, true, {{1, 6, 0xFFFFFF00u, limit}}), 0, 100, false, "at the limit, sent"},
        {reading(121000, false, 0, 0, 0, true, {{1, 6, 0xFFFFFF00u + limit, limit - 1}}), 0, 100, true, "two minutes"},
        {reading(61000, false, 0, 0, 0, true, {{2, 24, 0, 4000000000u}, {3, 6, 4000000000u, 1}}), 0, 1, true,
         "loopback, an interface come up, one gone"},
        {reading(61000, false, 0, 0, 0, true, {{1, 6, 0xFFFFFF00u + limit, 0, true}}), 0, 100, true, "a filter layer"},
        {reading(61000, false, 0, 0, 0, true, {{1, 6, 0xFFFFFF00u + (1ull << 32), 0, false, true}}), 0, 100, false,
         "4 GiB on 64-bit counters"},
        {reading(61000, false, 0, 0, 0, true, {{1, 6, limit - 1, 0, false, true}}), 0, 100, true,
         "64-bit counters reset: what passed since"},
        {reading(61000, true, 0, minute, 0, false, {}), 0, 100, true, "a limit of 0, no interface table now"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.quiet, minuteQuiet(start, c.now, c.percent, c.kbps)) << c.what;
    // Nothing to compare the first minute with: it is not known to be quiet.
    EXPECT_FALSE(minuteQuiet(QuietReading{}, start, 50, 0) || minuteQuiet(QuietReading{}, start, 0, 100));
    EXPECT_EQ(999999u, clampQuietKBps(5000000));
}
