// Event log line layout and rotation rule.
#include "settings/log_format.h"

#include <cstring>

const char logFileName[] = "dLog.txt";
const char oldLogFileName[] = "dLogOld.txt";
const char logHeader[] = "Pelk v1.3 Log\r\n  \r\n";
static_assert(sizeof logHeader - 1 == logHeaderSize, "header is 19 bytes");

void fillWithSpaces(char* text, size_t length)
{
    size_t n = std::strlen(text);
    while (n < length)
        text[n++] = ' ';
    text[n] = '\0';
}

LogStart logStartFor(uint64_t currentSize)
{
    if (currentSize == 0)
        return logWriteHeader;
    if (currentSize > logRotateAbove)
        return logRotate;
    return logAppend;
}

// Copies exactly `width` bytes: the text, cut or padded with spaces.
static void putColumn(char* out, const char* text, size_t width)
{
    size_t n = 0;
    while (n < width && text[n] != '\0') {
        out[n] = text[n];
        ++n;
    }
    while (n < width)
        out[n++] = ' ';
}

size_t formatLogEntry(const char* timeText, const char* dateText, const char* text,
                      char* out, size_t outSize)
{
    size_t textLength = std::strlen(text);
    size_t total = logEntryOverhead + textLength;
    if (total > outSize)
        return 0;
    putColumn(out, timeText, logTimeColumn);
    putColumn(out + logTimeColumn, dateText, logDateColumn);
    char* p = out + logTimeColumn + logDateColumn;
    std::memcpy(p, " : ", 3);
    std::memcpy(p + 3, text, textLength);
    std::memcpy(p + 3 + textLength, "\r\n", 2);
    return total;
}
