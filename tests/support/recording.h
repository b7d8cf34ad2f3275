// Test side of the recording power layer: where it journals and what it reads.
#pragma once

// The folder of "PowerJournal.txt" and "PowerReadings.ini"; by default the
// folder of the running program.
void setRecordingDirectory(const char* folder);
