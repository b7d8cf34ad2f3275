// The digits of the tray icon, as whole pixels.
#include "tray/tray_digits.h"

#include <cstring>

const uint8_t digitGlyphs[10][digitRows] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

// The widest cells that fit; the height may grow to twice the width, never stretched
// further, so that narrow digits of three stay digits.
DigitLayout layoutDigits(int size, int digitCount)
{
    int n = digitCount < 1 ? 1 : digitCount;
    int columns = n * digitColumns + (n - 1);
    int room = size - 2;
    int width = room / columns < 1 ? 1 : room / columns;
    int height = room / digitRows < 1 ? 1 : room / digitRows;
    if (height > 2 * width)
        height = 2 * width;
    if (height < width)
        width = height;
    return {width, height, (size - columns * width) / 2, (size - digitRows * height) / 2};
}

bool digitPixel(const char* text, const DigitLayout& layout, int x, int y)
{
    int column = (x - layout.left) / layout.cellWidth;
    int row = (y - layout.top) / layout.cellHeight;
    if (x < layout.left || y < layout.top || row >= digitRows)
        return false;
    int digit = column / (digitColumns + 1);
    int inDigit = column % (digitColumns + 1);
    if (digit >= static_cast<int>(std::strlen(text)) || inDigit == digitColumns || text[digit] < '0' || text[digit] > '9')
        return false;
    return (digitGlyphs[text[digit] - '0'][row] >> (digitColumns - 1 - inDigit)) & 1;
}
