#pragma once
// Decoding a packed DIB (a BITMAP resource: BITMAPINFOHEADER, colour table,
// pixel data) into 24-bit pixels, tinting the light colours to the
// button-face colour on the way. Portable: the button-face colour is passed
// in (the installer reads it with SplitSysColor, banner/banner_bitmap.cpp).
//
// The resource bytes are hostile input: nothing here reads outside the
// `size` bytes given nor writes outside the blocks it allocates.
#include <stddef.h>
#include <stdint.h>

#include "banner/scale_job.h"

// A colour split into its bytes.
struct BgrColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
};

enum {
    DIB_HEADER_SIZE = 40,        // BITMAPINFOHEADER
    BANNER_MAX_WIDTH = 10921,    // 3 x width + 3 stays a signed 16-bit stride
    BANNER_MAX_HEIGHT = 32767,
    BANNER_MAX_PIXELS = 1 << 22, // 12 MB of 24-bit pixels; the banner has 290,000
    TINT_REFERENCE = 220,        // channel value that becomes the system colour's
};

// The bytes of a COLORREF (0x00BBGGRR: red lowest).
BgrColor SplitColorRef(uint32_t colorRef);

// s + c - 220, limited to 0..255: 220 becomes the system channel s, every
// other value keeps its distance from 220.
uint8_t TintChannel(uint8_t systemChannel, uint8_t pixelChannel);

// Colour-table entries of the header at `header` (at least 40 bytes):
// biClrUsed (low 16 bits) when not 0, else 2, 16 or 256 for 1, 4 or 8 bits
// per pixel and 0 for any other depth.
uint16_t CountPaletteEntries(const uint8_t* header);

// Decodes a BI_RLE8 stream of `size` bytes into a new zero-filled index
// buffer of height x L bytes, L = (8 x width + 31) / 32 x 4, owned by the
// caller (BannerRelease). Pixels no code writes keep index 0. A stream that
// ends without its end-of-bitmap code, or whose run, delta or end-of-line
// would take the output past the buffer's end, keeps what it wrote so far
// (a run is cut at the buffer's end) and the rest of it is ignored. Null
// only when the buffer cannot be allocated.
uint8_t* DecodeRle8(uint16_t width, uint16_t height, const uint8_t* data, size_t size);

// Decodes the packed DIB of `size` bytes at `resource` into job->source,
// touching no other field of the job. Width and height are the low 16 bits
// of biWidth and biHeight, the stride follows from the width. True when the
// pixels exist; false (pixels null) when they cannot be made: a depth other
// than 8 or 24, a header shorter than 40 bytes, a top-down image or a size
// beyond the limits, a colour table or pixel rows that the resource does not
// hold, or a failed allocation.
bool DecodeDib(ScaleJob* job, const uint8_t* resource, size_t size, BgrColor buttonFace);
