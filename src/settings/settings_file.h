// Loading and saving the Settings record, the event log file, and the entries in the
// Windows event log.
#pragma once
#include <windows.h>

// dataDir + name when that file can be opened for reading, else programDir + name.
void locateSettingsFile(const char* name, char* path);
void loadSettings();
// Writes the whole record to dataDir; a failed save leaves the previous file whole.
bool saveSettings();
// Appends one stamped line to dataDir + "dLog.txt", rotating a log above 1,000,000 bytes.
void appendLogLine(const char* text);
// One entry in the Application log of Windows (an ID of settings/system_events.h), with
// the insertion strings up to the first null; whatever the user's log, and none while
// the policy NoEventLog is set.
void reportSystemEvent(int id, const char* s1 = nullptr, const char* s2 = nullptr, const char* s3 = nullptr,
                       const char* s4 = nullptr, const char* s5 = nullptr);
