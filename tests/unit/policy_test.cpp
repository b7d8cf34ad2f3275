#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "app/command_line.h"
#include "app/exit_codes.h"
#include "settings/policy_rules.h"

static Policy policyOf(std::initializer_list<std::pair<int, uint32_t>> values)
{
    Policy p = {};
    for (const auto& v : values)
        takePolicyValue(p, v.first, v.second);
    return p;
}

// What a policy lays over the user's record, and what of it a save keeps the user's own.
TEST(Policy, OverlayAndTheUsersRecord)
{
    Settings user = {};
    applyDefaults(user);
    user.trayWarnSeconds = 40;
    user.commandWarnSeconds = 5;
    user.forceAction = user.commandForce = 1;
    const Policy p = policyOf({{policyIdleShutdown, 7}, {policyIdleMinutes, 1}, {policyIdleAction, 9},
                               {policyClockSchedule, 1}, {policyClockHour, 22}, {policyClockMinute, 75},
                               {policyClockDays, 62}, {policyClockAction, 2}, {policyPromptSeconds, 30},
                               {policyNoForce, 1}, {policyAutoStart, 0}, {policyValueCount, 1}, {-1, 1}});
    Settings s = user;
    overlayPolicy(p, s);
    EXPECT_EQ(1u, s.idleEnabled);       // any value but 0 switches on
    EXPECT_EQ(2u, s.idleMinutes);       // a number is brought into range
    EXPECT_EQ(user.idleAction, s.idleAction);  // a choice out of range is no choice
    EXPECT_EQ(22 * 60 + 59 + 1, s.clockMinute);
    EXPECT_EQ(62, s.clockDays);
    EXPECT_EQ(2, s.clockAction);
    EXPECT_EQ(40u, s.trayWarnSeconds);  // at least 30 seconds: longer stays
    EXPECT_EQ(30u, s.commandWarnSeconds);
    EXPECT_EQ(0u, s.forceAction | s.commandForce | s.idleForce);
    EXPECT_TRUE(policyCovers(p, offsetof(Settings, autoStart), 4));
    EXPECT_FALSE(policyCovers(p, offsetof(Settings, logEvents), 4));

    s.logEvents = 0;  // changed by the user meanwhile
    keepUserValues(p, user, s);
    Settings expected = user;
    expected.logEvents = 0;
    EXPECT_EQ(0, std::memcmp(&expected, &s, sizeof s));

    // Switched off, or on without a time or with an action out of range: no clock schedule.
    for (const Policy& off : {policyOf({{policyClockSchedule, 1}, {policyClockDays, 62}}),
                              policyOf({{policyClockSchedule, 1}, {policyClockHour, 22}, {policyClockAction, 6}})}) {
        Settings none = user;
        none.clockMinute = 100;
        overlayPolicy(off, none);
        EXPECT_EQ(0, none.clockMinute);
    }
}

// A value whose low byte is zero covers its whole field: the user's own seconds are saved,
// and every prompt warns at least as long.
TEST(Policy, WholeFieldsAreTheUsers)
{
    for (uint32_t seconds : {256u, 512u, 768u}) {
        const Policy p = policyOf({{policyPromptSeconds, seconds}});
        Settings user = {};
        applyDefaults(user);
        user.trayWarnSeconds = 30;
        user.commandWarnSeconds = 0x1FF;
        Settings s = user;
        overlayPolicy(p, s);
        EXPECT_EQ(seconds, s.trayWarnSeconds);
        keepUserValues(p, user, s);
        EXPECT_EQ(0, std::memcmp(&user, &s, sizeof s)) << seconds << ": " << s.trayWarnSeconds << " " << s.commandWarnSeconds;
        EXPECT_TRUE(policyCovers(p, offsetof(Settings, trayWarnSeconds), 1));
        EXPECT_EQ(seconds, policyLeastWarning(p, 10));  // the tray menu's and the idle shutdown's prompts
    }
}

