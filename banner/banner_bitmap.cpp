// The banner's device bitmap: the BITMAP resource found and locked, decoded
// and tinted to the current button-face colour, shrunk to the requested
// width and handed to GDI. Every intermediate block is freed before return.
#include "banner/banner_bitmap.h"

#include "banner/area_scale.h"
#include "banner/dib_decode.h"
#include "banner/dib_info.h"
#include "common/resource_bytes.h"

static_assert(sizeof(DibInfo24) == sizeof(BITMAPINFO), "DibInfo24 is a BITMAPINFO");
static_assert(offsetof(DibInfo24, biSizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage), "layout");
static_assert(offsetof(DibInfo24, firstColor) == offsetof(BITMAPINFO, bmiColors), "layout");

void SplitSysColor(int index, uint8_t* blue, uint8_t* green, uint8_t* red)
{
    const BgrColor color = SplitColorRef(GetSysColor(index));
    *blue = color.blue;
    *green = color.green;
    *red = color.red;
}

// A device bitmap compatible with dc, initialised from width x height 24-bit
// bottom-up pixels (rows padded to 4 bytes); CreateDIBitmap's handle, null
// when it fails. The bitmap does not refer to the pixels afterwards.
static HBITMAP CreateDeviceBitmap(HDC dc, uint16_t width, uint16_t height, const uint8_t* pixels)
{
    DibInfo24 info;
    FillDibHeader24(&info, width, height);
    return CreateDIBitmap(dc, (const BITMAPINFOHEADER*)&info, CBM_INIT, pixels, (const BITMAPINFO*)&info,
                          DIB_RGB_COLORS);
}

HBITMAP LoadBannerBitmap(HDC dc, HINSTANCE instance, WORD resourceId, WORD targetWidth)
{
    // The size bounds every read of the decoder: the header's own sizes and
    // run lengths are not trusted.
    DWORD size;
    const uint8_t* bytes = LoadResourceBytes(instance, MAKEINTRESOURCEA(resourceId), RT_BITMAP, &size);
    if (!bytes || size == 0)
        return NULL;

    // Read at every call, so a banner made after a change of colour scheme
    // takes the new colour.
    BgrColor face;
    SplitSysColor(COLOR_BTNFACE, &face.blue, &face.green, &face.red);

    ScaleJob job = {};
    HBITMAP bitmap = NULL;
    if (DecodeDib(&job, bytes, size, face)) {
        const PixelBuffer* shown = ScaleToWidth(&job, targetWidth);
        if (shown)
            bitmap = CreateDeviceBitmap(dc, shown->width, shown->height, shown->pixels);
    }
    FreeScaleJob(&job);
    return bitmap;
}
