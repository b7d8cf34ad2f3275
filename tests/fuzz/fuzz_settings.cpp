// Feeds any bytes to the settings reader as the loader sees a file: the record that
// comes of it must write back as a whole file that reads back to the same record.
#include <cstring>

#include "settings/settings.h"

static void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    Settings loaded;
    std::memset(&loaded, 0, sizeof loaded);  // as at start-up
    decodeSettingsFile(data, size, loaded);
    require(std::memchr(loaded.remoteComputerName, '\0', sizeof loaded.remoteComputerName) != nullptr);
    unsigned char file[settingsFileSize + 1];
    file[settingsFileSize] = 0x5A;
    encodeSettingsFile(loaded, file);
    require(file[settingsFileSize] == 0x5A && std::memcmp(file, "Pelk1300", 8) == 0);
    Settings again;
    std::memset(&again, 0x41, sizeof again);
    decodeSettingsFile(file, settingsFileSize, again);
    require(std::memcmp(&loaded, &again, sizeof loaded) == 0);
    return 0;
}
