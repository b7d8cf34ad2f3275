// Feeds hostile command lines to the tokenizer, the start-mode test and the slam loop.
#include "app/command_line.h"

#include <cstring>

namespace {

char line[64 * 1024 + 1];

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Argument n into `out` of outSize bytes, followed by a guard that must survive.
int checkedArgument(unsigned n, char* out, size_t outSize)
{
    std::memset(out, 'Z', outSize + 16);
    out[0] = 1;
    const int result = getArgumentFrom(line, n, out, outSize);
    require(result >= argumentFound && result <= argumentEmpty);
    for (size_t i = outSize; i < outSize + 16; ++i)
        require(out[i] == 'Z');
    require(result == argumentOddQuotes ? out[0] == 1 : std::memchr(out, '\0', outSize) != nullptr);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    size = size < sizeof line ? size : sizeof line - 1;
    std::memcpy(line, data, size);
    line[size] = '\0';
    size_t quotes = 0;
    for (const char* p = line; *p; ++p)
        quotes += *p == '"';
    const bool odd = (quotes & 1) != 0;

    char large[600 + 16];
    char small[8 + 16];
    int previous = argumentFound;
    for (unsigned n = 0; n < 6; ++n) {
        const int result = checkedArgument(n, large, 600);
        require(checkedArgument(n, small, 8) == result);
        require((result == argumentOddQuotes) == odd);
        require(previous != argumentMissing || result == argumentMissing);  // missing stays missing
        previous = result;
        if (odd)
            continue;
        const size_t length = std::strlen(large);
        require(length <= size && std::strncmp(large, small, 7) == 0 && !std::memchr(large, '"', length));
        char keyword[5];
        keywordOf(large, keyword);
        for (const char* k = keyword; *k; ++k)
            require(*k < 'A' || *k > 'Z');
    }
    const StartMode mode = chooseStartMode(line, static_cast<uint32_t>(size & 1));
    require(!odd || mode == startOptions);

    Settings s;
    std::memset(&s, 0x41, sizeof s);
    s.remoteComputerName[599] = '\0';
    const bool remote = applySlamKeywords(line, s);
    require(!odd || !remote);
    require(std::memchr(s.remoteComputerName, '\0', sizeof s.remoteComputerName) != nullptr);
    require((s.commandAction <= 5 || s.commandAction == 0x41414141u) && s.chargedPercent == 0x41414141u);
    require(s.commandPromptMode - 1 <= 1 || s.commandPromptMode == 0x41414141u);
    return 0;
}
