// The receiving side's check of a hand-over: another program's message is hostile input.
#include "app/hand_over.h"

#include <cstring>

bool readHandOver(uint32_t kind, const void* data, size_t size, char* out, size_t outSize)
{
    if (kind != handOverKind || data == nullptr || size == 0 || size > outSize)
        return false;
    std::memcpy(out, data, size);
    out[size - 1] = '\0';
    return true;
}
