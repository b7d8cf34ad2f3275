// Feeds hostile command lines to the tokenizer, the start-mode test and the slam loop,
// and hostile messages to the reading of a second start's hand-over.
#include "app/command_line.h"
#include "power/remote_rules.h"
#include "app/hand_over.h"

#include <cstring>

static char line[64 * 1024 + 1];

static void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    char handed[64];  // read only when it fits, and then terminated within what was sent
    if (readHandOver(handOverKind, data, size, handed, sizeof handed))
        require(size <= sizeof handed && std::memchr(handed, '\0', size) != nullptr);
    size = size < sizeof line ? size : sizeof line - 1;
    std::memcpy(line, data, size);
    line[size] = '\0';
    size_t quotes = 0;
    for (const char* p = line; *p; ++p)
        quotes += *p == '"';
    const bool odd = (quotes & 1) != 0;

    // Each argument fits its buffer, terminated, without quotes; a guard behind it survives.
    char out[8 + 16];
    int previous = argumentFound;
    for (unsigned n = 0; n < 6; ++n) {
        std::memset(out, 'Z', sizeof out);
        const int result = getArgumentFrom(line, n, out, 8);
        require(std::memcmp(out + 8, "ZZZZZZZZZZZZZZZZ", 16) == 0);
        require((result == argumentOddQuotes) == odd && (odd || std::memchr(out, '\0', 8) != nullptr));
        require(previous != argumentMissing || result == argumentMissing);  // missing stays missing
        require(odd || !std::memchr(out, '"', std::strlen(out)));
        previous = result;
    }
    const StartMode mode = chooseStartMode(line, static_cast<uint32_t>(size & 1));
    require(!odd || mode == startOptions);

    Settings s;
    std::memset(&s, 0x41, sizeof s);
    s.remoteComputerName[599] = '\0';
    s.watchProgram[207] = '\0';
    const SlamWords words = applySlamKeywords(line, s);
    // The refused word ends within its buffer; a refused slam asks for nothing.
    require(std::memchr(words.unknown, '\0', sizeof words.unknown) != nullptr);
    require(!words.unknown[0] || !(words.remote || words.watch || words.abort || words.clock || words.countdown));
    require(!odd || (!words.remote && !words.watch));
    require(words.clockMinute < 24 * 60 && words.countdownMinutes <= 999);
    require(std::memchr(s.remoteComputerName, '\0', sizeof s.remoteComputerName) != nullptr);
    require(std::memchr(s.watchProgram, '\0', sizeof s.watchProgram) != nullptr && (!words.watch || s.watchProgram[0]));
    require((s.commandAction <= 5 || s.commandAction == 0x41414141u) && s.chargedPercent == 0x41414141u);
    require(s.commandPromptMode - 1 <= 1 || s.commandPromptMode == 0x41414141u);

    // The same bytes as a list of computers: names terminated, trimmed, never repeated.
    static char names[8][remoteNameSize];
    size_t badLine = 0;
    const size_t count = readHostList(reinterpret_cast<const char*>(data), size, names, 8, &badLine);
    require(count <= 8 + 1);  // one more: the text names more than there is room for
    require(badLine == 0 || count == 0);
    for (size_t i = 0; i < count && i < 8; ++i) {
        const size_t length = strnlen(names[i], remoteNameSize);
        require(length > 0 && length < remoteNameSize && std::strpbrk(names[i], "# \t\\") == nullptr);
        for (size_t j = 0; j < i; ++j)
            require(strcasecmp(names[i], names[j]) != 0);
    }
    return 0;
}
