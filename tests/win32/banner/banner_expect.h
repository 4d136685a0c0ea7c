#pragma once
// What the banner must look like, computed in the test process from the
// installer's own BITMAP 200 (the installer loaded as a data file) with the
// banner code, and the pixels of a bitmap or of the screen to compare with.
#include <windows.h>

#include <string>
#include <vector>

#include "banner/area_scale.h"
#include "banner/dib_decode.h"
#include "ui_driver.h"

namespace banner_test {

// 24-bit pixels, bottom row first, rows padded to 4 bytes.
struct Pixels {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<BYTE> bytes;
    // Blue, green, red of the pixel x columns from the left, y rows from the
    // top, as a COLORREF.
    COLORREF At(int x, int y) const
    {
        const BYTE* p = &bytes[static_cast<size_t>(height - 1 - y) * stride + 3 * x];
        return RGB(p[2], p[1], p[0]);
    }
};

// The installer under test as a data file (its resources only), loaded once.
inline HMODULE InstallerModule()
{
    static HMODULE module =
        LoadLibraryExA(ui::EnvPath("NOVLA_INSTALLER").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

// The installer's banner as the loader makes it: decoded with `face`, shrunk
// to `width` (0: unscaled). Empty when the core gives no pixels.
inline Pixels ExpectedBanner(int width, COLORREF face)
{
    Pixels out;
    HMODULE module = InstallerModule();
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(200), MAKEINTRESOURCEA(2)) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes)
        return out;
    ScaleJob job = {};
    if (DecodeDib(&job, static_cast<const uint8_t*>(bytes), size, SplitColorRef(face))) {
        const PixelBuffer* shown = ScaleToWidth(&job, static_cast<uint16_t>(width));
        if (shown) {
            out.width = shown->width;
            out.height = shown->height;
            out.stride = static_cast<int>(shown->stride);
            out.bytes.assign(shown->pixels, shown->pixels + static_cast<size_t>(shown->height) * shown->stride);
        }
    }
    FreeScaleJob(&job);
    return out;
}

// The pixels of a device bitmap, read back as 24-bit bottom-up rows.
inline Pixels BitmapPixels(HBITMAP bitmap)
{
    Pixels out;
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return out;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    out.stride = (out.width * 3 + 3) & ~3;
    out.bytes.assign(static_cast<size_t>(out.stride) * out.height, 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = out.width;
    header.biHeight = out.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, out.height, out.bytes.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return out;
}

// The screen's pixels in the rectangle at (x, y), width x height.
inline Pixels ScreenPixels(int x, int y, int width, int height)
{
    HBITMAP bitmap = ui::CaptureScreen(x, y, width, height);
    Pixels out = BitmapPixels(bitmap);
    DeleteObject(bitmap);
    return out;
}

}  // namespace banner_test
