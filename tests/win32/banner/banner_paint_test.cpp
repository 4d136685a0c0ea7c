// wine-versions: win98 winxp win7
// The banner as the wizard frame paints it: at the top-left corner of the
// client area, made for the frame's outer width (so the border cuts its right
// edge) in the height the aspect ratio gives, pixel for pixel the installer's
// BITMAP 200 decoded and shrunk by the banner code; made once per run, and
// asked for again at the next paint when it could not be made.
#include <gtest/gtest.h>

#include <stdio.h>

#include <fstream>
#include <string>

#include "banner_expect.h"

using banner_test::ExpectedBanner;
using banner_test::Pixels;
using banner_test::ScreenPixels;

namespace {

// Calls of one guarded Win32 function in the installer's fault-seam log.
int LoggedCalls(const std::string& log, const char* name)
{
    // One guarded call a line, "N NAME"; the texts shown ("- ...") aside.
    std::ifstream in(log);
    std::string line;
    int count = 0;
    while (std::getline(in, line))
        count += line.compare(0, 2, "- ") != 0 && line.substr(line.find(' ') + 1) == name;
    return count;
}

std::string LogPath(const char* name)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

// Where the banner must show on the screen and what it must look like.
struct FrameBanner {
    POINT client{};    // screen position of the client area's top-left corner
    int clientWidth = 0;
    int clientHeight = 0;
    int outerWidth = 0;
    Pixels expected;   // the banner made for the outer width
};

FrameBanner Expect(HWND frame)
{
    FrameBanner b;
    RECT outer{}, client{};
    GetWindowRect(frame, &outer);
    GetClientRect(frame, &client);
    ClientToScreen(frame, &b.client);
    b.clientWidth = client.right;
    b.clientHeight = client.bottom;
    b.outerWidth = outer.right - outer.left;
    b.expected = ExpectedBanner(b.outerWidth, GetSysColor(COLOR_BTNFACE));
    return b;
}

void Repaint(const ui::Installer& installer)
{
    RedrawWindow(installer.frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ui::Settle(installer, 150);
}

// Pixels of the banner's rows on the screen that differ from the expected
// banner, over the client area's width (the rest is cut off by the border).
int BannerMismatches(const FrameBanner& b, std::string* first)
{
    const Pixels& e = b.expected;
    const Pixels shot = ScreenPixels(b.client.x, b.client.y, b.clientWidth, e.height);
    int mismatches = 0;
    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < b.clientWidth && x < e.width; ++x)
            if (shot.At(x, y) != e.At(x, y) && mismatches++ == 0 && first) {
                char text[96];
                snprintf(text, sizeof text, "(%d,%d): screen %06lx, banner %06lx", x, y,
                         static_cast<unsigned long>(shot.At(x, y)), static_cast<unsigned long>(e.At(x, y)));
                *first = text;
            }
    return mismatches;
}

bool RowIsBackground(const FrameBanner& b, int y)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const Pixels row = ScreenPixels(b.client.x, b.client.y + y, b.clientWidth, 1);
    for (int x = 0; x < b.clientWidth; ++x)
        if (row.At(x, 0) != face)
            return false;
    return true;
}

std::string WineVersion()
{
    char version[32] = "unknown";
    GetEnvironmentVariableA("NOVLA_WINE_VERSION", version, sizeof version);
    return version;
}

