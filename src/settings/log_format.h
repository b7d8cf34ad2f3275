// Layout of the event log "dLog.txt": its header, the fixed-column entry, and
// when the log is restarted.
#pragma once
#include <cstddef>
#include <cstdint>

extern const char logFileName[];     // "dLog.txt"
extern const char oldLogFileName[];  // "dLogOld.txt"
extern const char logHeader[];       // "Pelk v1.3 Log\r\n  \r\n"
const size_t logHeaderSize = 19;
const uint32_t logRotateAbove = 1000000;
const size_t logTimeColumn = 9;
const size_t logDateColumn = 35;
// An entry: time, date, " : ", the text, CR LF.
const size_t logEntryOverhead = logTimeColumn + logDateColumn + 3 + 2;

// Appends spaces to the text until it holds `length` characters; a text that
// long or longer is left alone. The buffer must hold length + 1 bytes.
void fillWithSpaces(char* text, size_t length);

// What a new entry needs first, given the log's size before it.
enum LogStart { logAppend, logWriteHeader, logRotate };
LogStart logStartFor(uint64_t currentSize);

// Builds one entry into `out`; returns its length in bytes (no terminator is
// written or counted), or 0 when `out` cannot hold it. The time fills 9 columns,
// the date 35 (cut after its 35th byte), then " : ", the text and CR LF.
size_t formatLogEntry(const char* timeText, const char* dateText, const char* text,
                      char* out, size_t outSize);
