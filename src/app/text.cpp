// Bounded text helpers and path editing.
#include "app/text.h"

#include <cstring>

void copyText(char* out, size_t size, const char* source)
{
    if (size == 0)
        return;
    out[0] = '\0';
    appendText(out, size, source);
}

void appendText(char* out, size_t size, const char* source)
{
    if (size == 0)
        return;
    size_t n = strnlen(out, size - 1);
    while (n + 1 < size && *source != '\0')
        out[n++] = *source++;
    out[n] = '\0';
}

void appendNumber(char* out, size_t size, uint32_t value)
{
    char digits[11];
    size_t n = sizeof digits - 1;
    digits[n] = '\0';
    do {
        digits[--n] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    appendText(out, size, digits + n);
}

void stripFileName(char* path)
{
    char* lastSlash = std::strrchr(path, '\\');
    if (lastSlash != nullptr)
        lastSlash[1] = '\0';
}

uint32_t leadingNumber(const char* text)
{
    while (*text == ' ')
        ++text;
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + static_cast<uint64_t>(*text - '0');
        if (value > 0xFFFFFFFFull)
            return 0xFFFFFFFFu;
    }
    return static_cast<uint32_t>(value);
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameTextIgnoringCase(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

void plainPathOf(char* path)
{
    if (std::strncmp(path, "\\\\?\\UNC\\", 8) == 0) {
        std::memmove(path + 2, path + 8, std::strlen(path + 8) + 1);
    } else if (std::strncmp(path, "\\\\?\\", 4) == 0) {
        std::memmove(path, path + 4, std::strlen(path + 4) + 1);
    }
}
