// Walks the command line in place, so a line of any length is read without a working copy.
#include "app/command_line.h"

#include <cstring>

#include "app/text.h"
#include "triggers/clock_rules.h"
#include "triggers/schedule_rules.h"
#include "triggers/watch_rules.h"

namespace {

const size_t argumentBufferSize = 600;
const unsigned char placeholderByte = 254;

bool isSeparator(char c)
{
    return c == ' ' || c == '\t';
}

bool hasOddQuoteCount(const char* text)
{
    size_t quotes = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == '"')
            ++quotes;
    }
    return (quotes & 1) != 0;
}

// Every argument starts outside a quote pair, so the pairing restarts at each one.
const char* endOfArgument(const char* p)
{
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (isSeparator(*p) && !quoted)
            break;
    }
    return p;
}

// Moves p from the start of one argument to the start of the next; false when no
// separator follows. A separator run at the very end leads to an empty argument.
bool advanceToNextArgument(const char*& p)
{
    p = endOfArgument(p);
    if (!*p)
        return false;
    while (isSeparator(*p))
        ++p;
    return true;
}

int copyArgument(const char* p, char* out, size_t outSize)
{
    const char* end = endOfArgument(p);
    size_t written = 0;
    bool anyCharacter = false;
    for (; p < end; ++p) {
        if (*p == '"')
            continue;
        anyCharacter = true;
        char c = *p;
        if (isSeparator(c) || static_cast<unsigned char>(c) == placeholderByte)
            c = ' ';
        if (written + 1 < outSize)
            out[written++] = c;
    }
    if (outSize > 0)
        out[written] = '\0';
    return anyCharacter ? argumentFound : argumentEmpty;
}

// The start of argument 0, or nullptr for a line without any argument.
const char* firstArgument(const char* commandLine)
{
    const char* p = commandLine;
    while (isSeparator(*p))
        ++p;
    return *p ? p : nullptr;
}

void setMissing(char* out, size_t outSize)
{
    if (outSize > 0)
        out[0] = '\0';
}

struct SlamKeyword {
    const char* keyword;
    uint32_t Settings::*field;
    uint32_t value;
};

const SlamKeyword slamKeywords[] = {
    {"wait", &Settings::commandPromptMode, 1},
    {"warn", &Settings::commandPromptMode, 2},
    {"loop", &Settings::commandAction, 1},
    {"logo", &Settings::commandAction, 2},
    {"shut", &Settings::commandAction, 0},
    {"kill", &Settings::forceAction, 1},
    {"poff", &Settings::commandAction, 3},
    {"hibr", &Settings::commandAction, 4},
    {"susp", &Settings::commandAction, 5},
    // Whole words, for the first letters of the words above mean other actions.
    {"rest", &Settings::commandAction, 1},
    {"powe", &Settings::commandAction, 0},
    {"slee", &Settings::commandAction, 4},
    {"hibe", &Settings::commandAction, 5},
    {"sign", &Settings::commandAction, 3},
};

// The words that do more than set a field, each read in applySlamKeywords.
const char* const slamValueWords[] = {"remo", "when", "time", "mins", "abor"};

// The name starts after "/remo" (and "/when") and one separator character of any kind.
const size_t remoteNameOffset = 6;

void applyRemoteArgument(const char* argument, Settings& s)
{
    size_t length = std::strlen(argument);
    // "/remo:@" (a list whose name an empty variable left out) is kept, to be refused.
    if (length <= remoteNameOffset + 1 && !(length == remoteNameOffset + 1 && argument[remoteNameOffset] == '@'))
        return;
    size_t nameLength = length - remoteNameOffset;
    if (nameLength > sizeof s.remoteComputerName - 1)
        nameLength = sizeof s.remoteComputerName - 1;
    std::memcpy(s.remoteComputerName, argument + remoteNameOffset, nameLength);
    s.remoteComputerName[nameLength] = '\0';
}

// A name that leaves nothing once trimmed keeps the stored one.
void applyWatchArgument(const char* argument, Settings& s)
{
    if (std::strlen(argument) <= remoteNameOffset)
        return;
    char name[sizeof s.watchProgram] = "";
    watchedFileName(argument + remoteNameOffset, name, sizeof name);
    if (name[0] != '\0')
        std::memcpy(s.watchProgram, name, sizeof name);
}

} // namespace

int getArgumentFrom(const char* commandLine, unsigned n, char* out, size_t outSize)
{
    if (!out)
        outSize = 0;
    if (!commandLine)
        commandLine = "";
    if (hasOddQuoteCount(commandLine))
        return argumentOddQuotes;
    const char* p = firstArgument(commandLine);
    if (!p) {
        setMissing(out, outSize);
        return argumentMissing;
    }
    for (unsigned i = 0; i < n; ++i) {
        if (!advanceToNextArgument(p)) {
            setMissing(out, outSize);
            return argumentMissing;
        }
    }
    return copyArgument(p, out, outSize);
}

