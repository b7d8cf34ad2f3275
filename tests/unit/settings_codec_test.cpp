// The settings file codec: header classification, defaults, short and long files.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/settings.h"

namespace {

std::vector<unsigned char> fileWith(const char* header, const Settings& s, size_t length)
{
    std::vector<unsigned char> bytes(settingsFileSize + 1000, 0xAB);
    std::memcpy(bytes.data(), header, 8);
    std::memcpy(bytes.data() + 8, &s, sizeof s);
    bytes.resize(length);
    return bytes;
}

Settings patterned()
{
    Settings s;
    unsigned char* raw = reinterpret_cast<unsigned char*>(&s);
    for (size_t i = 0; i < sizeof s; ++i)
        raw[i] = static_cast<unsigned char>(i * 7 + 3);
    std::memcpy(s.remoteComputerName, "SERVER7", 8);
    s.remoteComputerName[sizeof s.remoteComputerName - 1] = '\0';
    return s;
}

TEST(SettingsCodec, RoundTripKeepsEveryByte)
{
    Settings saved = patterned();
    saved.reserved = 0xDEADBEEF;
    saved.monitorLeft = -1234;
    saved.monitorTop = -5;
    unsigned char file[settingsFileSize];
    encodeSettingsFile(saved, file);
    EXPECT_EQ(0, std::memcmp(file, "Pelk1300", 8));

    Settings loaded{};
    decodeSettingsFile(file, sizeof file, loaded);
    EXPECT_EQ(0, std::memcmp(&saved, &loaded, sizeof saved));
    EXPECT_EQ(0xDEADBEEFu, loaded.reserved);
    EXPECT_EQ(-1234, loaded.monitorLeft);
    EXPECT_EQ(-5, loaded.monitorTop);
}

TEST(SettingsCodec, HeaderClassification)
{
    struct Case { const char* name; const char* header; size_t length; uint32_t expected; };
    const Case cases[] = {
        {"current", "Pelk1300", 8, headerCurrent},
        {"version 029", "Pelk1029", 8, 29},
        {"version 030", "Pelk1030", 8, 30},
        {"version 299", "Pelk1299", 8, 299},
        {"version 000", "Pelk1000", 8, 0},
        {"version 999", "Pelk1999", 8, 999},
        {"lower-case magic", "pelk1300", 8, headerBadMagic},
        {"last magic byte differs", "Pelk2300", 8, headerBadMagic},
        {"empty file", "", 0, headerBadMagic},
        {"magic only", "Pelk1", 5, 999},
        {"non-digit version", "Pelk1A00", 8, 999},
        {"version that would read 1001", "Pelk1:;1", 8, 999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, classifySettingsHeader(reinterpret_cast<const unsigned char*>(c.header), c.length));
    }
}

TEST(SettingsCodec, OldVersionsGetLaterDefaultsOnly)
{
    Settings file = patterned();
    file.menuShowPowerOff = 0;
    file.scheduleResumeMinutes = 7;
    file.idleResumeEnabled = 1;
    struct Case { const char* header; bool laterDefaults; };
    const Case cases[] = {{"Pelk1029", true}, {"Pelk1000", true}, {"Pelk1030", false},
                          {"Pelk1299", false}, {"Pelk1300", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        std::vector<unsigned char> bytes = fileWith(c.header, file, settingsFileSize);
        Settings s{};
        decodeSettingsFile(bytes.data(), bytes.size(), s);
        EXPECT_EQ(c.laterDefaults ? 1u : 0u, s.menuShowPowerOff);
        EXPECT_EQ(c.laterDefaults ? 120u : 7u, s.scheduleResumeMinutes);
        EXPECT_EQ(1u, s.idleResumeEnabled);  // never part of the later defaults
        EXPECT_EQ(file.chargedPercent, s.chargedPercent);
    }
}

TEST(SettingsCodec, BadMagicGivesExactlyTheFullDefaults)
{
    Settings expected{};
    applyDefaults(expected);
    // Fields the defaults do not touch keep what they held; at start-up that is zero.
    Settings startUp{};
    std::vector<unsigned char> bytes = fileWith("Xelk1300", patterned(), settingsFileSize);
    decodeSettingsFile(bytes.data(), bytes.size(), startUp);
    EXPECT_EQ(0, std::memcmp(&expected, &startUp, sizeof expected));
    EXPECT_STREQ("Mr Computer", startUp.remoteComputerName);
    EXPECT_EQ(97u, startUp.chargedPercent);
    EXPECT_EQ(1u, startUp.trayIconEnabled);
}

TEST(SettingsCodec, FileLengths)
{
    Settings file = patterned();
    struct Case { const char* name; size_t length; size_t bytesTaken; };
    const Case cases[] = {
        {"header only", 8, 0},
        {"500 bytes", 500, 492},
        {"exact", settingsFileSize, sizeof(Settings)},
        {"2000 bytes", 2000, sizeof(Settings)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> bytes = fileWith("Pelk1300", file, c.length);
        Settings s{};
        decodeSettingsFile(bytes.data(), bytes.size(), s);
        const unsigned char* got = reinterpret_cast<const unsigned char*>(&s);
        const unsigned char* want = reinterpret_cast<const unsigned char*>(&file);
        for (size_t i = 0; i < sizeof s; ++i) {
            unsigned char expected = i < c.bytesTaken ? want[i] : 0;
            if (i == sizeof s.remoteComputerName - 1)
                expected = 0;  // the name is always terminated
            ASSERT_EQ(expected, got[i]) << "byte " << i;
        }
    }
}

TEST(SettingsCodec, HeaderOnlyFileLeavesTheNameEmpty)
{
    std::vector<unsigned char> bytes(reinterpret_cast<const unsigned char*>("Pelk1300"),
                                     reinterpret_cast<const unsigned char*>("Pelk1300") + 8);
    Settings s{};
    decodeSettingsFile(bytes.data(), bytes.size(), s);
    EXPECT_STREQ("", s.remoteComputerName);
    EXPECT_EQ(0u, s.trayIconEnabled);
}

TEST(SettingsCodec, UnterminatedNameIsCutAt599)
{
    Settings file{};
    std::memset(file.remoteComputerName, 'A', sizeof file.remoteComputerName);
    std::vector<unsigned char> bytes = fileWith("Pelk1300", file, settingsFileSize);
    Settings s{};
    decodeSettingsFile(bytes.data(), bytes.size(), s);
    EXPECT_EQ(599u, std::strlen(s.remoteComputerName));
}

TEST(SettingsDefaults, LaterDefaultsLeaveOtherFieldsAlone)
{
    Settings s{};
    applyLaterDefaults(s);
    EXPECT_EQ(120u, s.idleResumeMinutes);
    EXPECT_EQ(1u, s.menuShowSchedule);
    EXPECT_EQ(0u, s.idleResumeEnabled);
    EXPECT_EQ(0u, s.chargedPercent);
    EXPECT_STREQ("", s.remoteComputerName);
}

}  // namespace
