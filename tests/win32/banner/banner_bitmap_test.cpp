// wine-versions: winxp
// The banner loader under Wine, in-process: the bitmap it makes from the
// installer's BITMAP 200 at each width, pixel for pixel against the banner
// code's own decoding; the button-face colour read at each call; and no
// bitmap, without a crash, when a resource call, GDI or memory fails.
#include <gtest/gtest.h>

#include <string>

#include "banner/banner_bitmap.h"
#include "banner/banner_memory.h"
#include "banner_expect.h"
#include "common/fault_seam.h"

using banner_test::BitmapPixels;
using banner_test::ExpectedBanner;
using banner_test::InstallerModule;
using banner_test::Pixels;

namespace {

class BannerBitmapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FaultSelect(nullptr, 0, false);
        BannerFailAllocation(0);
        ASSERT_NE(nullptr, InstallerModule()) << ui::EnvPath("NOVLA_INSTALLER");
        dc = GetDC(nullptr);
    }
    void TearDown() override
    {
        FaultSelect(nullptr, 0, false);
        BannerFailAllocation(0);
        ReleaseDC(nullptr, dc);
    }
    HBITMAP Load(WORD width, WORD id = 200) { return LoadBannerBitmap(dc, InstallerModule(), id, width); }
    HDC dc = nullptr;
};

// Index of the first differing byte of two pictures' pixels, or -1.
long FirstDifference(const Pixels& a, const Pixels& b)
{
    for (int row = 0; row < a.height; ++row)
        for (int i = 0; i < 3 * a.width; ++i) {
            const size_t at = static_cast<size_t>(row) * a.stride + i;
            if (a.bytes[at] != b.bytes[at])
                return static_cast<long>(at);
        }
    return -1;
}

TEST_F(BannerBitmapTest, MakesTheScaledBannerAtEachWidth)
{
    struct Case {
        WORD width;
        int expectedWidth, expectedHeight;
    } cases[] = {
        {500, 500, 69}, {507, 507, 70}, {640, 640, 88}, {0, 1450, 200}, {1450, 1450, 200},
        {2000, 1450, 200},  // wider than the picture: shown at its own size
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const Case& c : cases) {
        HBITMAP bitmap = Load(c.width);
        ASSERT_NE(nullptr, bitmap) << c.width;
        const Pixels got = BitmapPixels(bitmap);
        DeleteObject(bitmap);
        EXPECT_EQ(c.expectedWidth, got.width) << c.width;
        EXPECT_EQ(c.expectedHeight, got.height) << c.width;
        const Pixels want = ExpectedBanner(c.width, face);
        ASSERT_EQ(want.width, got.width);
        ASSERT_EQ(want.height, got.height);
        EXPECT_EQ(-1, FirstDifference(want, got)) << "width " << c.width;
    }
}

TEST_F(BannerBitmapTest, NoBitmapForAMissingResourceOrAZeroHeight)
{
    EXPECT_EQ(nullptr, Load(500, 201));
    EXPECT_EQ(nullptr, Load(500, 100));  // an icon, not a BITMAP
    EXPECT_EQ(nullptr, Load(3));         // 1450 x 200 at 3 pixels wide: height 0
    EXPECT_NE(nullptr, Load(4));         // one row
}

TEST_F(BannerBitmapTest, FollowsTheButtonFaceColourAtEachCall)
{
    const int index = COLOR_BTNFACE;
    const COLORREF original = GetSysColor(index);
    const COLORREF white = RGB(255, 255, 255);
    ASSERT_TRUE(SetSysColors(1, &index, &white));
    HBITMAP bitmap = Load(0);
    const Pixels whiteBanner = BitmapPixels(bitmap);
    DeleteObject(bitmap);
    SetSysColors(1, &index, &original);

    const Pixels want = ExpectedBanner(0, white);
    ASSERT_EQ(want.height, whiteBanner.height);
    EXPECT_EQ(-1, FirstDifference(want, whiteBanner));
    // And it differs from the banner in the original colour.
    if (original != white) {
        bitmap = Load(0);
        EXPECT_NE(-1, FirstDifference(BitmapPixels(bitmap), whiteBanner));
        DeleteObject(bitmap);
    }
}

TEST_F(BannerBitmapTest, EachFailingCallGivesNoBitmap)
{
    const char* calls[] = {"FindResourceA", "SizeofResource", "LoadResource", "LockResource", "CreateDIBitmap"};
    for (const char* name : calls) {
        FaultSelect(name, 1, false);
        HBITMAP bitmap = Load(500);
        EXPECT_TRUE(FaultFired()) << name << " is not called";
        EXPECT_EQ(nullptr, bitmap) << name;
        if (bitmap)
            DeleteObject(bitmap);
    }
    // Every guarded call in turn, once and from there on.
    for (bool persistent : {false, true})
        for (unsigned n = 1;; ++n) {
            FaultSelect(nullptr, n, persistent);
            HBITMAP bitmap = Load(500);
            if (!FaultFired()) {
                EXPECT_NE(nullptr, bitmap) << "after " << n - 1 << " calls";
                DeleteObject(bitmap);
                EXPECT_GE(n, 5u);
                break;
            }
            EXPECT_EQ(nullptr, bitmap) << "call " << n << (persistent ? " on" : "");
            ASSERT_LT(n, 50u);
        }
}

TEST_F(BannerBitmapTest, EachFailingAllocationGivesNoBitmap)
{
    // Indices, pixels, scaled pixels, accumulator: then nothing fails.
    for (unsigned n = 1; n <= 5; ++n) {
        BannerFailAllocation(n);
        HBITMAP bitmap = Load(500);
        if (n <= 4) {
            EXPECT_EQ(nullptr, bitmap) << n;
        } else {
            EXPECT_NE(nullptr, bitmap) << n;
            EXPECT_EQ(4u, BannerAllocationCount());
        }
        if (bitmap)
            DeleteObject(bitmap);
    }
}

}  // namespace
