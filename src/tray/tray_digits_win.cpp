// The charge level as an icon: drawn pixel by pixel at the size the notification area
// asks for, so nothing is stretched or blurred, in the colours of the look (app/look).
#include "tray/tray.h"

#include "tray/tray_digits.h"

#include <cstring>

HICON drawLevelIcon(const char* level, int size, const Look& look)
{
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (colour == nullptr)
        return nullptr;
    // Opaque everywhere: the alpha of every pixel is full, and the mask lets all through.
    DigitLayout layout = layoutDigits(size, static_cast<int>(std::strlen(level)));
    DWORD* pixel = static_cast<DWORD*>(bits);
    const DWORD digit = opaquePixel(lookColour(look, iconDigits));
    const DWORD square = opaquePixel(lookColour(look, iconSquare));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            pixel[y * size + x] = digitPixel(level, layout, x, y) ? digit : square;
    }
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, size, size, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO icon = {TRUE, 0, 0, mask, colour};
    HICON made = CreateIconIndirect(&icon);
    DeleteObject(mask);
    DeleteObject(colour);
    return made;
}
