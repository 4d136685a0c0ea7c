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

// The part of a source pixel, `step` units long and ending `position` units
// in, that lies past a boundary at `side`: (position - side) / step when it
// crosses it, else 0. Rounded to a float once, as the result. Both values
// are below 2^16: converted as signed, they are one x87 load each.
static float PartPast(uint32_t position, uint32_t side, uint32_t step)
{
    if (position <= side)
        return 0.0f;
    const float part = (float)(int)(position - side) / (float)(int)step;
    return part;
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

    // The four cells a source pixel adds into, from the first: its result
    // pixel, the next one in the row, and the two below them.
    const size_t reach[4] = {0, 3, rl, rl + 3};
    size_t g = 0;
    uint32_t ypos = 0;
    for (uint32_t y = 0; y < sh; ++y) {
        const uint8_t* p = source->pixels + (size_t)y * source->stride;
        uint32_t xpos = 0;
        ypos += dh;
        const float fy = PartPast(ypos, sh, dh);
        const float fy1 = 1.0f - fy;
        for (uint32_t x = 0; x < sw; ++x, p += 3) {
            xpos += dw;
            const float fx = PartPast(xpos, sw, dw);
            const float fx1 = 1.0f - fx;
            // Each a float of its own, rounded as such before it is used.
            const float weight[4] = {fy1 * fx1, fy1 * fx, fy * fx1, fy * fx};
            for (int cell = 0; cell < 4; ++cell)
                for (int k = 0; k < 3; ++k) {
                    const float v = p[k];
                    acc[g + reach[cell] + k] += weight[cell] * v;
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

    // Both products are exact in 32 bits and in a double.
    const float scale = (float)((double)(dw * dh) / (double)(sw * sh));
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
