// The banner the build draws (bin/banner.bmp, the file the installer carries
// as BITMAP 200): its header, its palette, the shape of its BI_RLE8 stream,
// and its decoding to 200 rows of 1450 pixels.
#include <gtest/gtest.h>

#include <vector>

#include "banner/area_scale.h"
#include "banner/banner_memory.h"
#include "banner/dib_decode.h"
#include "tests/host/banner/built_banner.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

class BannerResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dib = BuiltBannerResource();
        ASSERT_GT(dib.size(), 40u) << "bin/banner.bmp missing: the build draws it with bannergen";
    }
    std::vector<uint8_t> dib;
};

TEST_F(BannerResourceTest, HeaderDescribesAnRle8PictureWithItsOwnPalette)
{
    EXPECT_EQ(40u, Le32(dib, 0));
    EXPECT_EQ(1450u, Le32(dib, 4));
    EXPECT_EQ(200u, Le32(dib, 8));  // positive: bottom-up
    EXPECT_EQ(8, dib[14]);
    EXPECT_EQ(1u, Le32(dib, 16));   // BI_RLE8
    const uint32_t colours = Le32(dib, 32);
    EXPECT_EQ(colours, Le32(dib, 36));  // biClrImportant
    EXPECT_GE(colours, 160u);
    EXPECT_LE(colours, 256u);
    EXPECT_EQ(colours, CountPaletteEntries(dib.data()));
    EXPECT_EQ(dib.size() - 40 - 4 * colours, Le32(dib, 20));  // biSizeImage: the stream

    // Mostly light greys: the tint must show.
    int greys = 0;
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* e = &dib[40 + 4 * i];
        if (e[0] == e[1] && e[1] == e[2] && e[0] >= 116)
            ++greys;
    }
    EXPECT_GE(greys, static_cast<int>(colours * 2 / 3));
}

TEST_F(BannerResourceTest, StreamCodesEveryRowToExactly1450Pixels)
{
    // Walk the codes: every row holds 1450 pixels, 199 end-of-line codes
    // separate the 200 rows, the end-of-bitmap code is the last one.
    const uint32_t colours = Le32(dib, 32);
    size_t at = 40 + 4 * colours;
    int rows = 0, endOfLines = 0, pixels = 0;
    bool ended = false;
    while (at + 2 <= dib.size() && !ended) {
        const uint8_t a = dib[at], b = dib[at + 1];
        at += 2;
        if (a) {
            pixels += a;
            EXPECT_LT(b, colours);
        } else if (b == 0 || b == 1) {
            EXPECT_EQ(1450, pixels) << "row " << rows;
            pixels = 0;
            ++rows;
            endOfLines += b == 0;
            ended = b == 1;
        } else {
            ASSERT_GE(b, 3) << "the banner has no delta codes";
            for (int i = 0; i < b; ++i)
                EXPECT_LT(dib[at + i], colours);
            pixels += b;
            at += b + (b & 1);
        }
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(dib.size(), at);
    EXPECT_EQ(200, rows);
    EXPECT_EQ(199, endOfLines);
}

TEST_F(BannerResourceTest, DecodesTo200RowsOf1450Indices)
{
    const uint32_t colours = Le32(dib, 32);
    const size_t data = 40 + 4 * colours;
    uint8_t* indices = DecodeRle8(1450, 200, dib.data() + data, dib.size() - data);
    ASSERT_NE(nullptr, indices);
    // 1452-byte rows; the two padding bytes of each stay 0 and every pixel
    // names a palette entry.
    for (int row = 0; row < 200; ++row) {
        EXPECT_EQ(0, indices[row * 1452 + 1450]) << row;
        EXPECT_EQ(0, indices[row * 1452 + 1451]) << row;
        for (int x = 0; x < 1450; ++x)
            ASSERT_LT(indices[row * 1452 + x], colours) << row << "," << x;
    }
    BannerRelease(indices);

    ScaleJob job = {};
    const BgrColor face = {216, 233, 236};
    ASSERT_TRUE(DecodeDib(&job, dib.data(), dib.size(), face));
    EXPECT_EQ(1450, job.source.width);
    EXPECT_EQ(200, job.source.height);
    EXPECT_EQ(4352u, job.source.stride);
    // The sky's grey of 220 and above follows the dialog colour: at the top
    // row (stored last) the blue channel sits well below red.
    const uint8_t* top = job.source.pixels + 199 * 4352;
    EXPECT_LT(top[3 * 1449], top[3 * 1449 + 2]);
    const PixelBuffer* frame = ScaleToWidth(&job, 500);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(69, frame->height);
    FreeScaleJob(&job);
}

}  // namespace

namespace {

TEST_F(BannerResourceTest, JunkAnywhereNeverLeavesTheResource)
{
    // Each 256-byte window overwritten with junk, and the resource cut
    // short at every 1 KB: the decoder stays inside the bytes it is given
    // (each copy is an exact-size block, so a sanitizer build sees any
    // read past it) and either refuses or gives the declared size.
    const BgrColor face = {216, 233, 236};
    for (size_t at = 0; at < dib.size(); at += 256) {
        std::vector<uint8_t> damaged(dib);
        for (size_t i = at; i < at + 256 && i < damaged.size(); ++i)
            damaged[i] = static_cast<uint8_t>(i * 131 + 7);
        ScaleJob job = {};
        if (DecodeDib(&job, damaged.data(), damaged.size(), face)) {
            EXPECT_LE(job.source.width * job.source.height, static_cast<unsigned>(BANNER_MAX_PIXELS)) << at;
            ScaleToWidth(&job, 500);
        } else {
            EXPECT_EQ(nullptr, job.source.pixels) << at;
        }
        FreeScaleJob(&job);
    }
    for (size_t length = 0; length < dib.size(); length += 1024) {
        std::vector<uint8_t> cut(dib.begin(), dib.begin() + length);
        ScaleJob job = {};
        const bool decoded = DecodeDib(&job, cut.data(), cut.size(), face);
        // Once the colour table is whole, a cut stream still gives the
        // picture: the rows it no longer holds show colour 0.
        EXPECT_EQ(length >= 40 + 4 * Le32(dib, 32), decoded) << length;
        FreeScaleJob(&job);
    }
}

}  // namespace
