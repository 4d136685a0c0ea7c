// Banner scaling: the fit sizes, the area-averaging resampler against an
// exact reference, the worked shrinks, and the sound results where the
// resampler is not defined (enlarging, zero sides, absent pixels, failed
// allocations).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "banner/area_scale.h"
#include "banner/banner_memory.h"

namespace {

// A job whose source is width x height pixels from pixel(x, row, channel).
template <class Pixel>
ScaleJob MakeJob(uint16_t width, uint16_t height, Pixel pixel)
{
    ScaleJob job = {};
    job.source.width = width;
    job.source.height = height;
    job.source.stride = StrideFor(width);
    const size_t bytes = static_cast<size_t>(height) * job.source.stride + 1;
    job.source.pixels = static_cast<uint8_t*>(BannerAllocate(bytes));
    std::memset(job.source.pixels, 0, bytes);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                job.source.pixels[row * job.source.stride + 3 * x + k] = pixel(x, row, k);
    return job;
}

ScaleJob UniformJob(uint16_t width, uint16_t height, const uint8_t bgr[3])
{
    return MakeJob(width, height, [&](int, int, int k) { return bgr[k]; });
}

uint8_t ResultAt(const ScaleJob& job, int x, int row, int k)
{
    return job.result.pixels[row * job.result.stride + 3 * x + k];
}

// Result size of a fit for the banner's 1450 x 200.
struct FitCase {
    int16_t mode;
    uint16_t targetWidth, targetHeight;
    uint16_t width, height;
};

// A job for the banner's 1450 x 200 (no pixels) with the case's request, the
// result size preset to the target as PrepareScaleJob does.
ScaleJob BannerFitJob(const FitCase& c)
{
    ScaleJob job = {};
    job.source.width = 1450;
    job.source.height = 200;
    job.targetWidth = c.targetWidth;
    job.targetHeight = c.targetHeight;
    job.fitMode = c.mode;
    job.result.width = c.targetWidth;
    job.result.height = c.targetHeight;
    return job;
}

TEST(BannerFit, WorkedExamplesOfTheBanner)
{
    const FitCase cases[] = {
        {FitWidth, 300, 0, 300, 41},    {FitWidth, 500, 0, 500, 69},     {FitWidth, 507, 0, 507, 70},
        {FitWidth, 640, 0, 640, 88},    {FitWidth, 725, 0, 725, 100},    {FitWidth, 1000, 0, 1000, 138},
        {FitWidth, 1450, 0, 1450, 200}, {FitCover, 500, 100, 725, 100},  {FitInside, 500, 100, 500, 69},
        {FitCover, 500, 50, 500, 69},   {FitInside, 500, 50, 363, 50},   {FitHeight, 500, 50, 363, 50},
        {FitExact, 500, 50, 500, 50},   {1, 500, 50, 363, 50},           {7, 500, 50, 363, 50},
        {-3, 500, 50, 363, 50},         {FitCover, 725, 100, 725, 100},  {FitInside, 725, 100, 725, 100},
        {FitCover, 1450, 200, 1450, 200}, {FitHeight, 0, 100, 725, 100},
    };
    for (const FitCase& c : cases) {
        ScaleJob job = BannerFitJob(c);
        EXPECT_TRUE(ComputeFitSize(&job));
        EXPECT_EQ(c.width, job.result.width) << c.mode << " " << c.targetWidth << "x" << c.targetHeight;
        EXPECT_EQ(c.height, job.result.height) << c.mode << " " << c.targetWidth << "x" << c.targetHeight;
    }
}

TEST(BannerFit, EveryFrameWidthGetsTheRoundedAspectHeight)
{
    for (int width = 300; width <= 1450; ++width) {
        ScaleJob job = BannerFitJob({FitWidth, static_cast<uint16_t>(width), 0, 0, 0});
        ASSERT_TRUE(ComputeFitSize(&job));
        EXPECT_EQ(width, job.result.width);
        // 200 x width / 1450 rounded half up, in exact arithmetic.
        EXPECT_EQ((200 * width * 2 + 1450) / (2 * 1450), job.result.height) << width;
    }
}

TEST(BannerFit, ZeroTargetSideThatARatioNeedsGivesNoSize)
{
    const FitCase cases[] = {
        {FitWidth, 0, 100, 0, 0},  {FitHeight, 500, 0, 0, 0}, {FitCover, 500, 0, 0, 0},
        {FitCover, 0, 100, 0, 0},  {FitInside, 0, 100, 0, 0}, {FitInside, 500, 0, 0, 0},
        {1, 500, 0, 0, 0},
    };
    for (const FitCase& c : cases) {
        ScaleJob job = BannerFitJob(c);
        EXPECT_FALSE(ComputeFitSize(&job)) << c.mode;
        EXPECT_EQ(0, job.result.width);
        EXPECT_EQ(0, job.result.height);
    }
}

// The exact area-weighted mean of the source under result pixel (x, row).
double ReferenceMean(const ScaleJob& job, int x, int row, int k, int dw, int dh)
{
    const int sw = job.source.width, sh = job.source.height;
    const double left = double(x) * sw / dw, right = double(x + 1) * sw / dw;
    const double top = double(row) * sh / dh, bottom = double(row + 1) * sh / dh;
    double sum = 0.0;
    for (int sy = int(top); sy < sh && sy < bottom; ++sy)
        for (int sx = int(left); sx < sw && sx < right; ++sx) {
            const double wx = std::fmin(right, sx + 1.0) - std::fmax(left, double(sx));
            const double wy = std::fmin(bottom, sy + 1.0) - std::fmax(top, double(sy));
            sum += wx * wy * job.source.pixels[sy * job.source.stride + 3 * sx + k];
        }
    return sum / ((right - left) * (bottom - top));
}

TEST(BannerResample, MatchesTheExactAreaMeanAtEverySmallerSize)
{
    ScaleJob job = MakeJob(29, 17, [](int x, int row, int k) {
        return static_cast<uint8_t>((x * 37 + row * 101 + k * 59 + x * row * 7) % 256);
    });
    for (int dh = 1; dh <= 17; ++dh)
        for (int dw = 1; dw <= 29; ++dw) {
            job.targetWidth = static_cast<uint16_t>(dw);
            job.targetHeight = static_cast<uint16_t>(dh);
            job.fitMode = FitExact;
            ASSERT_TRUE(PrepareScaleJob(&job)) << dw << "x" << dh;
            ASSERT_EQ(dw, job.result.width);
            ASSERT_EQ(dh, job.result.height);
            for (int row = 0; row < dh; ++row)
                for (int x = 0; x < dw; ++x)
                    for (int k = 0; k < 3; ++k) {
                        const double want = ReferenceMean(job, x, row, k, dw, dh);
                        EXPECT_LE(std::fabs(ResultAt(job, x, row, k) - want), 1.0)
                            << dw << "x" << dh << " at " << x << "," << row << " channel " << k;
                    }
            // The padding after each row stays zero.
            for (int row = 0; row < dh; ++row)
                for (uint32_t i = 3 * dw; i < job.result.stride; ++i)
                    EXPECT_EQ(0, job.result.pixels[row * job.result.stride + i]);
            BannerRelease(job.result.pixels);
            job.result.pixels = nullptr;
        }
    FreeScaleJob(&job);
}

TEST(BannerResample, WorkedShrinks)
{
    // 4 x 1 to 2 x 1 averages pairs.
    const uint8_t four[4][3] = {{10, 20, 30}, {30, 40, 50}, {0, 255, 100}, {255, 0, 101}};
    ScaleJob job = MakeJob(4, 1, [&](int x, int, int k) { return four[x][k]; });
    job.targetWidth = 2;
    job.targetHeight = 1;
    job.fitMode = FitExact;
    ASSERT_TRUE(PrepareScaleJob(&job));
    const int pairs[2][3] = {{20, 30, 40}, {128, 128, 101}};  // 127.5 and 100.5 round up
    for (int x = 0; x < 2; ++x)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(pairs[x][k], ResultAt(job, x, 0, k)) << x << " " << k;
    FreeScaleJob(&job);

    // 3 x 1 to 2 x 1: (p0 + p1 / 2) / 1.5 and (p1 / 2 + p2) / 1.5.
    const uint8_t three[3][3] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    job = MakeJob(3, 1, [&](int x, int, int k) { return three[x][k]; });
    job.targetWidth = 2;
    job.targetHeight = 1;
    job.fitMode = FitExact;
    ASSERT_TRUE(PrepareScaleJob(&job));
    const int thirds[2][3] = {{20, 30, 40}, {60, 70, 80}};
    for (int x = 0; x < 2; ++x)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(thirds[x][k], ResultAt(job, x, 0, k)) << x << " " << k;
    FreeScaleJob(&job);

    // The same along columns: 1 x 3 to 1 x 2, rows kept in stored order.
    job = MakeJob(1, 3, [&](int, int row, int k) { return three[row][k]; });
    job.targetWidth = 1;
    job.targetHeight = 2;
    job.fitMode = FitExact;
    ASSERT_TRUE(PrepareScaleJob(&job));
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(thirds[row][k], ResultAt(job, 0, row, k)) << row << " " << k;
    FreeScaleJob(&job);
}

TEST(BannerResample, UniformBannerStaysUniformAtEveryWidth)
{
    const uint8_t bgr[3] = {216, 233, 7};
    ScaleJob job = UniformJob(1450, 200, bgr);
    for (int width = 300; width <= 1450; ++width) {
        const PixelBuffer* shown = ScaleToWidth(&job, static_cast<uint16_t>(width));
        ASSERT_NE(nullptr, shown) << width;
        ASSERT_EQ(width, shown->width);
        bool uniform = true;
        for (int row = 0; row < shown->height && uniform; ++row)
            for (int i = 0; i < 3 * width; ++i)
                if (shown->pixels[row * shown->stride + i] != bgr[i % 3]) {
                    uniform = false;
                    ADD_FAILURE() << "width " << width << " row " << row << " byte " << i;
                    break;
                }
        BannerRelease(job.result.pixels);
        job.result.pixels = nullptr;
    }
    FreeScaleJob(&job);
}

TEST(BannerResample, EqualSizeCopiesExactly)
{
    ScaleJob job = MakeJob(1450, 200, [](int x, int row, int k) {
        return static_cast<uint8_t>(x * 7 + row * 13 + k * 101);
    });
    const PixelBuffer* shown = ScaleToWidth(&job, 1450);
    ASSERT_NE(nullptr, shown);
    ASSERT_EQ(200, shown->height);
    ASSERT_EQ(4352u, shown->stride);
    for (int row = 0; row < 200; ++row)
        ASSERT_EQ(0, std::memcmp(job.source.pixels + row * 4352, shown->pixels + row * 4352, 3 * 1450)) << row;
    FreeScaleJob(&job);
}

TEST(BannerResample, WidthZeroShowsTheSourceItself)
{
    const uint8_t bgr[3] = {1, 2, 3};
    ScaleJob job = UniformJob(1450, 200, bgr);
    EXPECT_EQ(&job.source, ScaleToWidth(&job, 0));
    EXPECT_EQ(nullptr, job.result.pixels);
    FreeScaleJob(&job);
}

TEST(BannerResample, LargerResultsAreNotEnlarged)
{
    // A frame wider than the banner, and an exact box taller than it, both
    // show the banner at its own size.
    ScaleJob job = MakeJob(1450, 200, [](int x, int row, int k) { return static_cast<uint8_t>(x + row + k); });
    const FitCase cases[] = {{FitWidth, 1451, 0, 1450, 200}, {FitWidth, 4000, 0, 1450, 200},
                             {FitExact, 500, 300, 1450, 200}, {FitHeight, 0, 65535, 1450, 200}};
    for (const FitCase& c : cases) {
        job.targetWidth = c.targetWidth;
        job.targetHeight = c.targetHeight;
        job.fitMode = c.mode;
        ASSERT_TRUE(PrepareScaleJob(&job)) << c.targetWidth;
        EXPECT_EQ(1450, job.result.width);
        EXPECT_EQ(200, job.result.height);
        EXPECT_EQ(0, std::memcmp(job.source.pixels, job.result.pixels, 200 * 4352 + 1));
        BannerRelease(job.result.pixels);
        job.result.pixels = nullptr;
    }
    FreeScaleJob(&job);
}

TEST(BannerResample, NoResultWithoutPixelsOrWithAZeroSide)
{
    const uint8_t bgr[3] = {1, 2, 3};
    ScaleJob job = UniformJob(1450, 200, bgr);
    // Widths that round the height to 0, a zero target, a zero exact side.
    const FitCase cases[] = {{FitWidth, 1, 0, 0, 0}, {FitWidth, 3, 0, 0, 0}, {FitExact, 0, 10, 0, 0},
                             {FitExact, 10, 0, 0, 0}, {FitHeight, 500, 0, 0, 0}};
    for (const FitCase& c : cases) {
        job.targetWidth = c.targetWidth;
        job.targetHeight = c.targetHeight;
        job.fitMode = c.mode;
        EXPECT_FALSE(PrepareScaleJob(&job)) << c.mode << " " << c.targetWidth;
        EXPECT_EQ(nullptr, job.result.pixels);
    }
    // A width of 4 still gives one row.
    EXPECT_NE(nullptr, ScaleToWidth(&job, 4));
    EXPECT_EQ(1, job.result.height);
    FreeScaleJob(&job);

    ScaleJob empty = {};
    empty.source.width = 1450;
    empty.source.height = 200;
    EXPECT_EQ(nullptr, ScaleToWidth(&empty, 500));
    EXPECT_EQ(nullptr, ScaleToWidth(&empty, 0));
    EXPECT_EQ(nullptr, empty.result.pixels);

    // The resampler itself refuses sizes it cannot shrink to.
    job = UniformJob(4, 4, bgr);
    uint8_t out[64] = {};
    job.result.pixels = out;
    job.result.stride = 16;
    EXPECT_FALSE(ResampleArea(&job, 5, 4));
    EXPECT_FALSE(ResampleArea(&job, 4, 5));
    EXPECT_FALSE(ResampleArea(&job, 0, 4));
    EXPECT_FALSE(ResampleArea(&job, 4, 0));
    job.result.pixels = nullptr;
    FreeScaleJob(&job);
}

TEST(BannerResample, FailedAllocationsLeaveNoResult)
{
    const uint8_t bgr[3] = {9, 8, 7};
    ScaleJob job = UniformJob(1450, 200, bgr);
    // The result block, then the accumulator.
    for (unsigned n = 1; n <= 2; ++n) {
        BannerFailAllocation(n);
        EXPECT_EQ(nullptr, ScaleToWidth(&job, 500)) << n;
        EXPECT_EQ(nullptr, job.result.pixels) << n;
        EXPECT_EQ(n, BannerAllocationCount());
    }
    BannerFailAllocation(0);
    EXPECT_NE(nullptr, ScaleToWidth(&job, 500));
    FreeScaleJob(&job);
}

}  // namespace
