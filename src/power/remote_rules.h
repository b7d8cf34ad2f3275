// Remote actions on a list of computers: the list file read, and the bookkeeping of
// calls made several at a time, each with a deadline, free of the Win32 API.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/exit_codes.h"

const size_t remoteMostHosts = 1024;
const size_t remoteNameSize = 256;
const unsigned remoteInFlightMost = 16;
const uint32_t remoteDeadlineMs = 60000;
const uint32_t remoteTimedOut = exitTimedOut;

// The computer names of a list file's text: one a line; blanks around a name, blank
// lines, a '#' and what follows it on its line (a comment) and a leading "\\" are left
// out, and so is a name met before (whatever its case). The count; most + 1 (with `most`
// names kept) when the text names more than `most` computers. A line that holds no
// computer's name (a blank or one of \ / * ? " < > | , ; = + within it, or 256
// characters or more) refuses the list whole: 0, with its number (from 1) in *badLine,
// which is 0 otherwise.
size_t readHostList(const char* text, size_t size, char (*names)[remoteNameSize], size_t most, size_t* badLine);

enum HostState : uint8_t { hostWaiting, hostCalling, hostDone };

struct RemoteRun {
    size_t count;
    uint32_t deadlineMs;
    HostState state[remoteMostHosts];
    uint32_t started[remoteMostHosts];  // tick of the call's start
    uint32_t error[remoteMostHosts];    // 0 done; remoteTimedOut when no answer came in time
};

void beginRemoteRun(RemoteRun& run, size_t count, uint32_t deadlineMs);
// The next computer to call now (marked calling, its start stamped), or -1 when all
// have been called or remoteInFlightMost calls wait for their answers.
int nextHostToCall(RemoteRun& run, uint32_t now);
// An answer; one that comes after its deadline has passed is too late and changes nothing.
bool hostAnswered(RemoteRun& run, size_t host, uint32_t error);
// Calls past their deadline end as timed out; the first so ended, or -1.
int expireHost(RemoteRun& run, uint32_t now);
bool remoteRunDone(const RemoteRun& run);
// 0 when every computer did it, else the error of the first in the list that did not.
uint32_t remoteRunExitCode(const RemoteRun& run);
// How many computers did it, failed, and did not answer in time.
struct RemoteTally {
    size_t done, failed, silent;
};
RemoteTally tallyRemoteRun(const RemoteRun& run);
// "Remote Restart of 12 computers: 10 done, 2 failed (the log names them)."
void formatRemoteSummary(const RemoteRun& run, const char* action, char* out, size_t size);
