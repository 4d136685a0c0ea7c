// The 24-bit header handed to CreateDIBitmap.
#include <gtest/gtest.h>

#include <cstring>

#include "banner/dib_info.h"

namespace {

TEST(BannerDibHeader, FieldsForTheFrameWidthAndTheFullBanner)
{
    struct Case {
        uint16_t width, height;
        uint32_t sizeImage;
    } cases[] = {{500, 69, 1500 * 69}, {1450, 200, 4352 * 200}, {1, 1, 4}, {507, 70, 1524 * 70}};
    for (const Case& c : cases) {
        DibInfo24 info;
        std::memset(&info, 0xCC, sizeof info);
        FillDibHeader24(&info, c.width, c.height);
        EXPECT_EQ(40u, info.biSize);
        EXPECT_EQ(c.width, info.biWidth);
        EXPECT_EQ(c.height, info.biHeight);  // positive: bottom-up
        EXPECT_EQ(1, info.biPlanes);
        EXPECT_EQ(24, info.biBitCount);
        EXPECT_EQ(0u, info.biCompression);
        EXPECT_EQ(c.sizeImage, info.biSizeImage) << c.width;
        EXPECT_EQ(72, info.biXPelsPerMeter);
        EXPECT_EQ(72, info.biYPelsPerMeter);
        EXPECT_EQ(0u, info.biClrUsed);
        EXPECT_EQ(0u, info.biClrImportant);
        for (uint8_t b : info.firstColor)
            EXPECT_EQ(0, b);
    }
    DibInfo24 info;
    FillDibHeader24(&info, 0x8000, 0xFFFF);  // 16-bit values, sign-extended
    EXPECT_EQ(-32768, info.biWidth);
    EXPECT_EQ(-1, info.biHeight);
}

}  // namespace
