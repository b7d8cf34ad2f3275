// Feeds hostile command lines to the tokenizer, the start-mode test and the slam loop.
#include "app/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

const size_t maximumLine = 64 * 1024;
const unsigned argumentsTried = 6;
const size_t largeOut = 600;
const size_t smallOut = 8;
const size_t guardSize = 16;
const char guardByte = '\x5A';
const char untouchedByte = '\x01';
const uint32_t fillWord = 0x41414141u;

char line[maximumLine + 1];

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool hasOddQuotes(const char* text)
{
    size_t quotes = 0;
    for (; *text; ++text)
        quotes += *text == '"';
    return (quotes & 1) != 0;
}

// Runs the tokenizer into `out` (outSize bytes plus a guard that must survive).
int checkedArgument(unsigned n, char* out, size_t outSize)
{
    std::memset(out, guardByte, outSize + guardSize);
    out[0] = untouchedByte;
    const int result = getArgumentFrom(line, n, out, outSize);
    require(result >= argumentFound && result <= argumentEmpty);
    for (size_t i = outSize; i < outSize + guardSize; ++i)
        require(out[i] == guardByte);
    if (result == argumentOddQuotes) {
        require(out[0] == untouchedByte);
        return result;
    }
    require(std::memchr(out, '\0', outSize) != nullptr);
    if (result != argumentFound)
        require(out[0] == '\0');
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > maximumLine)
        size = maximumLine;
    std::memcpy(line, data, size);
    line[size] = '\0';
    const size_t lineLength = std::strlen(line);
    const bool odd = hasOddQuotes(line);

    char large[largeOut + guardSize];
    char small[smallOut + guardSize];
    int previous = argumentFound;
    for (unsigned n = 0; n < argumentsTried; ++n) {
        const int result = checkedArgument(n, large, largeOut);
        require(checkedArgument(n, small, smallOut) == result);
        require(getArgumentFrom(line, n, nullptr, 0) == result);
        require((result == argumentOddQuotes) == odd);
        // Once an argument is missing, every later one is missing too.
        require(previous != argumentMissing || result == argumentMissing);
        previous = result;
        if (odd)
            continue;

        const size_t length = std::strlen(large);
        require(length <= lineLength);
        require(std::strncmp(large, small, smallOut - 1) == 0);
        require(std::memchr(large, '"', length) == nullptr);
        require(std::memchr(large, '\t', length) == nullptr);
        require(std::memchr(large, '\xFE', length) == nullptr);

        char keyword[5];
        std::memset(keyword, guardByte, sizeof keyword);
        keywordOf(large, keyword);
        require(std::memchr(keyword, '\0', sizeof keyword) != nullptr);
        for (const char* k = keyword; *k; ++k)
            require(*k < 'A' || *k > 'Z');
    }

    const StartMode mode = chooseStartMode(line, static_cast<uint32_t>(size & 1));
    require(mode == startOptions || mode == startQuiet || mode == startSlam);
    require(!odd || mode == startOptions);

    Settings s;
    std::memset(&s, 0x41, sizeof s);
    s.remoteComputerName[sizeof s.remoteComputerName - 1] = '\0';
    const bool remote = applySlamKeywords(line, s);
    require(!odd || !remote);
    require(std::memchr(s.remoteComputerName, '\0', sizeof s.remoteComputerName) != nullptr);
    require(s.commandAction <= 5 || s.commandAction == fillWord);
    require(s.commandPromptMode == 1 || s.commandPromptMode == 2 || s.commandPromptMode == fillWord);
    require(s.forceAction == 1 || s.forceAction == fillWord);
    require(s.chargedPercent == fillWord && s.trayIconEnabled == fillWord);
    return 0;
}
