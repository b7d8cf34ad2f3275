// The settings file's codec and defaults, and the event log's entry layout.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/log_format.h"
#include "settings/settings.h"

static Settings patterned()
{
    Settings s;
    unsigned char* raw = reinterpret_cast<unsigned char*>(&s);
    for (size_t i = 0; i < sizeof s; ++i)
        raw[i] = static_cast<unsigned char>(i * 7 + 3);
    std::strcpy(s.remoteComputerName, "SERVER7");
    s.remoteComputerName[599] = '\0';
    return s;
}

TEST(Settings, HeaderClassification)
{
    const std::pair<const char*, uint32_t> cases[] = {{"Pelk1300", headerCurrent}, {"Pelk1029", 29}, {"Pelk1299", 299},
                                                      {"pelk1300", headerBadMagic}, {"Pelk2300", headerBadMagic},
                                                      {"Pelk1A00", 999}, {"Pelk1:;1", 999}};
    for (const auto& c : cases)
        EXPECT_EQ(c.second, classifySettingsHeader(reinterpret_cast<const unsigned char*>(c.first), 8)) << c.first;
    EXPECT_EQ(headerBadMagic, classifySettingsHeader(reinterpret_cast<const unsigned char*>(""), 0));
}

// What a file of each kind leaves in a record that was zero, as at start-up.
TEST(Settings, Decoding)
{
    Settings defaults{};
    applyDefaults(defaults);
    EXPECT_STREQ("Mr Computer", defaults.remoteComputerName);
    const uint32_t expectedDefaults[] = {97, 1, 5, 3, 1, 3, 5, 3, 5, 5, 2, 2, 1, 60, 3, 120, 0, 1, 0, 1, 1, 0, 0,
                                         0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 120};
    EXPECT_EQ(0, std::memcmp(expectedDefaults, &defaults.chargedPercent, sizeof expectedDefaults));
    // bytesTaken: of the patterned record
    struct Case { const char* name; const char* header; size_t length; size_t bytesTaken; bool laterDefaults; };
    const Case cases[] = {
        {"current, whole", "Pelk1300", settingsFileSize, sizeof(Settings), false},
        {"header only", "Pelk1300", 8, 0, false},
        {"500 bytes", "Pelk1300", 500, 492, false},
        {"longer than a record", "Pelk1300", 2000, sizeof(Settings), false},
        {"version 029", "Pelk1029", settingsFileSize, sizeof(Settings), true},
        {"version 030", "Pelk1030", settingsFileSize, sizeof(Settings), false},
    };
    Settings file = patterned();
    std::memset(file.remoteComputerName, 'A', sizeof file.remoteComputerName);  // no terminator
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> bytes(2000, 0xAB);
        std::memcpy(bytes.data(), c.header, 8);
        std::memcpy(bytes.data() + 8, &file, sizeof file);
        Settings got{};
        decodeSettingsFile(bytes.data(), c.length, got);
        Settings want{};
        std::memcpy(&want, &file, c.bytesTaken);
        want.remoteComputerName[599] = '\0';
        want.watchProgram[sizeof want.watchProgram - 1] = '\0';
        if (c.laterDefaults)
            applyLaterDefaults(want);
        EXPECT_EQ(0, std::memcmp(&want, &got, sizeof want));
    }
    std::vector<unsigned char> bad(settingsFileSize, 'X');
    Settings got{};
    decodeSettingsFile(bad.data(), bad.size(), got);
    EXPECT_EQ(0, std::memcmp(&defaults, &got, sizeof got));
    Settings later{};
    later.idleResumeEnabled = 1;
    applyLaterDefaults(later);
    EXPECT_EQ(1u, later.idleResumeEnabled);
    EXPECT_EQ(120u, later.scheduleResumeMinutes);
    EXPECT_EQ(0u, later.chargedPercent);
}

TEST(EventLog, EntryColumnsAndRotation)
{
    const char* const cases[][3] = {
        {"21 07 45", "Sunday, December 06, 2026", "Power Off"},
        {"23 59 59", "1234567890123456789012345678901234567890", ""},
    };
    for (const auto& c : cases) {
        char line[200];
        std::string entry(line, formatLogEntry(c[0], c[1], c[2], line, sizeof line));
        std::string expected = (c[0] + std::string(9, ' ')).substr(0, 9) +
                               (c[1] + std::string(35, ' ')).substr(0, 35) + " : " + c[2] + "\r\n";
        EXPECT_EQ(expected, entry);
    }
    char line[50];
    EXPECT_EQ(0u, formatLogEntry("00 00 00", "d", "Shutdown", line, sizeof line));
    const std::pair<uint64_t, LogStart> sizes[] = {
        {0, logWriteHeader}, {1000000, logAppend}, {1000001, logRotate}, {0x100000000ull, logRotate}};
    for (const auto& size : sizes)
        EXPECT_EQ(size.second, logStartFor(size.first)) << size.first;
}

