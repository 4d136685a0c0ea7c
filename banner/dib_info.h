#pragma once
// The header that describes the banner's 24-bit pixels to GDI: a
// BITMAPINFOHEADER followed by one colour entry (a BITMAPINFO), laid out
// here so that it can be filled and tested without the Windows headers.
//
//   offset  size  field
//        0     4  biSize            40
//        4     4  biWidth           signed
//        8     4  biHeight          signed, positive: rows bottom-up
//       12     2  biPlanes          1
//       14     2  biBitCount        24
//       16     4  biCompression     0 (BI_RGB)
//       20     4  biSizeImage
//       24     4  biXPelsPerMeter   72
//       28     4  biYPelsPerMeter   72
//       32     4  biClrUsed         0
//       36     4  biClrImportant    0
//       40     4  first colour entry (blue, green, red, reserved), all 0
#include <stddef.h>
#include <stdint.h>

struct DibInfo24 {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
    uint8_t firstColor[4];
};
static_assert(sizeof(DibInfo24) == 44, "BITMAPINFO with one colour entry");
static_assert(offsetof(DibInfo24, biPlanes) == 12, "layout");
static_assert(offsetof(DibInfo24, biSizeImage) == 20, "layout");
static_assert(offsetof(DibInfo24, biClrImportant) == 36, "layout");
static_assert(offsetof(DibInfo24, firstColor) == 40, "layout");

// Fills `info` for 24-bit bottom-up pixels of width x height (each a 16-bit
// value, sign-extended).
void FillDibHeader24(DibInfo24* info, uint16_t width, uint16_t height);
