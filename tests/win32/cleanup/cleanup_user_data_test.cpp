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

TEST(CleanupUserData, TwoInstallationsOneRemovalKeepsOnlyWhatTheUserAdded)
{
    const std::string projects = "C:\\Data\\Tessaronix Projects", program = install::kDefaultFolder;
    CreateDirectoryA("C:\\Data", nullptr);
    CreateDirectoryA(projects.c_str(), nullptr);
    install::WriteFileText(projects + "\\plan.txt", "the user's plan");
    CreateDirectoryA("C:\\Outside", nullptr);
    install::WriteFileText("C:\\Outside\\keep.txt", "outside data");
    // No find verbs this time: the installation makes the Drive and
    // Directory classes, and the removal takes them away again.
    cleanup::Snapshot before = cleanup::Take();
    cleanup::Install(install::Options{});
    install::WriteFileText(program + "\\notes.txt", "the user's notes");
    bool linked = host::MakeSymlink("C:\\Outside", program + "\\linked");
    install::Options second;
    second.folder = projects;
    cleanup::Snapshot installed = cleanup::Install(second);

    // Held open: a file of the second program folder, and a link of the
    // program group, whose two folders the installation made.
    const std::string group = expect::SpecialFolder(cleanup::NtFamily() ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) +
                              "\\NOVLA", link = group + "\\Tessaronix\\Tessaronix.lnk";
    ui::FileHolder holder, linkHolder;
    ASSERT_TRUE(ui::HoldFile(holder, projects + "\\Catalyne.chm") && ui::HoldFile(linkHolder, link));
    cleanup::Removal declined = cleanup::Uninstall(IDNO);
    EXPECT_EQ(std::vector<std::string>{cleanup::kQuestion}, declined.boxes);
    EXPECT_EQ(1u, declined.exitCode);
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(installed, cleanup::Take()));

    cleanup::Removal removal = cleanup::Uninstall();
    EXPECT_EQ((std::vector<std::string>{cleanup::kQuestion,
                                        std::string(cleanup::kRemoved) + "\r\n\r\nThe folder " + program +
                                            " was kept: it holds files that were not installed by NOVLA Tessaronix."
                                            "\r\n\r\nSome files are in use: restart the computer to complete the "
                                            "removal."}),
              removal.boxes);
    EXPECT_EQ(0u, removal.exitCode);
    // The group's folders follow their link at the restart on NT; Windows
    // 9x removes only files then, and keeps them, empty.
    std::vector<std::string> pending = {cleanup::Pending(projects + "\\Catalyne.chm"), cleanup::Pending(link),
                                        cleanup::Pending(cleanup::Self())};
    if (cleanup::NtFamily())
        pending.insert(pending.end(), {cleanup::Pending(group), cleanup::Pending(group + "\\Tessaronix")});
    std::sort(pending.begin(), pending.end());
    EXPECT_EQ(pending, cleanup::PendingRemovals());
    ui::ReleaseFile(holder);
    ui::ReleaseFile(linkHolder);

    std::vector<std::string> kept = {"+ D C:\\Program Files\\Novla", "+ D " + program, "+ F " + program + "\\notes.txt"};
    if (linked)
        kept.push_back("+ R " + program + "\\linked");
    std::vector<std::string> waiting = kept, group9x = {"+ D " + group, "+ D " + group + "\\Tessaronix"};
    waiting.insert(waiting.end(), {"+ F " + projects + "\\Catalyne.chm", "+ F " + link, group9x[0], group9x[1]});
    std::sort(waiting.begin(), waiting.end());
    EXPECT_EQ(waiting, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
    if (!cleanup::NtFamily())
        kept.insert(kept.end(), group9x.begin(), group9x.end());
    std::sort(kept.begin(), kept.end());
    cleanup::Restart();
    EXPECT_EQ(kept, cleanup::Differences(before, cleanup::Take(), cleanup::Restarted()));
    EXPECT_EQ("outside data", install::ReadAll("C:\\Outside\\keep.txt"));
}
