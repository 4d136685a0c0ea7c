// wine-versions: win98 win2k winxp vista win7
// The real installer, then the real uninstaller started the way the
// system's list of programs starts it (Wine's uninstaller reading our
// entry): the prefix is as before the installation, the "find" verbs it
// found on folders and drives are back, only the uninstaller itself waits
// for the restart, and after the restart nothing is left at all. A second
// removal finds nothing to remove.
#include <gtest/gtest.h>

#include "cleanup_walk.h"

TEST(CleanupRoundTrip, LeavesThePrefixAsBeforeTheInstallation)
{
    cleanup::GiveWindowsFindVerbs();
    cleanup::Snapshot before = cleanup::Take();
    cleanup::Install(install::Options{});
    ASSERT_NE(std::string::npos, install::UninstallerList().find("|||Tessaronix"));
    // A read-only file goes like the others.
    SetFileAttributesA((std::string(install::kDefaultFolder) + "\\Ordering.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    cleanup::Removal removal =
        cleanup::Uninstall(IDYES, {}, install::SystemFolder() + "\\uninstaller.exe", "--remove Tessaronix");
    EXPECT_EQ((std::vector<std::string>{cleanup::kQuestion, cleanup::kRemoved}), removal.boxes);
    EXPECT_EQ((std::vector<UINT>{MB_ICONQUESTION, MB_ICONINFORMATION}), removal.icons);
    cleanup::Snapshot after = cleanup::Take();
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, after, cleanup::Waiting()));
    EXPECT_EQ(std::vector<std::string>{cleanup::Pending(cleanup::Self())}, cleanup::PendingRemovals());
    EXPECT_EQ(std::string::npos, install::UninstallerList().find("Tessaronix"));

    cleanup::Removal again = cleanup::Uninstall();
    EXPECT_EQ(std::vector<std::string>{cleanup::kNothing}, again.boxes);
    EXPECT_EQ(2u, again.exitCode);
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(after, cleanup::Take()));

    cleanup::Restart();
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, cleanup::Take(), cleanup::Restarted()));
}
