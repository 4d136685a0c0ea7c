// wine-versions: win98 winxp win7
// The welcome page of the real installer: its texts, the banner lines' colour
// and the start-up warnings; cancelled there, it leaves nothing behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/cleanup/cleanup_walk.h"
#include "wizard_walk.h"

namespace {

const char kFilesInUse[] =
    "Setup has detected that one or more files it needs to replace are currently loaded in memory. It is strongly "
    "recommended that you quit all running programs and restart your computer before you continue.";
const char kNotAdmin[] =
    "Setup has detected that it cannot continue in the current user mode. Please exit and run setup again in the "
    "Administrative mode. For more information, please consult your Windows help documentation.";

// The screen pixels of a window's rectangle.
std::vector<COLORREF> Pixels(HWND window)
{
    RECT r = ui::ScreenRect(window);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

size_t Count(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    size_t n = 0;
    for (COLORREF p : pixels)
        n += p == colour;
    return n;
}

TEST(Welcome, TextsWithoutWarningTheBannerLinesInDarkBlueAndCancelLeavesNothing)
{
    cleanup::Snapshot before = cleanup::Take();
    ui::Installer installer;
    ASSERT_TRUE(walk::StartAt(installer, 1));
    HWND frame = installer.frame;
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ("NOVLA Hybrid Setup\r\nCopyright (C) 1995-" + std::to_string(now.wYear) +
                  " NOVLA. All rights reserved.",
              ui::ControlText(frame, IDC_BANNER_LINES));
    EXPECT_EQ("Welcome to the new NOVLA installation wizard. This setup utility will guide you through a few simple "
              "steps to install the NOVLA Tessaronix software on your computer. Click the Continue button below now "
              "to being...",
              ui::ControlText(frame, IDC_WELCOME_TEXT));
    EXPECT_EQ("Introduction To Setup:", ui::ControlText(frame, IDC_INTRO_LABEL));
    EXPECT_FALSE(ui::IsVisible(ui::Control(frame, IDC_NOTES_LABEL)));
    EXPECT_EQ("", ui::ControlText(frame, IDC_WARNING_TEXT));
    EXPECT_TRUE(ui::IsEnabled(GetDlgItem(frame, IDC_CONTINUE)));
    HICON icon = reinterpret_cast<HICON>(SendMessageA(ui::Control(frame, IDC_WELCOME_ICON), STM_GETICON, 0, 0));
    EXPECT_TRUE(icon != nullptr);

    // Only the banner lines are dark blue, on the button face; the other
    // texts keep the default colours.
    ui::Settle(installer, 300);
    const COLORREF darkBlue = RGB(0, 0, 128), face = GetSysColor(COLOR_BTNFACE);
    std::vector<COLORREF> banner = Pixels(ui::Control(frame, IDC_BANNER_LINES));
    EXPECT_GT(Count(banner, darkBlue), 20u);
    EXPECT_EQ(face, banner.front());
    EXPECT_EQ(0u, Count(banner, RGB(0, 0, 0)));
    for (int id : {IDC_INTRO_LABEL, IDC_WELCOME_TEXT}) {
        std::vector<COLORREF> other = Pixels(ui::Control(frame, id));
        EXPECT_EQ(0u, Count(other, darkBlue)) << id;
        EXPECT_LT(Count(other, face) + 20, other.size()) << id;  // text is drawn
    }
    std::string screens = ui::EnvPath("NOVLA_SCREENS");
    if (!screens.empty())
        ui::SaveScreen(screens + "\\welcome-" + ui::EnvPath("NOVLA_WINE_VERSION") + ".bmp");
    ui::Click(GetDlgItem(frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
    // Not even the administrator probe's keys.
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, cleanup::Take()));
}

// Holds the System folder's shell extension (a target of every Windows
// generation) open without sharing, as a running Explorer would.
struct HeldTarget {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string path;
    HeldTarget()
    {
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        path = std::string(system) + "\\TSXCtxMenu.dll";
        file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    ~HeldTarget()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        DeleteFileA(path.c_str());
    }
};

TEST(Welcome, WarningsDisableContinue)
{
    struct Case {
        const char* name;
        bool holdFile;
        bool notAdmin;
        const char* warning;
    } cases[] = {
        {"files in use", true, false, kFilesInUse},
        {"not admin", false, true, kNotAdmin},
        {"both: files in use wins", true, true, kFilesInUse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeldTarget* held = c.holdFile ? new HeldTarget : nullptr;
        if (held)
            ASSERT_NE(INVALID_HANDLE_VALUE, held->file);
        ui::Environment extra;
        if (c.notAdmin)
            extra.push_back("NOVLA_FAULT=RegCreateKeyExA");
        ui::Installer installer;
        ASSERT_TRUE(walk::StartAt(installer, 1, ui::Build::Faults, extra));
        HWND frame = installer.frame;
        EXPECT_EQ(c.warning, ui::ControlText(frame, IDC_WARNING_TEXT));
        EXPECT_TRUE(ui::IsVisible(ui::Control(frame, IDC_NOTES_LABEL)));
        EXPECT_EQ("Special Instructions:", ui::ControlText(frame, IDC_NOTES_LABEL));
        EXPECT_FALSE(ui::IsEnabled(GetDlgItem(frame, IDC_CONTINUE)));
        ui::Click(GetDlgItem(frame, IDC_CANCEL));
        EXPECT_EQ(1u, ui::WaitForExit(installer));
        ui::Kill(installer);
        delete held;
    }
}

}  // namespace
