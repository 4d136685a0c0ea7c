// wine-versions: winxp
// COM already joined on the installer's thread by another component (an
// input method, an accessibility tool, a shell extension), as the seam plays
// it: in a single-threaded apartment, where CoInitialize gives S_FALSE, and
// in a multithreaded one, where it gives RPC_E_CHANGED_MODE. COM is usable
// either way: the installation completes with every shortcut.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install_walk.h"

TEST(InstallCom, ComJoinedBeforeTheInstallerStillMakesEveryShortcut)
{
    for (const char* outcome : {"CoInitialize:S_FALSE", "CoInitialize:RPC_E_CHANGED_MODE"}) {
        SCOPED_TRACE(outcome);
        char scratch[MAX_PATH];
        GetTempPathA(MAX_PATH, scratch);
        std::string log = std::string(scratch) + "novla-com.log";
        DeleteFileA(log.c_str());
        install::Options options;
        options.build = ui::Build::Faults;
        options.environment = {std::string("NOVLA_FAULT=") + outcome, "NOVLA_FAULT_LOG=" + log};
        ui::Installer installer;
        ASSERT_TRUE(install::ToDestination(installer, options));
        ASSERT_TRUE(install::BeginInstall(installer, options));
        install::Watch watch = install::WatchProgress(installer);
        EXPECT_TRUE(watch.finished);
        EXPECT_EQ(std::vector<std::string>{}, watch.boxes);
        ASSERT_FALSE(watch.shortcutLabels.empty());
        EXPECT_EQ("Success", watch.shortcutLabels.back());
        EXPECT_EQ(1u, install::Close(installer));
        ui::Kill(installer);
        // The other component's join did happen before the installer's.
        EXPECT_NE(std::string::npos, install::ReadAll(log).find(std::string(" ") + outcome + "\n"));
    }
}
