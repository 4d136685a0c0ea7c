// Packed-DIB decoding: header checks, BI_RLE8 expansion and the conversion
// to tinted 24-bit pixels.
#include "banner/dib_decode.h"

#include <string.h>

#include "banner/banner_memory.h"
#include "common/check.h"

static uint16_t ReadLe16(const uint8_t* p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

static uint32_t ReadLe32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Bytes of one source row of `width` pixels at `depth` bits, padded to 4.
static size_t SourceRowLength(uint16_t width, unsigned depth)
{
    return ((size_t)width * depth + 31) / 32 * 4;
}

BgrColor SplitColorRef(uint32_t colorRef)
{
    BgrColor color;
    color.red = (uint8_t)(colorRef & 0xFF);
    color.green = (uint8_t)((colorRef >> 8) & 0xFF);
    color.blue = (uint8_t)((colorRef >> 16) & 0xFF);
    return color;
}

uint8_t TintChannel(uint8_t systemChannel, uint8_t pixelChannel)
{
    int value = (int)systemChannel + (int)pixelChannel - TINT_REFERENCE;
    if (value < 0)
        return 0;
    if (value > 255)
        return 255;
    return (uint8_t)value;
}

uint16_t CountPaletteEntries(const uint8_t* header)
{
    uint16_t used = ReadLe16(header + 32);
    if (used != 0)
        return used;
    switch (ReadLe16(header + 14)) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    }
    return 0;
}

uint8_t* DecodeRle8(uint16_t width, uint16_t height, const uint8_t* data, size_t size)
{
    const size_t rowLength = SourceRowLength(width, 8);
    const size_t total = rowLength * height;
    uint8_t* out = (uint8_t*)BannerAllocate(total);
    if (!out)
        return NULL;
    memset(out, 0, total);

    // pos <= total holds throughout; every write is checked against the room
    // left, every read against the bytes left.
    size_t pos = 0;
    size_t row = 0;
    size_t in = 0;
    while (size - in >= 2) {
        NOVLA_ASSERT(pos <= total && in <= size);
        const uint8_t first = data[in];
        const uint8_t second = data[in + 1];
        in += 2;
        if (first != 0) {
            // Encoded run: `first` copies of `second`.
            size_t count = first;
            const bool fits = count <= total - pos;
            if (!fits)
                count = total - pos;
            memset(out + pos, second, count);
            pos += count;
            if (!fits)
                break;
            continue;
        }
        if (second == 0) {  // end of line
            ++row;
            if (row > height)
                break;
            pos = row * rowLength;
            continue;
        }
        if (second == 1)  // end of bitmap
            break;
        if (second == 2) {  // delta: dx right, dy rows down
            if (size - in < 2)
                break;
            const size_t dx = data[in];
            const size_t dy = data[in + 1];
            in += 2;
            const size_t step = dx + dy * rowLength;
            if (step > total - pos)
                break;
            pos += step;
            row += dy;
            continue;
        }
        // Absolute run of `second` literal indices, padded to an even length.
        size_t count = second;
        bool complete = true;
        if (count > size - in) {
            count = size - in;
            complete = false;
        }
        if (count > total - pos) {
            count = total - pos;
            complete = false;
        }
        memcpy(out + pos, data + in, count);
        if (!complete)
            break;
        pos += count;
        in += count + (count & 1);
        if (in > size)
            break;
    }
    return out;
}

