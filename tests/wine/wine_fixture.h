// Shared fixture of the Win32 tests: private program and data folders for each
// test, with the process-wide directories pointed at them.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/app.h"
#include "settings/settings_file.h"
#include "support/test_files.h"

void writeSettingsTo(const std::string& folder, const Settings& s);

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    const std::string& programFolder() const { return program_; }
    const std::string& dataFolder() const { return data_; }

private:
    std::string program_;
    std::string data_;
    Settings saved_;
};
