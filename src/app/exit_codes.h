// The codes Pelk.exe ends with when a start of it did not do what it was started for,
// and the 0 of a list whose computers all did it. Scripts test for these, so each is
// Windows' error code of that meaning, and a code once given never changes its meaning.
// A start that did its work ends with its load address (65536 or more); any code not
// listed here is the error of a call that failed. The help has a row for each.
#pragma once
#include <cstdint>

// name, code: the meaning.
#define PELK_EXIT_CODES(code)                                                                                \
    code(exitAllDone, 0)          /* every computer of a list did it; /exit: the Pelk that ran has ended */ \
    code(exitNoProgram, 2)        /* ERROR_FILE_NOT_FOUND: /when finds no program of its name */             \
    code(exitListRefused, 13)     /* ERROR_INVALID_DATA: a list file that holds no list of computers */      \
    code(exitBadArgument, 87)     /* ERROR_INVALID_PARAMETER: a word of the command line refused */          \
    code(exitOlderPelk, 120)      /* ERROR_CALL_NOT_IMPLEMENTED: the Pelk that runs takes no command */      \
    code(exitBusy, 170)           /* ERROR_BUSY: the Pelk that runs has a window open, or a remote action */ \
    code(exitListTooLarge, 223)   /* ERROR_FILE_TOO_LARGE: a list file of 64 KB or more */                   \
    code(exitNotFound, 1168)      /* ERROR_NOT_FOUND: /abort found nothing armed; /exit found no Pelk */     \
    code(exitCancelled, 1223)     /* ERROR_CANCELLED: left to the user's Pelk; a list cut short by Exit */   \
    code(exitForbidden, 1260)     /* ERROR_ACCESS_DISABLED_BY_POLICY: a Group Policy forbids it */           \
    code(exitTimedOut, 1460)      /* ERROR_TIMEOUT: another Pelk, or a computer of a list, did not answer */

#define PELK_EXIT_CODE_NAME(name, value) name = value,
#define PELK_EXIT_CODE_VALUE(name, value) name,
enum ExitCode : uint32_t { PELK_EXIT_CODES(PELK_EXIT_CODE_NAME) };
// Every code above, in order.
constexpr ExitCode exitCodes[] = {PELK_EXIT_CODES(PELK_EXIT_CODE_VALUE)};
#undef PELK_EXIT_CODE_NAME
#undef PELK_EXIT_CODE_VALUE
