// Tokenizer, keywords, start mode and the slam keyword loop, on whole command lines.
#include "app/command_line.h"
#include "power/remote_rules.h"
#include "app/hand_over.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(CommandLine, Arguments)
{
    // out: null when the buffer is left untouched
    struct Case { const char* line; unsigned n; size_t outSize; int result; const char* out; };
    const Case cases[] = {
        {"C:\\pelk.exe /q", 0, 600, argumentFound, "C:\\pelk.exe"},
        {" \t  ", 0, 600, argumentMissing, ""},
        {"\"C:\\Program Files\\Pelk.exe\" /q", 0, 600, argumentFound, "C:\\Program Files\\Pelk.exe"},
        {"pelk \t  /a\t\t/b", 2, 600, argumentFound, "/b"},
        {"pelk \"a\tb\"", 1, 600, argumentFound, "a b"},
        {"pelk /remo:\"My PC\" /kill", 1, 600, argumentFound, "/remo:My PC"},
        {"pelk /slam \"\" /kill", 2, 600, argumentEmpty, ""},
        {"pelk /a\xFE" "b /c", 1, 600, argumentFound, "/a b"},
        {"pelk \"/a", 1, 600, argumentOddQuotes, nullptr},
        {"\"pelk\" /a /b \"", 0, 600, argumentOddQuotes, nullptr},
        {"pelk /slam /shut ", 3, 600, argumentEmpty, ""},
        {"pelk /slam /shut ", 4, 600, argumentMissing, ""},
        {"pelk /remote", 1, 4, argumentFound, "/re"},
        {"pelk /a /b", 4000000000u, 600, argumentMissing, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " #" + std::to_string(c.n));
        std::vector<char> out(c.outSize, 'Z');  // exactly sized: the sanitizer sees any overrun
        out.back() = '\0';
        EXPECT_EQ(c.result, getArgumentFrom(c.line, c.n, out.data(), out.size()));
        EXPECT_STREQ(c.out ? c.out : std::string(c.outSize - 1, 'Z').c_str(), out.data());
    }
    const std::string line = "pelk /slam /remo:" + std::string(10000, 'A') + " /loop";
    char out[600];
    EXPECT_EQ(argumentFound, getArgumentFrom(line.c_str(), 2, out, sizeof out));
    EXPECT_EQ(599u, std::strlen(out));
    EXPECT_EQ(argumentFound, getArgumentFrom(line.c_str(), 3, out, sizeof out));
    EXPECT_STREQ("/loop", out);
}