// Converts `buffer->height` source rows of `buffer->width` pixels, depth 8
// (indices into `colorTable`, `colorCount` entries of 4 bytes) or 24 (blue,
// green, red), rows padded to 4 bytes, into a new 24-bit block of height x
// stride + 1 bytes owned by the caller. Colours whose three channels share a
// set bit are tinted with `buttonFace` (TintChannel); an index beyond the
// colour table is black. The caller guarantees that the source rows and the
// colour table are readable. The padding bytes are zeroed. Null when the
// block cannot be allocated or the depth is neither 8 nor 24.
static uint8_t* ConvertToBgr24(const PixelBuffer* buffer, const uint8_t* rows, unsigned depth,
                               const uint8_t* colorTable, uint16_t colorCount, BgrColor buttonFace)
{
    if (depth != 8 && depth != 24)
        return NULL;
    const uint16_t width = buffer->width;
    const uint16_t height = buffer->height;
    const size_t stride = StrideFor(width);
    uint8_t* out = (uint8_t*)BannerAllocate((size_t)height * stride + 1);
    if (!out)
        return NULL;
    const size_t sourceRow = SourceRowLength(width, depth);
    const size_t used = (size_t)width * 3;

    const uint8_t face[3] = {buttonFace.blue, buttonFace.green, buttonFace.red};
    static const uint8_t kBlack[3] = {0, 0, 0};
    for (size_t i = 0; i < height; ++i) {
        const uint8_t* src = rows + i * sourceRow;
        uint8_t* dst = out + i * stride;
        for (size_t j = 0; j < width; ++j, dst += 3) {
            const uint8_t* from = src + 3 * j;
            if (depth == 8)
                from = src[j] < colorCount ? colorTable + 4u * src[j] : kBlack;
            // Tinted when the three channels share a set bit: every grey but
            // black, never a pure primary.
            const bool tinted = (from[0] & from[1] & from[2]) != 0;
            for (int k = 0; k < 3; ++k)
                dst[k] = tinted ? TintChannel(face[k], from[k]) : from[k];
        }
        memset(dst, 0, stride - used);
    }
    out[(size_t)height * stride] = 0;
    return out;
}

bool DecodeDib(ScaleJob* job, const uint8_t* resource, size_t size, BgrColor buttonFace)
{
    PixelBuffer* source = &job->source;
    source->pixels = NULL;
    source->width = 0;
    source->height = 0;
    source->stride = 0;
    if (!resource || size < DIB_HEADER_SIZE)
        return false;

    const uint32_t headerSize = ReadLe32(resource);
    const int32_t width = (int32_t)ReadLe32(resource + 4);
    const int32_t height = (int32_t)ReadLe32(resource + 8);
    const uint16_t depth = ReadLe16(resource + 14);
    const uint32_t compression = ReadLe32(resource + 16);
    source->width = (uint16_t)width;
    source->height = (uint16_t)height;
    source->stride = StrideFor(source->width);

    // Only bottom-up images within the limits; a negative height (top-down)
    // or a 32-bit value beyond them is refused rather than cut to 16 bits.
    if (headerSize < DIB_HEADER_SIZE || headerSize > size)
        return false;
    if (width < 1 || width > BANNER_MAX_WIDTH || height < 1 || height > BANNER_MAX_HEIGHT)
        return false;
    if ((uint32_t)width * (uint32_t)height > BANNER_MAX_PIXELS)
        return false;
    if (depth != 8 && depth != 24)
        return false;

    const uint16_t colorCount = CountPaletteEntries(resource);
    const size_t tableBytes = 4u * (size_t)colorCount;
    if (tableBytes > size - headerSize)
        return false;
    const uint8_t* colorTable = resource + headerSize;
    const uint8_t* data = colorTable + tableBytes;
    const size_t dataSize = size - headerSize - tableBytes;

    // The rows to convert: the RLE8 stream's expansion, or the uncompressed
    // rows (any other compression value of an 8-bit image is read as such
    // too), all of which must be there.
    uint8_t* indices = NULL;
    const uint8_t* rows = data;
    if (depth == 8 && compression == 1) {
        rows = indices = DecodeRle8(source->width, source->height, data, dataSize);
        if (!indices)
            return false;
    } else if (SourceRowLength(source->width, depth) * source->height > dataSize) {
        return false;
    }
    source->pixels = ConvertToBgr24(source, rows, depth, colorTable, colorCount, buttonFace);
    BannerRelease(indices);
    return source->pixels != NULL;
}
