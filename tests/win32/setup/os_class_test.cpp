// wine-versions: win98 win2k winxp win2003 vista win7 win10
// The Windows-generation probe under each Windows version, and the rows and
// space that follow from it.
#include <gtest/gtest.h>

#include <string>

#include "common/win32.h"
#include "payload/os_class.h"
#include "payload/table_rules.h"
#include "ui_driver.h"

TEST(GetOsClass, MatchesThePrefixWindowsVersion)
{
    std::string version = ui::EnvPath("NOVLA_WINE_VERSION");
    int expected = version == "win98" ? 0 : version == "win2k" ? 1 : version == "winxp" || version == "win2003" ? 2 : 3;
    OsClass osClass = 99;
    EXPECT_TRUE(GetOsClass(&osClass));
    EXPECT_EQ(expected, osClass) << version;
    EXPECT_EQ(RequiredSpaceFor(&g_payloadTable, expected >= 2 ? OS_MODERN : OS_LEGACY),
              RequiredSpaceFor(&g_payloadTable, VariantMaskFor(osClass)));
}

// The "Windows 98 / Me" compatibility mode (the seam's GetVersionExA:win98,
// which shims that call only) leaves the class the system's own: the
// programs installed run without the mode.
TEST(GetOsClass, IsTheSystemsOwnUnderANinetyEightCompatibilityMode)
{
    std::string version = ui::EnvPath("NOVLA_WINE_VERSION");
    int expected = version == "win98" ? 0 : version == "win2k" ? 1 : version == "winxp" || version == "win2003" ? 2 : 3;
    FaultSelect("GetVersionExA:win98", 1, true);
    OsClass osClass = 99;
    EXPECT_TRUE(GetOsClass(&osClass));
    EXPECT_TRUE(FaultFired());
    EXPECT_EQ(expected, osClass) << version;
    FaultSelect(nullptr, 0, false);
}
