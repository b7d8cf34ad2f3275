// Command-line tokenizer, first-argument test and slam keyword loop, free of the Win32 API.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

enum : int { argumentFound = 1, argumentMissing = 2, argumentOddQuotes = 3, argumentEmpty = 4 };

// Argument n of commandLine (0 is the program path) into out, cut to outSize - 1
// characters and always terminated; out is left untouched for argumentOddQuotes.
int getArgumentFrom(const char* commandLine, unsigned n, char* out, size_t outSize);

// Characters 2 to 5 of the argument, A-Z lowered; shorter for arguments under 5 characters.
void keywordOf(const char* argument, char keyword[5]);

// startExit ("/exit"): the copy that runs is asked to save and end; nothing else is done.
// startMisplaced: a keyword of the slam's without "/slam" before it ("Pelk.exe /abort"):
// refused, for it is no plain start either.
enum StartMode { startOptions, startQuiet, startSlam, startExit, startMisplaced };

StartMode chooseStartMode(const char* commandLine, uint32_t trayIconEnabled);
// "/q:policy", the machine's start with Windows that the installers write for every user:
// a quiet start that goes on only while the Auto Start policy is on.
bool isPolicyStart(const char* commandLine);

// The keywords of the slam, as their first four letters ("shut", "remo"), those that set a
// field of the record and those that take a value or do more; null after the last.
const char* slamKeywordAt(size_t index);

// What a slam's words ask besides the keywords that set fields of the record.
struct SlamWords {
    bool remote;                // "remo": the action is a remote one
    bool watch;                 // "when": wait for a program to end, never act at once
    bool abort;                 // "abort": cancel what is armed
    bool clock;                 // "time:23:30": at that clock time, once
    uint32_t clockMinute;
    bool countdown;             // "mins:90": in that many minutes, as Schedule Shutdown does
    uint32_t countdownMinutes;  // within Schedule Shutdown's range, else refused
    char unknown[100];          // the first argument that is no keyword, cut to fit; "" when none
    bool badValue;              // ... or a "time" or "mins" whose value is no time or number
};

// Applies the keywords of arguments 2, 3, ... up to the first missing or empty one. The
// name of "when" ("/when:render.exe"), without the folders of a path, goes into
// s.watchProgram; without one ("/when", "/when:", a folder) the stored name stays. An
// argument that is no keyword, or holds no valid value, leaves s as it was, and all the
// rest of the answer empty: nothing may be done on a guess.
SlamWords applySlamKeywords(const char* commandLine, Settings& s);

// Restart flag of the remote slam: Restart and Remote Restart both restart.
uint32_t remoteRestartFlag(uint32_t commandAction);
