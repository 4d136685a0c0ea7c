// wine-versions: winxp
// The folders both programs' rule accepts (tests/host/wizard/typed_folders.h),
// typed into the real installer: each installs into the folder committed
// for it, and the real uninstaller then removes it to nothing. Typed with
// "..", a trailing dot or a doubled backslash, the installation used to
// land where Windows put it while the uninstaller refused the recorded
// folder, said "removed" and left every file. The text of code page 932 is
// installed and removed in that code page by code_page_test; the rule's
// refusals are the host's, shown on the page in destination_test.
#include <gtest/gtest.h>

#include "tests/host/wizard/typed_folders.h"
#include "tests/win32/cleanup/cleanup_walk.h"

TEST(CleanupFolder, EveryAcceptedFolderIsRemovedToNothing)
{
    for (const typed::Folder& f : typed::kFolders) {
        if (f.verdict != FOLDER_ACCEPTED || f.shiftJis)
            continue;
        SCOPED_TRACE(f.typed);
        cleanup::Snapshot before = cleanup::Take();
        install::Options options;
        options.folder = f.typed;
        cleanup::Install(options);
        std::string program = f.committed;
        if (program.back() != '\\')
            program += "\\";
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((program + "Tessaronix.exe").c_str()));
        cleanup::Removal removal = cleanup::Uninstall();
        EXPECT_EQ((std::vector<std::string>{cleanup::kQuestion, cleanup::kRemoved}), removal.boxes);
        EXPECT_EQ(0u, removal.exitCode);
        EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
        // The uninstaller goes at the restart: the next row starts clean.
        cleanup::Restart();
        EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, cleanup::Take(), cleanup::Restarted()));
    }
}
