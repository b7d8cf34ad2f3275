// Tokenizer, first-argument test and slam keywords, checked against whole command lines.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const size_t defaultOutSize = 600;

struct ArgumentCase {
    const char* name;
    const char* line;
    unsigned n;
    size_t outSize;  // 0 means defaultOutSize
    int result;
    const char* out;  // nullptr: out must be left untouched
};

const ArgumentCase argumentCases[] = {
    {"program path is argument 0", "C:\\pelk.exe /q", 0, 0, argumentFound, "C:\\pelk.exe"},
    {"path alone has no argument 1", "C:\\pelk.exe", 1, 0, argumentMissing, ""},
    {"empty line has no argument 0", "", 0, 0, argumentMissing, ""},
    {"blank line has no argument 0", " \t  ", 0, 0, argumentMissing, ""},
    {"leading blanks skipped", "   pelk /a", 1, 0, argumentFound, "/a"},
    {"quoted path keeps its spaces", "\"C:\\Program Files\\Pelk.exe\" /q", 0, 0, argumentFound,
     "C:\\Program Files\\Pelk.exe"},
    {"argument after quoted path", "\"C:\\Program Files\\Pelk.exe\" /q", 1, 0, argumentFound, "/q"},
    {"mixed run of spaces and tabs is one separator", "pelk \t  /a\t\t/b", 2, 0, argumentFound, "/b"},
    {"tab outside quotes separates", "pelk\t/a", 1, 0, argumentFound, "/a"},
    {"tab inside quotes comes out as space", "pelk \"a\tb\"", 1, 0, argumentFound, "a b"},
    {"quotes in the middle of an argument", "pelk /remo:\"My PC\" /kill", 1, 0, argumentFound,
     "/remo:My PC"},
    {"argument after a quoted one", "pelk \"/remo:My PC\" /kill", 2, 0, argumentFound, "/kill"},
    {"quote pair inside argument drops quotes", "pelk a\"\"b", 1, 0, argumentFound, "ab"},
    {"empty quoted argument", "pelk /slam \"\" /kill", 2, 0, argumentEmpty, ""},
    {"argument after empty quoted one still exists", "pelk /slam \"\" /kill", 3, 0, argumentFound,
     "/kill"},
    {"two empty quote pairs", "pelk \"\"\"\"", 1, 0, argumentEmpty, ""},
    {"quoted blank is not empty", "pelk \" \"", 1, 0, argumentFound, " "},
    {"byte 254 comes out as space", "pelk /a\xFE" "b", 1, 0, argumentFound, "/a b"},
    {"byte 254 does not separate", "pelk /a\xFE" "b /c", 2, 0, argumentFound, "/c"},
    {"byte 254 inside quotes", "pelk \"x\xFEy z\"", 1, 0, argumentFound, "x y z"},
    {"odd quote count", "pelk \"/a", 1, 0, argumentOddQuotes, nullptr},
    {"odd quote count spoils argument 0", "pelk /a \"", 0, 0, argumentOddQuotes, nullptr},
    {"three quotes far apart", "\"pelk\" /a /b \"", 2, 0, argumentOddQuotes, nullptr},
    {"trailing space gives an empty argument", "pelk /slam /shut ", 3, 0, argumentEmpty, ""},
    {"nothing after the trailing space", "pelk /slam /shut ", 4, 0, argumentMissing, ""},
    {"trailing run of blanks counts once", "pelk /a \t ", 2, 0, argumentEmpty, ""},
    {"no trailing space, no empty argument", "pelk /a", 2, 0, argumentMissing, ""},
    {"argument cut to the buffer", "pelk /remote", 1, 4, argumentFound, "/re"},
    {"argument cut to nothing is still found", "pelk /a", 1, 1, argumentFound, ""},
    {"missing argument empties a small buffer", "pelk", 1, 1, argumentMissing, ""},
    {"huge argument number", "pelk /a /b", 4000000000u, 0, argumentMissing, ""},
};

TEST(CommandLineTest, ArgumentTable)
{
    for (const ArgumentCase& c : argumentCases) {
        SCOPED_TRACE(c.name);
        size_t size = c.outSize ? c.outSize : defaultOutSize;
        // Exactly sized heap buffer, so the sanitizer sees any overrun.
        std::vector<char> out(size, 'Z');
        out[size - 1] = '\0';
        const std::vector<char> before = out;
        EXPECT_EQ(c.result, getArgumentFrom(c.line, c.n, out.data(), size));
        if (c.out)
            EXPECT_STREQ(c.out, out.data());
        else
            EXPECT_EQ(before, out);
    }
}

