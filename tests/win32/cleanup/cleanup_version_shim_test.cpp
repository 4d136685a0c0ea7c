// wine-versions: winxp
// The "Windows 98 / Me" compatibility mode of XP to 10, as the seam plays
// it: GetVersionExA reports 4.10, not the NT platform, while ntdll's
// RtlGetVersion tells the truth (Wine's own version setting changes both,
// so it cannot stand for the mode). The installer still installs XP's
// programs, and the uninstaller schedules a file in use for the restart in
// the session manager's list (MoveFileExA), not in WININIT.INI, which NT
// never reads.
#include <gtest/gtest.h>

#include "cleanup_walk.h"

TEST(CleanupVersionShim, ANinetyEightModeOnNtKeepsXpsProgramsAndTheSessionManagersList)
{
    char scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, scratch);
    const std::string log = std::string(scratch) + "novla-shim.log";
    DeleteFileA(log.c_str());
    const ui::Environment shim = {"NOVLA_FAULT=GetVersionExA:win98", "NOVLA_FAULT_PERSIST=1", "NOVLA_FAULT_LOG=" + log};
    install::Options options;
    options.build = ui::Build::Faults;
    options.environment = shim;
    cleanup::Install(options);
    ASSERT_NE(std::string::npos, install::ReadAll(log).find(" GetVersionExA:win98\n")) << "the seam was not asked";
    for (int row : install::RowsOfThisGeneration())
        EXPECT_TRUE(install::ReadAll(install::TargetOf(row, install::kDefaultFolder)) == install::ProductFile(row))
            << "row " << row;

    DeleteFileA(log.c_str());
    const std::string held = std::string(install::kDefaultFolder) + "\\Catalyne.chm";
    ui::FileHolder holder;
    ASSERT_TRUE(ui::HoldFile(holder, held));
    cleanup::Removal removal = cleanup::Uninstall(IDYES, shim, ui::EnvPath("NOVLA_CLEANUP_FAULTS"));
    ui::ReleaseFile(holder);
    EXPECT_EQ(0u, removal.exitCode);
    ASSERT_NE(std::string::npos, install::ReadAll(log).find(" GetVersionExA:win98\n")) << "the seam was not asked";
    // The folders that hold it follow it at the restart, as on NT they can.
    std::vector<std::string> pending = {cleanup::Pending(held), cleanup::Pending(install::kDefaultFolder),
                                        cleanup::Pending("C:\\Program Files\\Novla")};
    std::sort(pending.begin(), pending.end());
    EXPECT_EQ(pending, cleanup::PendingRemovals());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((cleanup::Windows() + "\\WININIT.INI").c_str()));
}
