// Loading and saving the Settings record, and the event log file.
#pragma once
#include <windows.h>

// dataDir + name when that file can be opened for reading, else programDir + name.
void locateSettingsFile(const char* name, char* path);
void loadSettings();
// Writes the whole record to dataDir; a failed save leaves the previous file whole.
bool saveSettings();
// Appends one stamped line to dataDir + "dLog.txt", rotating a log above 1,000,000 bytes.
void appendLogLine(const char* text);
