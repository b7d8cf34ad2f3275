// The settings file "dPelk.dat": read from the data or the program directory,
// always written to the data directory, never left torn.
#include "settings/settings_file.h"
#include "settings/policy.h"

#include "app/globals.h"
#include "app/text.h"

void locateSettingsFile(const char* name, char* path)
{
    copyText(path, textSize, dataDir);
    appendText(path, textSize, name);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    copyText(path, textSize, programDir);
    appendText(path, textSize, name);
}

// The file a save writes first and then moves over dPelk.dat.
static void temporaryPath(char* path)
{
    copyText(path, textSize, dataDir);
    appendText(path, textSize, "dPelk.new");
}

void loadSettings()
{
    char path[textSize];
    // A save cut short by a power failure leaves its temporary file: dPelk.dat is whole either way.
    temporaryPath(path);
    DeleteFileA(path);
    locateSettingsFile(settingsFileName, path);
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        applyDefaults(settings);
        return;
    }
    unsigned char bytes[settingsFileSize];
    DWORD total = 0;
    DWORD got = 0;
    while (total < sizeof bytes &&
           ReadFile(file, bytes + total, sizeof bytes - total, &got, nullptr) && got > 0)
        total += got;
    CloseHandle(file);
    decodeSettingsFile(bytes, total, settings);
}

static bool writeAll(HANDLE file, const unsigned char* bytes, DWORD length)
{
    DWORD written = 0;
    return WriteFile(file, bytes, length, &written, nullptr) && written == length;
}

bool saveSettings()
{
    char path[textSize];
    char temporary[textSize];
    copyText(path, textSize, dataDir);
    appendText(path, textSize, settingsFileName);
    temporaryPath(temporary);

    // What a policy sets stays out of the file, and in effect.
    static Settings record;
    userRecordOf(record);
    overlayPolicy(policy, settings);
    unsigned char bytes[settingsFileSize];
    encodeSettingsFile(record, bytes);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Often runs moments before the power goes: the new file must be on disk before it replaces the old.
    bool written = writeAll(file, bytes, settingsHeaderSize) &&
                   writeAll(file, bytes + settingsHeaderSize, sizeof(Settings)) &&
                   FlushFileBuffers(file);
    CloseHandle(file);
    if (written && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary);
    return false;
}