TEST(BannerPaint, FrameShowsTheBannerAcrossItsTopMadeOnce)
{
    const std::string log = LogPath("banner_paint.log");
    ui::Installer installer;
    ASSERT_TRUE(ui::Start(installer, ui::Build::Faults, {"NOVLA_FAULT_LOG=" + log}));
    ASSERT_TRUE(ui::WaitUntil([&] { return LoggedCalls(log, "CreateDIBitmap") > 0; }));
    ui::Settle(installer, 300);

    const FrameBanner b = Expect(installer.frame);
    ASSERT_GT(b.expected.height, 0);
    // As wide as the outer window, so wider than the client area.
    EXPECT_EQ(b.outerWidth, b.expected.width);
    EXPECT_GT(b.outerWidth, b.clientWidth);
    EXPECT_EQ((200 * b.outerWidth * 2 + 1450) / 2900, b.expected.height);

    std::string first;
    EXPECT_EQ(0, BannerMismatches(b, &first)) << "first at " << first;
    EXPECT_FALSE(RowIsBackground(b, 0));
    // Below the banner the dialog background shows.
    EXPECT_TRUE(RowIsBackground(b, b.expected.height + 1));
    ui::SaveScreen(ui::EnvPath("NOVLA_SCREENS") + "\\banner_frame_" + WineVersion() + ".bmp");

    // Later paints reuse the bitmap.
    for (int i = 0; i < 3; ++i)
        Repaint(installer);
    EXPECT_EQ(0, BannerMismatches(b, &first)) << "first at " << first;
    EXPECT_EQ(1, LoggedCalls(log, "CreateDIBitmap"));
    ui::Kill(installer);
}

TEST(BannerPaint, WithoutABitmapTheTopStaysBareAndEachPaintAsksAgain)
{
    const std::string log = LogPath("banner_bare.log");
    ui::Installer installer;
    ASSERT_TRUE(ui::Start(installer, ui::Build::Faults,
                          {"NOVLA_FAULT_LOG=" + log, "NOVLA_FAULT=CreateDIBitmap", "NOVLA_FAULT_PERSIST=1"}));
    ASSERT_TRUE(ui::WaitUntil([&] { return LoggedCalls(log, "CreateDIBitmap") > 0; }));
    ui::Settle(installer, 300);
    const FrameBanner b = Expect(installer.frame);
    ASSERT_GT(b.expected.height, 0);
    EXPECT_TRUE(RowIsBackground(b, 0));
    EXPECT_TRUE(RowIsBackground(b, b.expected.height / 2));
    const int before = LoggedCalls(log, "CreateDIBitmap");
    Repaint(installer);
    EXPECT_TRUE(ui::WaitUntil([&] { return LoggedCalls(log, "CreateDIBitmap") > before; }));
    EXPECT_TRUE(RowIsBackground(b, 0));
    ui::Kill(installer);
}

TEST(BannerPaint, ABitmapThatFailedOnceIsMadeAtTheNextPaint)
{
    const std::string log = LogPath("banner_retry.log");
    ui::Installer installer;
    ASSERT_TRUE(ui::Start(installer, ui::Build::Faults,
                          {"NOVLA_FAULT_LOG=" + log, "NOVLA_FAULT=CreateDIBitmap#1"}));
    ASSERT_TRUE(ui::WaitUntil([&] { return LoggedCalls(log, "CreateDIBitmap") > 0; }));
    Repaint(installer);
    ASSERT_TRUE(ui::WaitUntil([&] { return LoggedCalls(log, "CreateDIBitmap") >= 2; }));
    ui::Settle(installer, 150);
    const FrameBanner b = Expect(installer.frame);
    std::string first;
    EXPECT_EQ(0, BannerMismatches(b, &first)) << "first at " << first;
    Repaint(installer);
    Repaint(installer);
    EXPECT_EQ(2, LoggedCalls(log, "CreateDIBitmap"));
    ui::Kill(installer);
}

// The release file users download, which keeps no log: its own banner code,
// as its link-time optimisation built it, paints the same banner. Not run
// with the suite, where the fault-seam build's cases above cover the code
// and the release file is the tree's own; the i686 smoke runs it on the
// i686 file where the suite runs the 64-bit twin (tests/wine/i686-smoke.cmake).
TEST(BannerPaint, DISABLED_TheReleaseFilePaintsTheSameBanner)
{
    ui::Installer installer;
    ASSERT_TRUE(ui::Start(installer));
    const FrameBanner b = Expect(installer.frame);
    ASSERT_GT(b.expected.height, 0);
    std::string first;
    EXPECT_TRUE(ui::WaitUntil([&] { return BannerMismatches(b, &first) == 0; })) << "first at " << first;
    EXPECT_TRUE(RowIsBackground(b, b.expected.height + 1));
    ui::Kill(installer);
}

}  // namespace
