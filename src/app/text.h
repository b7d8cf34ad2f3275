// Bounded text helpers: every copy into a fixed buffer goes through these.
#pragma once
#include <cstddef>
#include <cstdint>

// Copies `source` into `out` (size bytes), cut to fit; always terminated when size > 0.
void copyText(char* out, size_t size, const char* source);
// Appends `source` to the text in `out`, cut to fit; always terminated when size > 0.
void appendText(char* out, size_t size, const char* source);
// Appends the unsigned decimal form of `value` (no leading zeros, no separators).
void appendNumber(char* out, size_t size, uint32_t value);
// A-Z lowered, every other character as it is: names compared as Windows compares
// file and computer names in the ASCII range.
char lowerAscii(char c);
// The first `length` characters of a and b alike but for the case of A-Z.
bool sameTextIgnoringCase(const char* a, const char* b, size_t length);
// Edits a path in place so that it ends after its last backslash; a path
// without one, and an empty one, stay whole.
void stripFileName(char* path);
// A path as Windows names an opened file's final one ("\\?\C:\Tools\Pelk.exe",
// "\\?\UNC\server\share\Pelk.exe"), edited in place into the usual form.
void plainPathOf(char* path);
// The unsigned decimal digits at the start of a text (after leading spaces),
// as typed into a number box; 0 when there are none, 4294967295 when too large.
uint32_t leadingNumber(const char* text);