TEST(CommandLine, StartModeAndSlamKeywords)
{
    struct Start { const char* line; uint32_t trayIconEnabled; StartMode mode; };
    const Start starts[] = {
        {"C:\\pelk.exe", 1, startOptions}, {"pelk /q", 1, startQuiet},   {"pelk /q", 0, startOptions},
        {"pelk -quiet", 1, startQuiet},    {"pelk q", 1, startOptions},    {"pelk /x /q", 1, startOptions},
        {"pelk /SLAM /logo", 0, startSlam}, {"pelk /sla", 1, startOptions}, {"pelk /slam \"", 1, startOptions},
        {"pelk /EXIT", 0, startExit},      {"pelk /abort", 1, startMisplaced}, {"pelk -TIME:22:00 /slam", 1, startMisplaced},
        {"pelk /logoff", 0, startMisplaced}, {"pelk /remo:PC2", 1, startMisplaced}, {"pelk logo", 1, startOptions},
    };
    for (const Start& c : starts)
        EXPECT_EQ(c.mode, chooseStartMode(c.line, c.trayIconEnabled)) << c.line << " tray " << c.trayIconEnabled;
    const std::pair<const char*, bool> policyStarts[] = {
        {"pelk /q:policy", true}, {"pelk -Q:POLICY /x", true}, {"pelk /q", false}, {"pelk /q:policyx", false}, {"pelk q:policy", false}};
    for (const auto& c : policyStarts)
        EXPECT_EQ(c.second, isPolicyStart(c.first)) << c.first;

    // An argument that is no keyword changes nothing (unknown: the first such), the words
    // that read as another keyword's letters keep the described meaning.
    const uint32_t kept = 99;
    struct Case { const char* line; bool remote; uint32_t action, promptMode, force; const char* name, *unknown; };
    const Case cases[] = {
        {"pelk /slam /loop /kill", false, 1, kept, 1, "Stored"},
        {"pelk /slam /Shutdown", false, 0, kept, kept, "Stored"},
        {"pelk /slam /wait", false, kept, 1, kept, "Stored"},
        {"pelk /slam /wait /remo:X1 /xyzw /reboot /warn", false, kept, kept, kept, "Stored", "/xyzw"},
        {"pelk /slam /restart /sleep", false, 4, kept, kept, "Stored"},
        {"pelk /slam /kill /PowerOff", false, 0, kept, 1, "Stored"},
        {"pelk /slam /signout /logoff", false, 2, kept, kept, "Stored"},
        {"pelk /slam /hibernate /suspend /q", false, kept, kept, kept, "Stored", "/q"},
        {"pelk /slam /hibernate \"\" /q", false, 5, kept, kept, "Stored"},
        {"pelk /logo", false, kept, kept, kept, "Stored"},
        {"pelk /slam /remote:SERVER7", true, kept, kept, kept, "e:SERVER7"},
        {"pelk /slam /remo:X", true, kept, kept, kept, "Stored"},
        {"pelk /slam /remo:XY", true, kept, kept, kept, "XY"},
        {"pelk /slam /logo \"\" /remo:SRV", false, 2, kept, kept, "Stored"},
        {"pelk /slam /shut ", false, 0, kept, kept, "Stored"},
        {"pelk /slam /logo /kill \"", false, kept, kept, kept, "Stored"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Settings s{};
        std::strcpy(s.remoteComputerName, "Stored");
        s.commandAction = s.commandPromptMode = s.forceAction = kept;
        const SlamWords words = applySlamKeywords(c.line, s);
        EXPECT_EQ(c.remote, words.remote);
        EXPECT_STREQ(c.unknown ? c.unknown : "", words.unknown);
        EXPECT_EQ(c.action, s.commandAction);
        EXPECT_EQ(c.promptMode, s.commandPromptMode);
        EXPECT_EQ(c.force, s.forceAction);
        EXPECT_STREQ(c.name, s.remoteComputerName);
    }
    // The words that arm or cancel: their values read, else the slam refused.
    struct Word { const char* line; uint32_t clock, countdown; bool abort, bad; };
    for (const Word& w : {Word{"pelk /slam /time:7:05 /MINS:0999 /abort", 425, 999, true, false},
                          Word{"pelk /slam /mins:1440", 0, 0, false, true}, Word{"pelk /slam /mins:99999999999", 0, 0, false, true},
                          Word{"pelk /slam /time:25:00", 0, 0, false, true}, Word{"pelk /slam /mins:9x", 0, 0, false, true},
                          Word{"pelk /slam /mins", 0, 0, false, true}, Word{"pelk /slam /mins:0", 0, 0, false, false}}) {
        Settings s{};
        const SlamWords r = applySlamKeywords(w.line, s);
        EXPECT_EQ(w.clock, r.clockMinute) << w.line;
        EXPECT_EQ(w.countdown, r.countdownMinutes) << w.line;
        EXPECT_EQ(w.abort, r.abort) << w.line;
        EXPECT_EQ(w.bad, r.badValue && r.unknown[0]) << w.line;
    }
    for (uint32_t action : {0u, 1u, 6u, 7u, 8u})
        EXPECT_EQ(action == 1 || action == 7 ? 1u : 0u, remoteRestartFlag(action)) << action;
    // A second start's exit code from the running copy's answer: done, even sign-extended
    // to 64 bits; no answer (an older Pelk); an error.
    for (auto a : {std::make_pair(0xFFFFFFFFull, 0u), {~0ull, 0u}, {0ull, 120u}, {0xFFFFFFFF000000AAull, 170u}})
        EXPECT_EQ(a.second, handOverExitCode(a.first)) << a.first;
}

// A list of computers as administrators write one, and calls made at most 16 at a time,
// each until its deadline.
TEST(Remote, HostListAndDeadlines)
{
    static char names[4][remoteNameSize];
    const std::string list = "# lab 1\r\n\\\\PC01\r\n\r\n  pc02 \npc01   # lab\n\\\\PC03\n# end";
    size_t badLine = 9;
    ASSERT_EQ(3u, readHostList(list.data(), list.size(), names, 4, &badLine));
    EXPECT_EQ("PC01|pc02|PC03|0", std::string(names[0]) + "|" + names[1] + "|" + names[2] + "|" + std::to_string(badLine));
    EXPECT_EQ(3u, readHostList(list.data(), list.size(), names, 2, &badLine));  // more than room for
    // A line that names no computer refuses the list whole: which line it is.
    const std::pair<std::string, size_t> refused[] = {{"PC01\nLAB PC 04\n", 2}, {"# a\n\nPC1;PC2", 3},
                                                      {"PC1\n" + std::string(256, 'x'), 2}, {"\\\\PC1\\C$", 1}};
    for (const auto& r : refused) {
        EXPECT_EQ(0u, readHostList(r.first.data(), r.first.size(), names, 4, &badLine)) << r.first;
        EXPECT_EQ(r.second, badLine) << r.first;
    }

    static RemoteRun run;
    beginRemoteRun(run, 20, 60000);
    int called = 0;
    while (nextHostToCall(run, 1000) >= 0)
        ++called;
    EXPECT_EQ(16, called);
    EXPECT_TRUE(hostAnswered(run, 3, 53) && !hostAnswered(run, 3, 0) && !hostAnswered(run, 17, 0));
    EXPECT_EQ(16, nextHostToCall(run, 30000));
    EXPECT_EQ(0, expireHost(run, 61000));  // the first 16 started at 1000, the 17th at 30000
    for (int host; (host = expireHost(run, 61000)) >= 0;)
        ++called;
    EXPECT_FALSE(hostAnswered(run, 5, 0));  // too late
    for (int host; (host = nextHostToCall(run, 62000)) >= 0;)
        hostAnswered(run, static_cast<size_t>(host), 0);
    EXPECT_TRUE(hostAnswered(run, 16, 0) && remoteRunDone(run));
    EXPECT_EQ(remoteTimedOut, remoteRunExitCode(run));  // the first in the list: host 0
    char summary[200];
    formatRemoteSummary(run, "Remote Shut", summary, sizeof summary);
    EXPECT_STREQ("Remote Shut of 20 computers: 4 done, 1 failed, 15 did not answer in 60 s (the log names them).", summary);
}
