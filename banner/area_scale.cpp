// Area-averaging resampler and the fit computation of the banner.
//
// The 32-bit float arithmetic is part of the result (an accumulator rounds
// back to a float after every addition); the i686 build therefore compiles
// the installer with -ffloat-store so that x87 registers do not keep the
// extra precision (cmake/mingw-i686.cmake).
#include "banner/area_scale.h"

#include <string.h>

#include "banner/banner_memory.h"

// trunc(side / ratio + 0.5) in double precision, limited to 16 bits.
static uint16_t FitSide(uint16_t side, float ratio)
{
    const double value = (double)side / (double)ratio + 0.5;
    if (value >= 65535.0)
        return 65535;
    return (uint16_t)value;
}

bool ComputeFitSize(ScaleJob* job)
{
    const int16_t mode = job->fitMode;
    if (mode == FitExact)
        return true;
    const bool needsWidth = mode == FitWidth || mode == FitCover || mode == FitInside;
    const bool needsHeight = mode != FitWidth;
    if ((needsWidth && job->targetWidth == 0) || (needsHeight && job->targetHeight == 0)) {
        job->result.width = 0;
        job->result.height = 0;
        return false;
    }
    const float rx = needsWidth ? (float)job->source.width / (float)job->targetWidth : 0.0f;
    const float ry = needsHeight ? (float)job->source.height / (float)job->targetHeight : 0.0f;

    bool byWidth;
    switch (mode) {
    case FitWidth:
        byWidth = true;
        break;
    case FitCover:
        byWidth = rx < ry;
        break;
    case FitInside:
        byWidth = rx > ry;
        break;
    default:  // FitHeight, and 1 and every other value
        byWidth = false;
        break;
    }
    // A source side of 0 gives a ratio of 0 and, divided by it, a side
    // limited to 65535; PrepareScaleJob has refused such a source already.
    if (byWidth)
        job->result.height = rx > 0.0f ? FitSide(job->source.height, rx) : 0;
    else
        job->result.width = ry > 0.0f ? FitSide(job->source.width, ry) : 0;
    return true;
}

bool PrepareScaleJob(ScaleJob* job)
{
    PixelBuffer* result = &job->result;
    const PixelBuffer* source = &job->source;
    result->pixels = NULL;
    result->width = job->targetWidth;
    result->height = job->targetHeight;
    result->stride = 0;
    if (!source->pixels || source->width == 0 || source->height == 0)
        return false;
    if (job->fitMode != FitExact && !ComputeFitSize(job))
        return false;
    if (result->width == 0 || result->height == 0)
        return false;

    // The resampler only shrinks. A larger result (a window wider than the
    // banner) shows the banner at its own size rather than a stretched one.
    const bool enlarging = result->width > source->width || result->height > source->height;
    if (enlarging) {
        result->width = source->width;
        result->height = source->height;
    }
    result->stride = StrideFor(result->width);
    const size_t bytes = (size_t)result->height * result->stride + 1;
    result->pixels = (uint8_t*)BannerAllocate(bytes);
    if (!result->pixels)
        return false;
    if (enlarging) {
        memcpy(result->pixels, source->pixels, bytes);
        return true;
    }
    // The resampler writes pixels only; the padding is zeroed here so that
    // the block's bytes are all defined.
    memset(result->pixels, 0, bytes);
    if (!ResampleArea(job, result->width, result->height)) {
        BannerRelease(result->pixels);
        result->pixels = NULL;
        return false;
    }
    return true;
}

bool ResampleArea(ScaleJob* job, uint16_t width, uint16_t height)
{
    const PixelBuffer* source = &job->source;
    PixelBuffer* result = &job->result;
    const uint32_t sw = source->width;
    const uint32_t sh = source->height;
    const uint32_t dw = width;
    const uint32_t dh = height;
    if (!source->pixels || !result->pixels || dw < 1 || dh < 1 || dw > sw || dh > sh)
        return false;
    if (source->stride < 3 * sw || result->stride < 3 * dw)
        return false;

    // Positions count in units where a source pixel is dw wide and dh tall
    // and a result pixel sw wide and sh tall: since dw <= sw and dh <= sh a
    // source pixel meets at most two result columns and two result rows.
    // Every source pixel adds into the four cells it may meet, with weight 0
    // for those it does not: adding 0 leaves a float as it is, and a weight
    // of 1 (1 - 0) multiplies exactly, so each cell gets the same sum as
    // when only the cells met are touched. The cells one row and one pixel
    // past the last are there for those additions of 0.
    const size_t rl = 3 * (size_t)dw;
    const size_t cells = rl * dh;
    const size_t spare = rl + 3;
    float* acc = (float*)BannerAllocate((cells + spare) * sizeof(float));
    if (!acc)
        return false;
    for (size_t i = 0; i < cells + spare; ++i)
        acc[i] = 0.0f;

    size_t g = 0;
    uint32_t ypos = 0;
    for (uint32_t y = 0; y < sh; ++y) {
        const uint8_t* p = source->pixels + (size_t)y * source->stride;
        uint32_t xpos = 0;
        ypos += dh;
        const bool rowStraddles = ypos > sh;
        const float fy = rowStraddles ? (float)(ypos - sh) / (float)dh : 0.0f;
        const float fy1 = 1.0f - fy;
        for (uint32_t x = 0; x < sw; ++x, p += 3) {
            xpos += dw;
            const float fx = xpos > sw ? (float)(xpos - sw) / (float)dw : 0.0f;
            const float fx1 = 1.0f - fx;
            const float w00 = fy1 * fx1;
            const float w01 = fy1 * fx;
            const float w10 = fy * fx1;
            const float w11 = fy * fx;
            for (int k = 0; k < 3; ++k) {
                const float v = p[k];
                acc[g + k] += w00 * v;
                acc[g + k + 3] += w01 * v;
                acc[g + k + rl] += w10 * v;
                acc[g + k + rl + 3] += w11 * v;
            }
            // The pixel ended on or crossed a result-column boundary.
            if (xpos >= sw) {
                xpos -= sw;
                g += 3;
            }
        }
        // Unless the row ended on or crossed a result-row boundary, the next
        // source row adds into the same result row again.
        if (ypos < sh)
            g -= rl;
        else
            ypos -= sh;
    }

    const float scale = (float)(((double)dw * dh) / ((double)sw * sh));
    for (size_t y = 0; y < dh; ++y) {
        uint8_t* out = result->pixels + y * result->stride;
        const float* row = acc + y * rl;
        for (size_t i = 0; i < rl; ++i) {
            // Float rounding may carry a full white area a hair past 255.5;
            // limit rather than wrap it to black.
            const float value = row[i] * scale + 0.5f;
            out[i] = value >= 255.0f ? 255 : (uint8_t)value;
        }
    }
    BannerRelease(acc);
    return true;
}

const PixelBuffer* ScaleToWidth(ScaleJob* job, uint16_t targetWidth)
{
    if (!job->source.pixels)
        return NULL;
    if (targetWidth == 0)
        return &job->source;
    job->targetWidth = targetWidth;
    job->targetHeight = 0;
    job->fitMode = FitWidth;
    if (!PrepareScaleJob(job))
        return NULL;
    return &job->result;
}

void FreeScaleJob(ScaleJob* job)
{
    BannerRelease(job->source.pixels);
    BannerRelease(job->result.pixels);
    job->source.pixels = NULL;
    job->result.pixels = NULL;
}
