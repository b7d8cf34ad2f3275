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

enum StartMode { startOptions, startQuiet, startSlam };

StartMode chooseStartMode(const char* commandLine, uint32_t trayIconEnabled);

// Applies the keywords of arguments 2, 3, ... up to the first missing or empty one;
// true when a "remo" argument was among them. A "when" argument sets *watch (when
// given): the slam's action is then to wait for a program to end, never to act at
// once. Its name ("/when:render.exe"), without the folders of a path, goes into
// s.watchProgram; without one ("/when", "/when:", a folder) the stored name stays.
// An argument that is no keyword leaves s as it was, and is copied into unknown (when
// given, cut to unknownSize): nothing may be done on a guess.
bool applySlamKeywords(const char* commandLine, Settings& s, bool* watch = nullptr, char* unknown = nullptr,
                       size_t unknownSize = 0);

// Restart flag of the remote slam: Restart and Remote Restart both restart.
uint32_t remoteRestartFlag(uint32_t commandAction);
