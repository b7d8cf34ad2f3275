// A second start of Pelk hands its command line to the copy already running in the
// session, as a WM_COPYDATA of its own kind, and takes the answer as its exit code.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/exit_codes.h"

const uint32_t handOverKind = 0x4B4C4550;  // "PELK"
// The longest command line Windows passes, with its terminator.
const size_t handOverMost = 32768;
// The running copy's answers: done (the second start ends as a slam of its own would),
// busy (a prompt, the Schedule Shutdown dialog or the options are open: nothing was
// done), or else the error of the call that failed. 0 is what any window answers to a
// message it ignores.
const uint32_t handOverDone = 0xFFFFFFFF;
const uint32_t handOverBusy = exitBusy;
// Done, and the second start ends with 0 itself: every computer of a list did it.
const uint32_t handOverAllDone = 0xFFFFFFFE;

// The exit code of a second start from the running copy's answer, whatever the width of
// either program (a 64-bit start sees a 32-bit copy's answer sign-extended, so only the
// low 32 bits count): 0 when done (the caller ends as a slam of its own would), 120
// (ERROR_CALL_NOT_IMPLEMENTED) for no answer (an older Pelk), else the answer.
uint32_t handOverExitCode(uint64_t answer);

// Copies a received message into out (outSize bytes) when it is a hand-over: of our
// kind, not empty, not longer than out. The copy always ends at its last byte, so a
// line without a terminator is cut, never read beyond.
// A second string after the command line's terminator, when there is one, is the folder
// the second start was typed in; folder points at it, else at "".
bool readHandOver(uint32_t kind, const void* data, size_t size, char* out, size_t outSize);
const char* handOverFolder(const char* out, size_t size);
