// Banner decoding: the tint rule, the colour-table count, BI_RLE8 expansion
// (well-formed and hostile streams), the 24-bit conversion and the header
// checks of DecodeDib.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "banner/area_scale.h"
#include "banner/banner_memory.h"
#include "banner/dib_decode.h"
#include "tests/host/banner/dib_builder.h"

namespace {

const BgrColor kLunaFace = {216, 233, 236};  // red 236, green 233, blue 216
const BgrColor kWhiteFace = {255, 255, 255};

struct Rgb {
    int r, g, b;
};

// Decodes a DIB with the given face; the source pixels stay in the job.
struct Decoded {
    ScaleJob job = {};
    bool ok = false;
    Decoded(const std::vector<uint8_t>& dib, BgrColor face = kLunaFace)
    {
        ok = DecodeDib(&job, dib.data(), dib.size(), face);
    }
    ~Decoded() { FreeScaleJob(&job); }
    Rgb At(int x, int row) const
    {
        const uint8_t* p = job.source.pixels + row * job.source.stride + 3 * x;
        return {p[2], p[1], p[0]};
    }
};

std::vector<uint8_t> Indices(const uint8_t* buffer, size_t count)
{
    return std::vector<uint8_t>(buffer, buffer + count);
}

TEST(BannerTint, WorkedExampleOfTheLunaFace)
{
    // Palette colour -> written colour, red, green, blue.
    struct Case {
        Rgb palette, written;
    } cases[] = {
        {{220, 220, 220}, {236, 233, 216}}, {{255, 255, 255}, {255, 255, 251}},
        {{128, 128, 128}, {144, 141, 124}}, {{3, 3, 3}, {19, 16, 0}},
        {{255, 0, 0}, {255, 0, 0}},         {{1, 2, 4}, {1, 2, 4}},
        {{0, 0, 0}, {0, 0, 0}},             {{1, 1, 1}, {17, 14, 0}},
    };
    std::vector<uint32_t> palette;
    std::vector<uint8_t> row;
    for (const Case& c : cases) {
        row.push_back(static_cast<uint8_t>(palette.size()));
        palette.push_back(c.palette.r << 16 | c.palette.g << 8 | c.palette.b);
    }
    DibSpec spec;
    spec.width = static_cast<int32_t>(row.size());
    spec.clrUsed = static_cast<uint32_t>(palette.size());
    Decoded d(BuildDib(spec, palette, row));
    ASSERT_TRUE(d.ok);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Rgb got = d.At(static_cast<int>(i), 0);
        EXPECT_EQ(cases[i].written.r, got.r) << "case " << i;
        EXPECT_EQ(cases[i].written.g, got.g) << "case " << i;
        EXPECT_EQ(cases[i].written.b, got.b) << "case " << i;
    }
}

TEST(BannerTint, ChannelRuleAndWhiteFace)
{
    EXPECT_EQ(236, TintChannel(236, 220));
    EXPECT_EQ(0, TintChannel(0, 219));
    EXPECT_EQ(255, TintChannel(255, 220));
    EXPECT_EQ(255, TintChannel(255, 221));
    EXPECT_EQ(163, TintChannel(255, 128));
    EXPECT_EQ(0, TintChannel(0, 0));
    EXPECT_EQ(35, TintChannel(255, 0));
    for (int c = 220; c < 256; ++c)
        EXPECT_EQ(255, TintChannel(kWhiteFace.red, static_cast<uint8_t>(c))) << c;
}

TEST(BannerTint, ColorRefSplitsRedLowest)
{
    const BgrColor c = SplitColorRef(0x00D8E9EC);
    EXPECT_EQ(0xEC, c.red);
    EXPECT_EQ(0xE9, c.green);
    EXPECT_EQ(0xD8, c.blue);
}

