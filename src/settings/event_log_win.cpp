// The event log "dLog.txt": one stamped line per logged action, with rotation
// to "dLogOld.txt" once the log has grown above 1,000,000 bytes.
#include "settings/settings_file.h"

#include "app/globals.h"
#include "app/text.h"
#include "settings/log_format.h"

// Others may read the log while a line is added (a viewer, a script, a virus scanner):
// they share it for reading, and one that holds it alone for a moment is waited for, a
// little, so that the line is not lost.
static HANDLE openLog(const char* path, DWORD disposition)
{
    for (int attempt = 0;; ++attempt) {
        HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION || attempt == 10)
            return file;
        Sleep(20);
    }
}

static void writeBytes(HANDLE file, const char* bytes, DWORD length)
{
    DWORD written;
    WriteFile(file, bytes, length, &written, nullptr);
}

// Starts a fresh log once the old content is safely copied; when the copy fails
// the full log stays open and the rotation is tried again at the next entry.
static HANDLE rotateLog(HANDLE file, const char* path)
{
    char oldPath[textSize];
    copyText(oldPath, textSize, dataDir);
    appendText(oldPath, textSize, oldLogFileName);
    CloseHandle(file);
    if (!CopyFileA(path, oldPath, FALSE))
        return openLog(path, OPEN_ALWAYS);
    file = openLog(path, CREATE_ALWAYS);
    if (file != INVALID_HANDLE_VALUE)
        writeBytes(file, logHeader, logHeaderSize);
    return file;
}

void appendLogLine(const char* text)
{
    char path[textSize];
    copyText(path, textSize, dataDir);
    appendText(path, textSize, logFileName);
    HANDLE file = openLog(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return;

    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
    LogStart start = logStartFor(size);
    if (start == logWriteHeader)
        writeBytes(file, logHeader, logHeaderSize);
    else if (start == logRotate)
        file = rotateLog(file, path);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SetFilePointer(file, 0, nullptr, FILE_END);

    char timeText[300] = "";
    char dateText[300] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, "HH' 'mm' 'ss", timeText, sizeof timeText);
    GetDateFormatA(0, DATE_LONGDATE, nullptr, nullptr, dateText, sizeof dateText);
    char entry[logEntryOverhead + textSize];
    char message[textSize];
    copyText(message, textSize, text);
    size_t length = formatLogEntry(timeText, dateText, message, entry, sizeof entry);
    writeBytes(file, entry, static_cast<DWORD>(length));
    CloseHandle(file);
}
