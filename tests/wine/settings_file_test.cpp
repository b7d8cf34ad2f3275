// Settings and log files under Wine: where they are read and written, and what
// a failed save or a full log leaves behind.
#include <gtest/gtest.h>

#include "wine_fixture.h"

namespace {

TEST_F(FolderTest, SettingsReadFromDataDirElseProgramDir)
{
    Settings inProgramDir{};
    applyDefaults(inProgramDir);
    inProgramDir.idleMinutes = 111;
    writeSettingsTo(programFolder(), inProgramDir);

    ZeroMemory(&settings, sizeof settings);
    loadSettings();
    EXPECT_EQ(111u, settings.idleMinutes);

    Settings inDataDir = inProgramDir;
    inDataDir.idleMinutes = 222;
    writeSettingsTo(dataFolder(), inDataDir);
    ZeroMemory(&settings, sizeof settings);
    loadSettings();
    EXPECT_EQ(222u, settings.idleMinutes);
}

TEST_F(FolderTest, NoFileGivesDefaultsAndSaveGoesToDataDir)
{
    ZeroMemory(&settings, sizeof settings);
    loadSettings();
    EXPECT_STREQ("Mr Computer", settings.remoteComputerName);
    settings.idleMinutes = 333;
    ASSERT_TRUE(saveSettings());
    EXPECT_FALSE(exists(programFolder() + "dPelk.dat"));
    std::string saved = readWhole(dataFolder() + "dPelk.dat");
    ASSERT_EQ(settingsFileSize, saved.size());
    unsigned char expected[settingsFileSize];
    encodeSettingsFile(settings, expected);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(expected), sizeof expected), saved);
    EXPECT_FALSE(exists(dataFolder() + "dPelk.new"));
}

TEST_F(FolderTest, SaveThatCannotWriteLeavesOldFileWhole)
{
    Settings old{};
    applyDefaults(old);
    old.idleMinutes = 444;
    writeSettingsTo(dataFolder(), old);
    std::string before = readWhole(dataFolder() + "dPelk.dat");
    // A folder where the temporary file would go: it cannot be created.
    ASSERT_TRUE(CreateDirectoryA((dataFolder() + "dPelk.new").c_str(), nullptr));
    settings.idleMinutes = 555;
    EXPECT_FALSE(saveSettings());
    EXPECT_EQ(before, readWhole(dataFolder() + "dPelk.dat"));
    RemoveDirectoryA((dataFolder() + "dPelk.new").c_str());
    EXPECT_TRUE(saveSettings());
    ZeroMemory(&settings, sizeof settings);
    loadSettings();
    EXPECT_EQ(555u, settings.idleMinutes);
}

TEST_F(FolderTest, LockedSettingsFileIsNotReplacedAndNotLost)
{
    Settings old{};
    applyDefaults(old);
    writeSettingsTo(dataFolder(), old);
    std::string before = readWhole(dataFolder() + "dPelk.dat");
    HANDLE lock = CreateFileA((dataFolder() + "dPelk.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    settings.idleMinutes = 666;
    EXPECT_FALSE(saveSettings());
    CloseHandle(lock);
    EXPECT_EQ(before, readWhole(dataFolder() + "dPelk.dat"));
    EXPECT_FALSE(exists(dataFolder() + "dPelk.new"));
}

TEST_F(FolderTest, LogEntriesAndRotation)
{
    const std::string log = dataFolder() + "dLog.txt";
    const std::string oldLog = dataFolder() + "dLogOld.txt";
    struct Case { const char* name; long existingSize; bool rotates; };
    const Case cases[] = {
        {"new log", -1, false},
        {"empty log", 0, false},
        {"exactly 1,000,000 bytes", 1000000, false},
        {"1,000,001 bytes", 1000001, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(log.c_str());
        writeBytes(oldLog, std::string("older"));
        std::string existing;
        if (c.existingSize >= 0) {
            existing = std::string(static_cast<size_t>(c.existingSize), 'x');
            writeBytes(log, existing);
        }
        appendLogLine("Log Off");
        std::string content = readWhole(log);
        std::string entry;
        if (c.rotates || c.existingSize <= 0) {
            ASSERT_EQ(19u + 47 + 7 + 2, content.size());
            EXPECT_EQ("Pelk v1.3 Log\r\n  \r\n", content.substr(0, 19));
            entry = content.substr(19);
        } else {
            ASSERT_EQ(existing.size() + 47 + 7 + 2, content.size());
            EXPECT_EQ(existing, content.substr(0, existing.size()));
            entry = content.substr(existing.size());
        }
        EXPECT_EQ(" : Log Off\r\n", entry.substr(44));
        EXPECT_EQ(' ', entry[2]);
        EXPECT_EQ(' ', entry[5]);
        EXPECT_EQ(c.rotates ? existing : std::string("older"), readWhole(oldLog));
    }
}

TEST_F(FolderTest, FailedRotationKeepsTheLogAndRetries)
{
    const std::string log = dataFolder() + "dLog.txt";
    const std::string oldLog = dataFolder() + "dLogOld.txt";
    std::string full(1000001, 'x');
    writeBytes(log, full);
    // A folder in the way of the copy makes it fail.
    ASSERT_TRUE(CreateDirectoryA(oldLog.c_str(), nullptr));
    appendLogLine("Restart");
    std::string content = readWhole(log);
    ASSERT_EQ(full.size() + 47 + 7 + 2, content.size());
    EXPECT_EQ(full, content.substr(0, full.size()));
    RemoveDirectoryA(oldLog.c_str());

    appendLogLine("Shutdown");
    EXPECT_EQ(content, readWhole(oldLog));
    EXPECT_EQ(19u + 47 + 8 + 2, readWhole(log).size());
}

TEST_F(FolderTest, LogHeldOpenByAnotherProgramLosesTheEntryOnly)
{
    const std::string log = dataFolder() + "dLog.txt";
    writeBytes(log, "kept");
    HANDLE lock = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    appendLogLine("Power Off");
    CloseHandle(lock);
    EXPECT_EQ("kept", readWhole(log));
}

}  // namespace
