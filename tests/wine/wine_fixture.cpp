// Folders, files and the settings record for the Win32 tests.
#include "wine_fixture.h"

#include <cstdio>

#include "app/text.h"
#include "support/recording.h"

void writeSettingsTo(const std::string& folder, const Settings& s)
{
    unsigned char bytes[settingsFileSize];
    encodeSettingsFile(s, bytes);
    writeBytes(folder + "dPelk.dat", std::string(reinterpret_cast<char*>(bytes), sizeof bytes));
}

void FolderTest::SetUp()
{
    saved_ = settings;
    program_ = newTempFolder("program");
    data_ = newTempFolder("data");
    copyText(programDir, textSize, program_.c_str());
    copyText(dataDir, textSize, data_.c_str());
    setRecordingDirectory(data_.c_str());
    applyDefaults(settings);
}

void FolderTest::TearDown()
{
    removeTree(program_);
    removeTree(data_);
    settings = saved_;
}
