// wine-versions: win7
// The installer process: it starts, registers its frame class, shows the
// frame and ends with exit code 1.
#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "ui_driver.h"

TEST(Startup, FrameOpensFromItsClassAndCancelEndsWithOne)
{
    ui::Installer installer;
    ASSERT_TRUE(ui::Start(installer));
    EXPECT_EQ("SetupDlg", ui::ClassName(installer.frame));
    EXPECT_EQ("NOVLA Tessaronix", ui::Text(installer.frame));
    ui::Click(ui::Control(installer.frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
}