TEST(BannerPalette, EntryCountByDepthAndClrUsed)
{
    struct Case {
        uint16_t depth;
        uint32_t clrUsed;
        uint16_t expected;
    } cases[] = {
        {1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {24, 0, 0}, {16, 0, 0}, {32, 0, 0},
        {8, 188, 188}, {24, 5, 5}, {8, 0x10000 + 7, 7},  // low 16 bits only
    };
    for (const Case& c : cases) {
        DibSpec spec;
        spec.depth = c.depth;
        spec.clrUsed = c.clrUsed;
        const std::vector<uint8_t> dib = BuildDib(spec, {}, {});
        EXPECT_EQ(c.expected, CountPaletteEntries(dib.data())) << c.depth << " " << c.clrUsed;
    }
}

// Expected index rows for a stream: `rows` is the whole buffer, row length
// included.
struct RleCase {
    const char* name;
    uint16_t width, height;
    std::vector<uint8_t> stream;
    std::vector<uint8_t> expected;
};

TEST(BannerRle8, DecodesEveryCode)
{
    const RleCase cases[] = {
        {"encoded runs", 4, 1, {2, 7, 2, 9, 0, 1}, {7, 7, 9, 9}},
        {"absolute run of 3 has a pad byte", 4, 1, {0, 3, 1, 2, 3, 0xEE, 1, 4, 0, 1}, {1, 2, 3, 4}},
        {"absolute run of 4 has none", 8, 1, {0, 4, 1, 2, 3, 4, 2, 5, 0, 1}, {1, 2, 3, 4, 5, 5, 0, 0}},
        {"end of line moves to the next row", 4, 2, {1, 7, 0, 0, 2, 8, 0, 1}, {7, 0, 0, 0, 8, 8, 0, 0}},
        {"delta leaves index 0", 4, 3, {1, 5, 0, 2, 2, 1, 1, 6, 0, 1}, {5, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0}},
        {"delta adds to the row counter", 4, 3, {0, 2, 0, 1, 0, 0, 1, 9, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0}},
        {"runs wrap into the next row", 4, 2, {6, 3, 0, 1}, {3, 3, 3, 3, 3, 3, 0, 0}},
        {"row length is a multiple of 4", 5, 2, {5, 1, 0, 0, 5, 2, 0, 1},
         {1, 1, 1, 1, 1, 0, 0, 0, 2, 2, 2, 2, 2, 0, 0, 0}},
        {"nothing after end of bitmap", 4, 1, {1, 1, 0, 1, 3, 2}, {1, 0, 0, 0}},
        // Hostile streams: the rest is ignored, nothing leaves the buffer.
        {"no end of bitmap", 4, 2, {2, 4}, {4, 4, 0, 0, 0, 0, 0, 0}},
        {"odd trailing byte", 4, 1, {2, 4, 9}, {4, 4, 0, 0}},
        {"run past the end is cut", 4, 1, {3, 1, 200, 2, 1, 3}, {1, 1, 1, 2}},
        {"absolute run past the end is cut", 4, 1, {1, 1, 0, 5, 2, 3, 4, 5, 6, 0, 1, 9}, {1, 2, 3, 4}},
        {"absolute run past the input", 4, 1, {0, 9, 1, 2}, {1, 2, 0, 0}},
        {"delta past the end", 4, 2, {1, 1, 0, 2, 0, 2, 1, 5}, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"delta cut short", 4, 1, {1, 1, 0, 2, 1}, {1, 0, 0, 0}},
        {"end of line past the last row", 4, 1, {0, 0, 0, 0, 0, 0, 1, 3}, {0, 0, 0, 0}},
        {"end of line onto the last edge", 4, 1, {0, 0, 1, 3, 0, 1}, {0, 0, 0, 0}},
        {"empty stream", 4, 1, {}, {0, 0, 0, 0}},
    };
    for (const RleCase& c : cases) {
        uint8_t* out = DecodeRle8(c.width, c.height, c.stream.data(), c.stream.size());
        ASSERT_NE(nullptr, out) << c.name;
        EXPECT_EQ(c.expected, Indices(out, c.expected.size())) << c.name;
        BannerRelease(out);
    }
}

TEST(BannerDecode, SkipsTheColourTableByClrUsed)
{
    // Index 1 is green in a 188-entry table and blue in a 256-entry one; the
    // pixel data starts right after whichever table the count gives.
    for (uint32_t clrUsed : {0u, 188u}) {
        const size_t entries = clrUsed ? clrUsed : 256;
        std::vector<uint32_t> palette(entries, 0);
        palette[1] = clrUsed ? 0x00FF00 : 0x0000FF;
        DibSpec spec;
        spec.width = 2;
        spec.clrUsed = clrUsed;
        spec.compression = 1;
        Decoded d(BuildDib(spec, palette, {1, 1, 1, 0, 0, 1}));
        ASSERT_TRUE(d.ok) << clrUsed;
        const Rgb first = d.At(0, 0);
        EXPECT_EQ(clrUsed ? 255 : 0, first.g) << clrUsed;
        EXPECT_EQ(clrUsed ? 0 : 255, first.b) << clrUsed;
        EXPECT_EQ(0, d.At(1, 0).r);  // entry 0, black, untinted
    }
}

TEST(BannerDecode, UncompressedRowsArePaddedToFourBytes)
{
    // 3 x 2, 8 bits: each row 3 indices and 1 pad byte; any compression
    // value but 1 reads the rows uncompressed.
    for (uint32_t compression : {0u, 2u, 3u}) {
        DibSpec spec;
        spec.width = 3;
        spec.height = 2;
        spec.compression = compression;
        spec.clrUsed = 4;
        const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        Decoded d(BuildDib(spec, palette, {1, 2, 3, 0xFF, 3, 2, 1, 0xFF}));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(12u, d.job.source.stride);
        EXPECT_EQ(255, d.At(0, 0).r);
        EXPECT_EQ(255, d.At(2, 0).b);
        EXPECT_EQ(255, d.At(0, 1).b);  // second stored row starts after the pad
        EXPECT_EQ(255, d.At(2, 1).r);
    }
}

TEST(BannerDecode, TwentyFourBitPixelsAreTintedLikePaletteColours)
{
    DibSpec spec;
    spec.width = 2;
    spec.depth = 24;
    // blue, green, red per pixel; row padded to 8 bytes.
    Decoded d(BuildDib(spec, {}, {220, 220, 220, 0, 0, 255, 0, 0}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(236, d.At(0, 0).r);
    EXPECT_EQ(216, d.At(0, 0).b);
    EXPECT_EQ(255, d.At(1, 0).r);
    EXPECT_EQ(0, d.At(1, 0).g);
}

TEST(BannerDecode, IndexBeyondTheColourTableIsBlack)
{
    DibSpec spec;
    spec.width = 2;
    spec.clrUsed = 1;
    // Entry 0 is white; index 2 would read the pixel bytes as a colour.
    Decoded d(BuildDib(spec, {0xFFFFFF}, {0, 2, 0xFF, 0xFF}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(255, d.At(0, 0).g);
    EXPECT_EQ(0, d.At(1, 0).r);
    EXPECT_EQ(0, d.At(1, 0).g);
    EXPECT_EQ(0, d.At(1, 0).b);
}

TEST(BannerDecode, BannerWidthRowsHaveStride4352AndZeroPadding)
{
    DibSpec spec;
    spec.width = 1450;
    spec.height = 2;
    spec.compression = 1;
    spec.clrUsed = 1;
    // Every pixel index 0, white: 5 runs of 255 and one of 175 per row.
    std::vector<uint8_t> stream;
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 5; ++i)
            stream.insert(stream.end(), {255, 0});
        stream.insert(stream.end(), {175, 0, 0, static_cast<uint8_t>(row ? 1 : 0)});
    }
    Decoded d(BuildDib(spec, {0xDCDCDC}, stream));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(1450, d.job.source.width);
    EXPECT_EQ(2, d.job.source.height);
    EXPECT_EQ(4352u, d.job.source.stride);
    for (int row = 0; row < 2; ++row) {
        const uint8_t* p = d.job.source.pixels + row * 4352;
        EXPECT_EQ(216, p[3 * 1449]);
        EXPECT_EQ(236, p[3 * 1449 + 2]);
        EXPECT_EQ(0, p[4350]);
        EXPECT_EQ(0, p[4351]);
    }
}

TEST(BannerDecode, RefusesWhatItCannotShow)
{
    struct Case {
        const char* name;
        DibSpec spec;
        size_t dataBytes;
    };
    auto with = [](auto change) {
        DibSpec spec;
        change(spec);
        return spec;
    };
    const Case cases[] = {
        {"4 bits per pixel", with([](DibSpec& s) { s.depth = 4; }), 4},
        {"32 bits per pixel", with([](DibSpec& s) { s.depth = 32; }), 16},
        {"top-down", with([](DibSpec& s) { s.height = -1; }), 4},
        {"zero width", with([](DibSpec& s) { s.width = 0; }), 4},
        {"zero height", with([](DibSpec& s) { s.height = 0; }), 4},
        {"width past the stride limit", with([](DibSpec& s) { s.width = 10922; }), 10924},
        {"width beyond 16 bits", with([](DibSpec& s) { s.width = 0x10004; }), 4},
        {"height beyond the limit", with([](DibSpec& s) { s.height = 32768; s.width = 1; }), 4 * 32768},
        {"area beyond the limit", with([](DibSpec& s) { s.width = 4096; s.height = 1025; s.compression = 1; }), 2},
        {"short uncompressed rows", with([](DibSpec& s) { s.height = 2; }), 7},
        {"colour table past the end", with([](DibSpec& s) { s.clrUsed = 60000; }), 4},
        {"header size below 40", with([](DibSpec& s) { s.headerSize = 12; }), 4},
        {"header size past the end", with([](DibSpec& s) { s.headerSize = 4000; }), 4},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = BuildDib(c.spec, {}, std::vector<uint8_t>(c.dataBytes, 0));
        if (c.spec.headerSize == 4000)
            dib.resize(200);  // the header claims more than the resource holds
        Decoded d(dib);
        EXPECT_FALSE(d.ok) << c.name;
        EXPECT_EQ(nullptr, d.job.source.pixels) << c.name;
    }
    // Fewer bytes than a header.
    ScaleJob job = {};
    const uint8_t bytes[39] = {40};
    EXPECT_FALSE(DecodeDib(&job, bytes, sizeof bytes, kLunaFace));
    EXPECT_EQ(nullptr, job.source.pixels);
    EXPECT_FALSE(DecodeDib(&job, nullptr, 0, kLunaFace));
}

TEST(BannerDecode, SetsOnlyTheSourceHalfOfTheJob)
{
    DibSpec spec;
    spec.compression = 1;
    spec.clrUsed = 1;
    ScaleJob job;
    std::memset(&job, 0xA5, sizeof job);
    const std::vector<uint8_t> dib = BuildDib(spec, {0x808080}, {4, 0, 0, 1});
    ASSERT_TRUE(DecodeDib(&job, dib.data(), dib.size(), kLunaFace));
    EXPECT_EQ(4, job.source.width);
    EXPECT_EQ(1, job.source.height);
    EXPECT_EQ(12u, job.source.stride);
    EXPECT_EQ(0xA5A5, job.targetWidth);
    EXPECT_EQ(0xA5A5, job.targetHeight);
    EXPECT_EQ(0xA5A5u, static_cast<uint16_t>(job.fitMode));
    EXPECT_EQ(0xA5A5, job.result.width);
    BannerRelease(job.source.pixels);
}

TEST(BannerDecode, FailedAllocationsLeaveNoPixels)
{
    DibSpec spec;
    spec.compression = 1;
    spec.clrUsed = 1;
    const std::vector<uint8_t> dib = BuildDib(spec, {0x808080}, {4, 0, 0, 1});
    // RLE8 makes two blocks (indices, pixels); each one may fail.
    for (unsigned n = 1; n <= 2; ++n) {
        BannerFailAllocation(n);
        ScaleJob job = {};
        EXPECT_FALSE(DecodeDib(&job, dib.data(), dib.size(), kLunaFace)) << n;
        EXPECT_EQ(nullptr, job.source.pixels) << n;
        EXPECT_EQ(n, BannerAllocationCount()) << n;
    }
    BannerFailAllocation(0);
}

}  // namespace