// The templates hold every value of the table as the program reads it, and every name
// that one of them uses is defined in the other.
TEST(Policy, TemplatesMatchTheTable)
{
    static char admx[64 * 1024], adml[64 * 1024];
    writePolicyAdmx(admx, sizeof admx);
    writePolicyAdml(adml, sizeof adml);
    const std::string x = admx, l = adml;
    ASSERT_TRUE(x.size() < sizeof admx - 1 && l.size() < sizeof adml - 1 && l.find("</policyDefinitionResources>") != l.npos);
    auto all = [](const std::string& text, const char* pattern) {
        std::set<std::string> found;
        const std::regex r(pattern);
        for (auto m = std::sregex_iterator(text.begin(), text.end(), r); m != std::sregex_iterator(); ++m)
            found.insert((*m)[1]);
        return found;
    };
    const auto strings = all(l, "<string id=\"([^\"]+)\""), presentations = all(l, "<presentation id=\"([^\"]+)\"");
    for (const std::string& s : all(x, "\\$\\(string\\.([^)]+)\\)"))
        EXPECT_TRUE(strings.count(s)) << s;
    EXPECT_EQ(presentations, all(x, "\\$\\(presentation\\.([^)]+)\\)"));
    const auto elements = all(x, "<(?:decimal|enum|boolean) id=\"([^\"]+)\"");
    EXPECT_EQ(elements, all(l, "refId=\"([^\"]+)\""));
    for (const PolicyValueEntry& v : policyValues) {
        std::string declared = "valueName=\"" + std::string(v.name) + "\"";
        if (v.kind == policyDecimal)
            declared += " minValue=\"" + std::to_string(v.minValue) + "\" maxValue=\"" + std::to_string(v.maxValue) + "\"";
        EXPECT_NE(x.npos, x.find(declared)) << declared;
        EXPECT_EQ(v.kind == policyEnum, x.find("<enum id=\"" + std::string(v.name)) != x.npos) << v.name;
    }
}

// The help's tables row by row as the code has them: every keyword of /slam, every exit
// code of Pelk's own, every policy value with its range ("0, 1", "2-999"); and its contents.
TEST(Policy, HelpListsTheTables)
{
    const std::string help{std::istreambuf_iterator<char>(std::ifstream(PELK_HELP).rdbuf()), {}};
    // What `word` finds in the cells that `row` finds between `start` and `end`, each with the cell after it.
    auto rows = [&help](const char* start, const char* end, const char* row, const char* word) {
        std::map<std::string, std::string> found;
        const std::regex r(row), w(word);
        const size_t from = std::min(help.find(start), help.size()), to = std::min(help.find(end, from), help.size());
        for (std::sregex_iterator m(help.begin() + from, help.begin() + to, r), last; m != last; ++m)
            for (std::sregex_iterator n((*m)[1].first, (*m)[1].second, w); n != last; ++n)
                found[(*n)[1]] = (*m)[2];
        return found;
    };
    std::map<std::string, std::string> keywords, codes, values;
    for (size_t i = 0; slamKeywordAt(i) != nullptr; ++i) keywords[slamKeywordAt(i)];
    EXPECT_EQ(keywords, rows("<th>Keyword</th>", "</table>", "<tr><td>((?:<code>[^<]*</code>[,\\s]*)+)</td>()", "<code>/([a-z]{4})"));
    for (uint32_t code : exitCodes) codes[std::to_string(code)];
    EXPECT_EQ(codes, rows("<h3 id=\"exit\">", "</table>", "<tr><td>([0-9]+)</td>()", "(.+)"));
    for (const PolicyValueEntry& v : policyValues)
        values[v.name] = std::to_string(v.minValue) + (v.maxValue - v.minValue == 1 ? ", " : "-") + std::to_string(v.maxValue);
    EXPECT_EQ(values, rows("<h2 id=\"policy\">", "</table>", "<td>((?:<code>\\w+</code>[,\\s]*)+)</td><td>([^<]*)</td>", "<code>(\\w+)</code>"));
    // Every section has an id and its entry in the contents, which names no other.
    EXPECT_EQ(rows("<p>Contents:", "</p>", "href=\"#([^\"]+)\"()", "^(.*)$"), rows("<h2", "</body>", "<h[23](?: id=\"([^\"]*)\")?()>", "^(.*)$"));
}
