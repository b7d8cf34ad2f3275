// The charge level drawn as the tray icon: digits on a grid of whole pixels, so that
// they stay crisp at every icon size; free of the Win32 API.
#pragma once
#include <cstdint>

// Each digit is 3 cells wide and 5 high; bit 2 of a row is its left cell.
const int digitColumns = 3;
const int digitRows = 5;
extern const uint8_t digitGlyphs[10][digitRows];

// Where the text goes in a square icon of `size` pixels: each cell is cellWidth x
// cellHeight whole pixels, a cell's width apart from digit to digit, the whole text
// centred, a pixel's margin at least on every side.
struct DigitLayout {
    int cellWidth, cellHeight, left, top;
};
DigitLayout layoutDigits(int size, int digitCount);
// Whether pixel (x, y) of the icon belongs to a digit of `text`.
bool digitPixel(const char* text, const DigitLayout& layout, int x, int y);
