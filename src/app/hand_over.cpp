// The receiving side's check of a hand-over: another program's message is hostile input.
#include "app/hand_over.h"

#include <cstring>

uint32_t handOverExitCode(uint64_t answer)
{
    uint32_t low = static_cast<uint32_t>(answer);
    if (low == 0)
        return exitOlderPelk;
    return low == handOverDone ? 0 : low;
}

bool readHandOver(uint32_t kind, const void* data, size_t size, char* out, size_t outSize)
{
    if (kind != handOverKind || data == nullptr || size == 0 || size > outSize)
        return false;
    std::memcpy(out, data, size);
    out[size - 1] = '\0';
    return true;
}

const char* handOverFolder(const char* out, size_t size)
{
    const char* end = static_cast<const char*>(std::memchr(out, '\0', size));
    return end != nullptr && end + 1 < out + size ? end + 1 : end;
}
