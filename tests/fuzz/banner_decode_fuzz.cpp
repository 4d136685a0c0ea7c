// Fuzz target: arbitrary bytes as a BITMAP resource through the banner's
// decoder and on to the frame-width scaling, and as a raw BI_RLE8 stream.
// Nothing may read or write outside a buffer, and what comes out must have
// the size its header and the fit promise.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "banner/area_scale.h"
#include "banner/banner_memory.h"
#include "banner/dib_decode.h"

// Pictures beyond this many pixels are left to the unit tests: decoding the
// decoder's largest ones under the sanitizers takes tens of milliseconds,
// and the fuzzer would spend its runs on them.
const uint32_t kMaxFuzzPixels = 128 * 128;

uint64_t DeclaredPixels(const uint8_t* data, size_t size)
{
    if (size < 12)
        return 0;
    int32_t width, height;
    std::memcpy(&width, data + 4, 4);
    std::memcpy(&height, data + 8, 4);
    if (width <= 0 || height <= 0)
        return 0;  // refused at once
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (DeclaredPixels(data, size) > kMaxFuzzPixels)
        return 0;
    // The resource gets a block of exactly its size, so that ASan sees any
    // read past its end.
    uint8_t* resource = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(resource, data, size);
    const BgrColor face = {216, 233, 236};
    ScaleJob job = {};
    if (DecodeDib(&job, resource, size, face)) {
        if (job.source.width == 0 || job.source.height == 0 || job.source.stride < 3u * job.source.width)
            std::abort();
        const uint16_t width = size >= 2 ? static_cast<uint16_t>(data[size - 1] << 8 | data[size - 2]) % 2048 : 0;
        const PixelBuffer* shown = ScaleToWidth(&job, width);
        if (shown && (shown->width > job.source.width || shown->height > job.source.height))
            std::abort();
        if (shown && width != 0 && width <= job.source.width && shown->width != width)
            std::abort();
    } else if (job.source.pixels) {
        std::abort();
    }
    FreeScaleJob(&job);

    // The same bytes as a stream for a small image named by its first bytes.
    if (size >= 2) {
        const uint16_t w = 1 + data[0] % 64, h = 1 + data[1] % 64;
        uint8_t* indices = DecodeRle8(w, h, resource + 2, size - 2);
        BannerRelease(indices);
    }
    std::free(resource);
    return 0;
}
