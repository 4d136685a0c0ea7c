#pragma once
// The banner's pixel records: a 24-bit pixel block and one resampling
// request. Portable: no Windows header.
#include <stdint.h>

// 24-bit pixels in blue, green, red order, rows bottom-up as a DIB stores
// them. Pixel j of row i starts at i x stride + 3j; each row is padded to a
// multiple of 4 bytes. The block holds height x stride + 1 bytes. A null
// pixels pointer means the pixels are absent.
struct PixelBuffer {
    uint8_t* pixels;
    uint16_t width;
    uint16_t height;
    uint32_t stride;
};

// How a scale job's result size follows from its target size. Any value
// not listed acts as FitHeight.
enum FitMode : int16_t {
    FitExact = 0,   // exactly the target width and height
    FitWidth = 2,   // target width, height from the aspect ratio
    FitHeight = 3,  // target height, width from the aspect ratio
    FitCover = 4,   // covers the target box, one side reaching past it
    FitInside = 5,  // fits inside the target box
};

// One resampling request. The decoder fills the source; the caller sets the
// target size and fit mode; PrepareScaleJob fills the result. Both pixel
// blocks belong to the job: FreeScaleJob releases them.
struct ScaleJob {
    PixelBuffer source;
    PixelBuffer result;
    uint16_t targetWidth;
    uint16_t targetHeight;  // 0 when not given
    int16_t fitMode;
};

// Row length of a 24-bit row of `width` pixels: 3 x width rounded up to a
// multiple of 4.
inline uint32_t StrideFor(uint16_t width)
{
    return (3u * width + 3u) & ~3u;
}
