// Fuzz target: the banner's fit computation and area-averaging resampler
// with arbitrary source sizes, target sizes and fit modes. The result never
// leaves its block, is never larger than the source, and each channel stays
// within the source's range (an area mean cannot leave it).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "banner/area_scale.h"
#include "banner/banner_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    ScaleJob job = {};
    job.source.width = static_cast<uint16_t>(1 + data[0] % 96);
    job.source.height = static_cast<uint16_t>(1 + data[1] % 64);
    job.targetWidth = static_cast<uint16_t>(data[2] | (data[3] & 1) << 8);
    job.targetHeight = static_cast<uint16_t>(data[4] | (data[5] & 1) << 8);
    job.fitMode = static_cast<int16_t>(static_cast<int8_t>(data[6]) % 8);
    job.source.stride = StrideFor(job.source.width);
    const size_t bytes = static_cast<size_t>(job.source.height) * job.source.stride + 1;
    job.source.pixels = static_cast<uint8_t*>(BannerAllocate(bytes));
    uint8_t low = 255, high = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const uint8_t v = size > 7 ? data[7 + i % (size - 7)] : 0;
        job.source.pixels[i] = v;
        if (i % job.source.stride < 3u * job.source.width && i + 1 < bytes) {
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
    }
    if (PrepareScaleJob(&job)) {
        const PixelBuffer& r = job.result;
        if (!r.pixels || r.width == 0 || r.height == 0 || r.width > job.source.width ||
            r.height > job.source.height || r.stride != StrideFor(r.width))
            std::abort();
        if (job.fitMode == FitExact && job.targetWidth <= job.source.width &&
            job.targetHeight <= job.source.height && (r.width != job.targetWidth || r.height != job.targetHeight))
            std::abort();
        for (uint32_t row = 0; row < r.height; ++row)
            for (uint32_t i = 0; i < 3u * r.width; ++i) {
                const uint8_t v = r.pixels[row * r.stride + i];
                if (v + 1 < low || v > high + 1)
                    std::abort();
            }
    } else if (job.result.pixels) {
        std::abort();
    }
    FreeScaleJob(&job);
    return 0;
}
