// The running copy's check of a message that claims to be a second start's command line.
#include <gtest/gtest.h>

#include <string>

#include "app/hand_over.h"

TEST(HandOver, OnlyOurKindWithinTheBufferIsRead)
{
    const char line[] = "Pelk.exe /slam /poff";
    struct Case { uint32_t kind; size_t size; size_t outSize; bool read; const char* got; };
    const Case cases[] = {
        {handOverKind, sizeof line, 64, true, "Pelk.exe /slam /poff"},
        {handOverKind, sizeof line - 1, 64, true, "Pelk.exe /slam /pof"},  // no terminator: cut, never read past
        {handOverKind, sizeof line, sizeof line, true, "Pelk.exe /slam /poff"},
        {handOverKind, sizeof line, sizeof line - 1, false, ""},
        {handOverKind, 0, 64, false, ""},
        {1, sizeof line, 64, false, ""},
    };
    for (const Case& c : cases) {
        char out[64] = "";
        EXPECT_EQ(c.read, readHandOver(c.kind, line, c.size, out, c.outSize)) << c.size;
        EXPECT_EQ(std::string(c.got), out);
    }
}
