// wine-versions: win98 winxp
// Two installations, the second into a folder of the user's that already
// holds files, then one removal while a product file is in use: after the
// restart the prefix is as before the first installation, but for what the
// user added to the first program folder (a file, and a link to data
// outside, which is not followed), kept with that folder. No at the
// question changes nothing.
#include <gtest/gtest.h>

#include "cleanup_walk.h"
#include "tests/win32/install/host_calls.h"

namespace {

const std::string kProjects = "C:\\Data\\Tessaronix Projects";

std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

TEST(CleanupUserData, TwoInstallationsOneRemovalKeepsOnlyWhatTheUserAdded)
{
    CreateDirectoryA("C:\\Data", nullptr);
    CreateDirectoryA(kProjects.c_str(), nullptr);
    install::WriteFileText(kProjects + "\\plan.txt", "the user's plan");
    CreateDirectoryA("C:\\Outside", nullptr);
    install::WriteFileText("C:\\Outside\\keep.txt", "outside data");
    cleanup::GiveWindowsFindVerbs();
    cleanup::Snapshot before = cleanup::Take();
    cleanup::InstallRecorded(install::Options{}, before);

    const std::string program = install::kDefaultFolder;
    install::WriteFileText(program + "\\notes.txt", "the user's notes");
    bool linked = host::MakeSymlink("C:\\Outside", program + "\\linked");
    install::Options second;
    second.folder = kProjects;
    cleanup::Snapshot installed = cleanup::InstallRecorded(second, cleanup::Take());

    ui::FileHolder holder;
    ASSERT_TRUE(ui::HoldFile(holder, kProjects + "\\Catalyne.chm"));
    cleanup::Removal declined = cleanup::Uninstall(cleanup::InstalledUninstaller(), IDNO);
    EXPECT_EQ(std::vector<std::string>{cleanup::kQuestion}, declined.boxes);
    EXPECT_EQ(1u, declined.exitCode);
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(installed, cleanup::Take()));

    cleanup::Removal removal = cleanup::Uninstall(cleanup::InstalledUninstaller());
    ASSERT_EQ(2u, removal.boxes.size());
    EXPECT_EQ("NOVLA Tessaronix was removed from this computer.\r\n\r\n"
              "The folder " + program + " was kept: it holds files that were not installed by NOVLA Tessaronix."
              "\r\n\r\nSome files are in use: restart the computer to complete the removal.",
              removal.boxes[1]);
    EXPECT_EQ(0u, removal.exitCode);
    EXPECT_EQ(Sorted({cleanup::Pending(kProjects + "\\Catalyne.chm"), cleanup::Pending(cleanup::InstalledUninstaller())}),
              Sorted(cleanup::PendingRemovals()));
    ui::ReleaseFile(holder);

    std::vector<std::string> kept = {"+ D C:\\Program Files\\Novla", "+ D " + program, "+ F " + program + "\\notes.txt"};
    if (linked)
        kept.push_back("+ R " + program + "\\linked");
    const std::string self = "F " + cleanup::InstalledUninstaller(), list = "F " + cleanup::Windows() + "\\WININIT.INI";
    std::vector<std::string> pending = kept;
    pending.push_back("+ F " + kProjects + "\\Catalyne.chm");
    EXPECT_EQ(Sorted(pending), Sorted(cleanup::Differences(before, cleanup::Take(), {self, list})));
    cleanup::Restart();
    EXPECT_EQ(Sorted(kept),
              Sorted(cleanup::Differences(before, cleanup::Take(), {"F " + cleanup::Windows() + "\\WININIT.BAK"})));
    EXPECT_EQ("outside data", install::ReadAll("C:\\Outside\\keep.txt"));
}

}  // namespace
