// Remote actions made off the thread of the program's windows (remote_rules.h decides).
#pragma once
#include <windows.h>

#include "power/remote_rules.h"

// 1 while a remote action waits for its computers: a second start's slam is then busy.
extern volatile LONG remoteRunning;

// Shuts down or restarts the computer `names`, or each computer of the list text
// `names` (list), at most remoteInFlightMost at a time, each for remoteDeadlineMs at
// most, while the program's windows are served. Each failure is logged (with a list,
// each result); summary gets the text for the user: the computer's name, or the list's
// tally. 0 when every computer did it, else the first failure's error.
DWORD runRemoteAction(const char* names, bool list, bool restart, BOOL force, char* summary, size_t size);
// The MainWindow's remoteAnswerMessage (a call's thread ended) and remoteTimer (each second).
void onRemoteAnswer(WPARAM token, LPARAM error);
void onRemoteTimer();
