// Remote actions made off the thread of the program's windows (remote_rules.h decides).
#pragma once
#include <windows.h>

#include "power/remote_rules.h"

// 1 while a remote action waits for its computers: a second start's slam is then busy.
extern volatile LONG remoteRunning;

// Shuts down or restarts the computer `names`, or each computer of the list text
// `names` (list), at most remoteInFlightMost at a time, each for remoteDeadlineMs at
// most, on threads of their own while the program's windows go on. Each failure is
// logged (with a list, each result). ERROR_IO_PENDING once started: `finished` is called
// when the last computer has answered or been given up, with 0 when every computer did
// it, else the first failure's error, and the text for the user in `summary` (the
// computer's name, or the list's tally), which must live until then. Any other error
// (a list that names no computer, or too many) is at once, with its text in `summary`.
using RemoteFinished = void (*)(DWORD error, const char* summary);
DWORD startRemoteAction(const char* names, bool list, bool restart, BOOL force, RemoteFinished finished, char* summary,
                        size_t size);
// The MainWindow's remoteAnswerMessage (a call's thread ended) and remoteTimer (each second).
void onRemoteAnswer(WPARAM token, LPARAM error);
void onRemoteTimer();
// Pelk ends: a run still waiting finishes, what has not answered counted as cancelled.
void cancelRemoteRun();
