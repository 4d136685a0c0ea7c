// wine-versions: win98 winxp
// Two installations, the second into a folder of the user's that already
// holds files, then one removal while two product files are in use: after
// the restart the prefix is as before the first installation, but for what
// the user added to the first program folder (a file, and a link to data
// outside, which is not followed), kept with that folder, and on Windows 9x
// the program group's folders, emptied. No at the question changes nothing.
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

    // Held open: a file of the second program folder, and a link of the
    // program group, whose two folders the installation made.
    const std::string group = expect::SpecialFolder(cleanup::NtFamily() ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) +
                              "\\NOVLA", link = group + "\\Tessaronix\\Tessaronix.lnk";
    ui::FileHolder holder, linkHolder;
    ASSERT_TRUE(ui::HoldFile(holder, kProjects + "\\Catalyne.chm"));
    ASSERT_TRUE(ui::HoldFile(linkHolder, link));
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
    // The group's folders follow their link at the restart on NT; Windows
    // 9x removes only files then, and keeps them, empty.
    std::vector<std::string> pending = {cleanup::Pending(kProjects + "\\Catalyne.chm"), cleanup::Pending(link),
                                        cleanup::Pending(cleanup::InstalledUninstaller())};
    if (cleanup::NtFamily())
        pending.insert(pending.end(), {cleanup::Pending(group), cleanup::Pending(group + "\\Tessaronix")});
    EXPECT_EQ(Sorted(pending), Sorted(cleanup::PendingRemovals()));
    ui::ReleaseFile(holder);
    ui::ReleaseFile(linkHolder);

    std::vector<std::string> kept = {"+ D C:\\Program Files\\Novla", "+ D " + program, "+ F " + program + "\\notes.txt"};
    if (linked)
        kept.push_back("+ R " + program + "\\linked");
    const std::string self = "F " + cleanup::InstalledUninstaller(), list = "F " + cleanup::Windows() + "\\WININIT.INI";
    std::vector<std::string> waiting = kept, groupFolders = {"+ D " + group, "+ D " + group + "\\Tessaronix"};
    waiting.insert(waiting.end(), {"+ F " + kProjects + "\\Catalyne.chm", "+ F " + link});
    waiting.insert(waiting.end(), groupFolders.begin(), groupFolders.end());
    EXPECT_EQ(Sorted(waiting), Sorted(cleanup::Differences(before, cleanup::Take(), {self, list})));
    if (!cleanup::NtFamily())
        kept.insert(kept.end(), groupFolders.begin(), groupFolders.end());
    cleanup::Restart();
    EXPECT_EQ(Sorted(kept),
              Sorted(cleanup::Differences(before, cleanup::Take(), {"F " + cleanup::Windows() + "\\WININIT.BAK"})));
    EXPECT_EQ("outside data", install::ReadAll("C:\\Outside\\keep.txt"));
}

}  // namespace