void keywordOf(const char* argument, char keyword[5])
{
    size_t length = 0;
    if (argument && argument[0]) {
        for (const char* p = argument + 1; *p && length < 4; ++p)
            keyword[length++] = lowerAscii(*p);
    }
    keyword[length] = '\0';
}

const char* slamKeywordAt(size_t index)
{
    const size_t fields = sizeof slamKeywords / sizeof slamKeywords[0];
    if (index < fields)
        return slamKeywords[index].keyword;
    return index - fields < sizeof slamValueWords / sizeof slamValueWords[0] ? slamValueWords[index - fields] : nullptr;
}

// A keyword of the slam's, those that take a value too.
static bool isSlamKeyword(const char* keyword)
{
    for (size_t i = 0; slamKeywordAt(i) != nullptr; ++i) {
        if (std::strcmp(keyword, slamKeywordAt(i)) == 0)
            return true;
    }
    return false;
}

StartMode chooseStartMode(const char* commandLine, uint32_t trayIconEnabled)
{
    char argument[argumentBufferSize];
    argument[0] = '\0';
    int result = getArgumentFrom(commandLine, 1, argument, sizeof argument);
    if (result == argumentMissing || result == argumentOddQuotes)
        argument[0] = '\0';

    char keyword[5];
    keywordOf(argument, keyword);
    if (std::strcmp(keyword, "slam") == 0)
        return startSlam;
    if (std::strcmp(keyword, "exit") == 0)
        return startExit;
    if ((argument[0] == '/' || argument[0] == '-') && isSlamKeyword(keyword))
        return startMisplaced;
    if (argument[0] && (argument[1] == 'q' || argument[1] == 'Q') && trayIconEnabled)
        return startQuiet;
    return startOptions;
}

bool isPolicyStart(const char* commandLine)
{
    char argument[argumentBufferSize];
    return getArgumentFrom(commandLine, 1, argument, sizeof argument) == argumentFound &&
           (argument[0] == '/' || argument[0] == '-') && sameTextIgnoringCase(argument + 1, "q:policy", 9);
}

// The minutes of "/mins:90": digits only, 0 to Schedule Shutdown's most; a larger number
// is refused, never shortened into a time the user did not name.
bool readMinutes(const char* text, uint32_t* minutes)
{
    if (*text < '0' || *text > '9')
        return false;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    const uint32_t value = leadingNumber(text);
    if (value != clampScheduleMinutes(value))
        return false;
    *minutes = value;
    return true;
}

// One pass over the text instead of re-reading it for every argument number, into a
// copy of the record that is kept only when every argument was a keyword.
SlamWords applySlamKeywords(const char* commandLine, Settings& s)
{
    SlamWords words = {};
    if (!commandLine || hasOddQuoteCount(commandLine))
        return words;
    const char* p = firstArgument(commandLine);
    if (!p || !advanceToNextArgument(p) || !advanceToNextArgument(p))
        return words;

    Settings applied = s;
    char argument[argumentBufferSize];
    char keyword[5];
    do {
        if (copyArgument(p, argument, sizeof argument) != argumentFound)
            break;
        keywordOf(argument, keyword);
        const char* value = std::strlen(argument) > remoteNameOffset ? argument + remoteNameOffset : "";
        bool valid = true;
        if (std::strcmp(keyword, "remo") == 0) {
            words.remote = true;
            applyRemoteArgument(argument, applied);
        } else if (std::strcmp(keyword, "when") == 0) {
            words.watch = true;
            applyWatchArgument(argument, applied);
        } else if (std::strcmp(keyword, "time") == 0) {
            words.clock = valid = parseClockTime(value, &words.clockMinute);
        } else if (std::strcmp(keyword, "mins") == 0) {
            words.countdown = valid = readMinutes(value, &words.countdownMinutes);
        } else if (std::strcmp(keyword, "abor") == 0) {
            words.abort = true;
        } else {
            const SlamKeyword* found = nullptr;
            for (const SlamKeyword& entry : slamKeywords)
                found = found == nullptr && std::strcmp(keyword, entry.keyword) == 0 ? &entry : found;
            if (found != nullptr)
                applied.*found->field = found->value;
            valid = found != nullptr;
        }
        if (!valid) {
            SlamWords refused = {};
            refused.badValue = keyword[0] == 't' || keyword[0] == 'm';
            copyText(refused.unknown, sizeof refused.unknown, argument);
            return refused;
        }
    } while (advanceToNextArgument(p));
    s = applied;
    return words;
}

uint32_t remoteRestartFlag(uint32_t commandAction)
{
    return (commandAction == 1 || commandAction == 7) ? 1 : 0;
}
