// wine-versions: win7
// The wizard on screens of 120 and 144 DPI (the prefix's LogPixels), as the
// manifest's dpiAware entry lets Vista and later show it unscaled: every
// page, and every control of the frame and of the page, lies inside the
// frame's client area, the page over the frame's page area. The welcome
// page at 144 DPI is the README's screenshot.
#include <gtest/gtest.h>

#include <string>

#include "wizard_walk.h"

namespace {

// Sets the screen's DPI for the programs started from now on.
void SetLogPixels(DWORD dpi)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                                             nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE*)&dpi, sizeof dpi));
    RegCloseKey(key);
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Every visible control below parent lies inside area (screen coordinates).
void ExpectControlsInside(HWND parent, const RECT& area)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT r = ui::ScreenRect(child);
        EXPECT_TRUE(Inside(r, area)) << "control " << GetDlgCtrlID(child) << " (" << ui::ClassName(child) << " \""
                                     << ui::Text(child) << "\") at " << r.left << "," << r.top << "-" << r.right
                                     << "," << r.bottom << " outside " << area.left << "," << area.top << "-"
                                     << area.right << "," << area.bottom;
    }
}

TEST(DpiLayout, EveryPageLiesInsideTheFrameAt120And144Dpi)
{
    for (DWORD dpi : {120u, 144u}) {
        SCOPED_TRACE(dpi);
        SetLogPixels(dpi);
        ui::Installer installer;
        ASSERT_TRUE(walk::StartAt(installer, 1));
        HWND frame = installer.frame;
        // The installer sees the screen's DPI: its 8-point dialog font, and
        // with it the frame (333 dialog units wide, about 500 pixels at 96
        // DPI), grows in proportion.
        RECT client;
        GetClientRect(frame, &client);
        EXPECT_GT(client.right, (LONG)(470 * dpi / 96));
        MapWindowPoints(frame, nullptr, (POINT*)&client, 2);
        std::string screens = ui::EnvPath("NOVLA_SCREENS");
        for (int state = 1; state <= 5; ++state) {
            SCOPED_TRACE(state);
            ASSERT_EQ(state, walk::PageShown(frame));
            EXPECT_TRUE(walk::PageOverArea(frame));
            RECT page = ui::ScreenRect(ui::CurrentPage(frame));
            EXPECT_TRUE(Inside(page, client));
            ExpectControlsInside(frame, client);
            ExpectControlsInside(ui::CurrentPage(frame), page);
            if (state == 1 && dpi == 144 && !screens.empty())
                ui::SaveWindow(frame, screens + "\\welcome-144dpi.bmp");
            if (state < 5)
                ASSERT_TRUE(walk::Forward(installer));
        }
        ui::Click(ui::Control(frame, IDC_CONTINUE));
        ui::WaitForExit(installer);
        ui::Kill(installer);
    }
}

}  // namespace