TEST(CommandLineTest, NoBufferOrNoLineIsSafe)
{
    EXPECT_EQ(argumentFound, getArgumentFrom("pelk /a", 1, nullptr, 0));
    char out[4] = "xyz";
    EXPECT_EQ(argumentFound, getArgumentFrom("pelk /a", 1, out, 0));
    EXPECT_STREQ("xyz", out);
    EXPECT_EQ(argumentMissing, getArgumentFrom(nullptr, 0, out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(CommandLineTest, TenThousandCharacterArgumentIsCut)
{
    const std::string line = "C:\\pelk.exe /slam /remo:" + std::string(10000, 'A') + " /loop";
    std::vector<char> out(defaultOutSize, 'Z');
    ASSERT_EQ(argumentFound, getArgumentFrom(line.c_str(), 2, out.data(), out.size()));
    EXPECT_EQ(defaultOutSize - 1, std::strlen(out.data()));
    EXPECT_EQ(0, std::strncmp(out.data(), "/remo:AAAA", 10));
    ASSERT_EQ(argumentFound, getArgumentFrom(line.c_str(), 3, out.data(), out.size()));
    EXPECT_STREQ("/loop", out.data());
    EXPECT_EQ(argumentMissing, getArgumentFrom(line.c_str(), 4, out.data(), out.size()));
}

TEST(CommandLineTest, TenThousandCharactersOfShortArguments)
{
    std::string line = "pelk";
    while (line.size() < 10000)
        line += " a";
    unsigned last = static_cast<unsigned>((line.size() - 4) / 2);
    char out[8];
    EXPECT_EQ(argumentFound, getArgumentFrom(line.c_str(), last, out, sizeof out));
    EXPECT_STREQ("a", out);
    EXPECT_EQ(argumentMissing, getArgumentFrom(line.c_str(), last + 1, out, sizeof out));
}

struct KeywordCase {
    const char* name;
    const char* argument;
    const char* keyword;
};

const KeywordCase keywordCases[] = {
    {"characters after the fifth ignored", "/Shutdown", "shut"},
    {"any first character", "-LOGO", "logo"},
    {"digits unchanged", "/Ab1Z", "ab1z"},
    {"neighbours of A and Z unchanged", "/@[AZ", "@[az"},
    {"non-ASCII byte unchanged", "/\xC4" "BC", "\xC4" "bc"},
    {"short argument, short keyword", "/q", "q"},
    {"one character, empty keyword", "q", ""},
    {"empty argument", "", ""},
};

TEST(CommandLineTest, KeywordTable)
{
    for (const KeywordCase& c : keywordCases) {
        SCOPED_TRACE(c.name);
        char keyword[5];
        std::memset(keyword, 'Z', sizeof keyword);
        keywordOf(c.argument, keyword);
        EXPECT_STREQ(c.keyword, keyword);
    }
}

struct StartCase {
    const char* name;
    const char* line;
    uint32_t trayIconEnabled;
    StartMode mode;
};

const StartCase startCases[] = {
    {"no arguments opens the options", "C:\\pelk.exe", 1, startOptions},
    {"/q with tray icon is quiet", "C:\\pelk.exe /q", 1, startQuiet},
    {"/q without tray icon opens the options", "C:\\pelk.exe /q", 0, startOptions},
    {"-q is quiet", "pelk -q", 1, startQuiet},
    {"/quiet is quiet", "pelk /quiet", 1, startQuiet},
    {"-quiet is quiet", "pelk -quiet", 1, startQuiet},
    {"upper-case Q is quiet", "pelk /Q", 1, startQuiet},
    {"quoted /q is quiet", "pelk \"/q\"", 1, startQuiet},
    {"one character q has no second character", "pelk q", 1, startOptions},
    {"other first argument opens the options", "pelk /x", 1, startOptions},
    {"only the first argument counts", "pelk /x /q", 1, startOptions},
    {"slam", "pelk /slam /logo", 0, startSlam},
    {"slam in capitals", "pelk /SLAM", 1, startSlam},
    {"slam keyword is four characters", "pelk -slammer", 1, startSlam},
    {"three letters are not slam", "pelk /sla", 1, startOptions},
    {"slam as argument 2 is not slam", "pelk /x /slam", 1, startOptions},
    {"odd quotes open the options", "pelk /q \"", 1, startOptions},
    {"odd quotes hide slam", "pelk /slam \"", 1, startOptions},
    {"empty first argument", "pelk \"\" /q", 1, startOptions},
    {"trailing space after the path", "pelk ", 1, startOptions},
};

TEST(CommandLineTest, StartModeTable)
{
    for (const StartCase& c : startCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.mode, chooseStartMode(c.line, c.trayIconEnabled));
    }
}

const uint32_t untouched = 99;
const char storedName[] = "Stored Name";

struct SlamCase {
    const char* name;
    const char* line;
    bool remote;
    uint32_t commandAction;
    uint32_t commandPromptMode;
    uint32_t forceAction;
    const char* remoteName;
};

const SlamCase slamCases[] = {
    {"logo in any case is Shutdown", "pelk /SLAM /LoGo", false, 2, untouched, 0, storedName},
    {"logoff and kill", "pelk /slam /logoff /kill", false, 2, untouched, 1, storedName},
    {"loop is Restart", "pelk /slam /loop", false, 1, untouched, 0, storedName},
    {"shut is Power Off", "pelk /slam /Shutdown", false, 0, untouched, 0, storedName},
    {"poff is Log Off", "pelk /slam /poff", false, 3, untouched, 0, storedName},
    {"hibr is Suspend", "pelk /slam /hibr", false, 4, untouched, 0, storedName},
    {"susp is Hibernate", "pelk /slam /susp", false, 5, untouched, 0, storedName},
    {"wait is Confirm", "pelk /slam /wait", false, untouched, 1, 0, storedName},
    {"warn is Warn", "pelk /slam /warn", false, untouched, 2, 0, storedName},
    {"later action overrides", "pelk /slam /logo /poff /susp", false, 5, untouched, 0, storedName},
    {"later prompt mode overrides", "pelk /slam /warn /wait", false, untouched, 1, 0, storedName},
    {"kinds combine", "pelk -slam -hibr -warn -kill", false, 4, 2, 1, storedName},
    {"unknown keywords ignored", "pelk /slam /xyzw /ab /logo", false, 2, untouched, 0, storedName},
    {"argument 1 is not a keyword", "pelk /logo", false, untouched, untouched, 0, storedName},
    {"remote name", "pelk /slam /remo:SERVER7 /loop", true, 1, untouched, 0, "SERVER7"},
    {"separator is always the sixth character", "pelk /slam /remote:SERVER7", true, untouched,
     untouched, 0, "e:SERVER7"},
    {"quoted remote name with a space", "pelk /slam \"/remo:My PC\"", true, untouched, untouched,
     0, "My PC"},
    {"bare remo keeps the stored name", "pelk /slam /remo", true, untouched, untouched, 0,
     storedName},
    {"seven characters keep the stored name", "pelk /slam /remo:X", true, untouched, untouched, 0,
     storedName},
    {"eight characters set the name", "pelk /slam /remo:XY", true, untouched, untouched, 0, "XY"},
    {"later remo overrides", "pelk /slam /remo:AAA /remo:BB", true, untouched, untouched, 0, "BB"},
    {"empty argument ends the loop", "pelk /slam \"\" /kill", false, untouched, untouched, 0,
     storedName},
    {"empty argument hides a later remo", "pelk /slam /logo \"\" /remo:SRV", false, 2, untouched, 0,
     storedName},
    {"trailing space: keywords before it count", "pelk /slam /shut ", false, 0, untouched, 0,
     storedName},
    {"odd quotes apply nothing", "pelk /slam /logo /kill \"", false, untouched, untouched, 0,
     storedName},
    {"no keyword arguments", "pelk /slam", false, untouched, untouched, 0, storedName},
    {"byte 254 breaks a keyword", "pelk /slam /lo\xFEo", false, untouched, untouched, 0,
     storedName},
};

Settings slamStartSettings()
{
    Settings s;
    std::memset(&s, 0, sizeof s);
    std::memcpy(s.remoteComputerName, storedName, sizeof storedName);
    s.commandAction = untouched;
    s.commandPromptMode = untouched;
    return s;
}

TEST(CommandLineTest, SlamKeywordTable)
{
    for (const SlamCase& c : slamCases) {
        SCOPED_TRACE(c.name);
        Settings s = slamStartSettings();
        EXPECT_EQ(c.remote, applySlamKeywords(c.line, s));
        EXPECT_EQ(c.commandAction, s.commandAction);
        EXPECT_EQ(c.commandPromptMode, s.commandPromptMode);
        EXPECT_EQ(c.forceAction, s.forceAction);
        EXPECT_STREQ(c.remoteName, s.remoteComputerName);
    }
}

TEST(CommandLineTest, SlamKeepsForceAlreadySet)
{
    Settings s = slamStartSettings();
    s.forceAction = 1;
    applySlamKeywords("pelk /slam /logo", s);
    EXPECT_EQ(1u, s.forceAction);
}

TEST(CommandLineTest, LongRemoteNameIsBounded)
{
    const std::string line = "pelk /slam /remo:" + std::string(10000, 'N') + " /loop";
    Settings s = slamStartSettings();
    EXPECT_TRUE(applySlamKeywords(line.c_str(), s));
    // The argument itself is read into 600 bytes; the name is what follows "/remo:".
    const size_t nameLength = std::strlen(s.remoteComputerName);
    EXPECT_EQ(defaultOutSize - 1 - 6, nameLength);
    EXPECT_EQ(std::string(nameLength, 'N'), std::string(s.remoteComputerName));
    EXPECT_EQ(1u, s.commandAction);
}

struct RestartCase {
    const char* name;
    uint32_t commandAction;
    uint32_t flag;
};

const RestartCase restartCases[] = {
    {"Power Off", 0, 0},     {"Restart", 1, 1},      {"Shutdown", 2, 0},
    {"Hibernate", 5, 0},     {"Remote Shut", 6, 0},  {"Remote Restart", 7, 1},
    {"out of range", 8, 0},  {"all bits", 0xFFFFFFFFu, 0},
};

TEST(CommandLineTest, RemoteRestartFlagTable)
{
    for (const RestartCase& c : restartCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.flag, remoteRestartFlag(c.commandAction));
    }
}

} // namespace
