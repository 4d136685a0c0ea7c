// wine-versions: win98 winxp
// One installer or uninstaller at a time: a second installer started while
// one runs brings the running one forward (or, where it has no frame, says
// so in one box) and ends with 1 having read and written nothing; an
// uninstaller started while either runs changes nothing and ends with 3.
#include <gtest/gtest.h>

#include <string>

#include "tests/win32/install/install_walk.h"
#include "resources/resource_ids.h"
#include "ui_driver.h"

namespace {

BOOL CALLBACK CountFrame(HWND window, LPARAM count)
{
    if (ui::ClassName(window) == "SetupDlg")
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int FrameCount()
{
    int count = 0;
    EnumWindows(CountFrame, reinterpret_cast<LPARAM>(&count));
    return count;
}

// The guarded calls a fault-seam build made, one "N NAME" line each, and
// the texts it showed ("- ..." lines).
std::string CallLog(const std::string& path) { return install::ReadAll(path); }

const char kAlreadyRunning[] = "Setup or the removal of NOVLA Tessaronix is already running: start Setup again "
                               "once it has ended.";

TEST(SingleRun, ASecondInstallerBringsTheFirstForwardAndEndsHavingDoneNothing)
{
    // Caught: a second copy probed, emptied and wrote beside the first.
    ui::Installer first;
    install::Options options;
    ASSERT_TRUE(ui::Start(first) && install::WaitForControl(first, IDC_BANNER_LINES));
    ui::Click(ui::Control(first.frame, IDC_CONTINUE));
    ASSERT_TRUE(install::WaitForControl(first, IDC_ACCEPT));  // the licence page

    const std::string log = "C:\\second-installer.log";
    ui::Installer second;
    ASSERT_TRUE(ui::Launch(second, ui::Build::Faults, {"NOVLA_FAULT_LOG=" + log}));
    EXPECT_EQ(1u, ui::WaitForExit(second));
    ui::Kill(second);
    EXPECT_EQ(1, FrameCount());
    // Nothing read or written: no registry, file or folder call at all.
    const std::string calls = CallLog(log);
    for (const char* name : {"Reg", "File", "Directory", "MessageBoxA"})
        EXPECT_EQ(std::string::npos, calls.find(name)) << calls;

    // The first goes on and installs.
    ui::Click(ui::Control(first.frame, IDC_ACCEPT));
    ui::Click(ui::Control(first.frame, IDC_CONTINUE));
    ASSERT_TRUE(install::WaitForControl(first, IDC_DEST_FOLDER));
    ASSERT_TRUE(install::BeginInstall(first, options));
    install::Watch watch = install::WatchProgress(first);
    EXPECT_TRUE(watch.finished);
    EXPECT_TRUE(watch.boxes.empty());
    EXPECT_EQ(1u, install::Close(first));
    ui::Kill(first);
    EXPECT_TRUE(install::ProductFile(install::ModernGeneration() ? 3 : 2) ==
                install::ReadAll(std::string(install::kDefaultFolder) + "\\Tessaronix.exe"));
}

TEST(SingleRun, NoRemovalWhileTheInstallerRunsNorAnInstallerWhileOneRemoves)
{
    // The uninstaller while the installer shows its welcome page: one box,
    // nothing removed.
    ui::Installer installer;
    ASSERT_TRUE(ui::Start(installer) && install::WaitForControl(installer, IDC_BANNER_LINES));
    ui::Installer removal;
    ASSERT_TRUE(ui::LaunchProgram(removal, ui::EnvPath("NOVLA_CLEANUP_FAULTS")));
    ui::MessageBox box;
    ASSERT_TRUE(ui::WaitForMessageBox(removal, box));
    EXPECT_EQ("Setup or the removal of NOVLA Tessaronix is already running. Nothing was removed.\r\n\r\nRemove NOVLA "
              "Tessaronix again once it has ended.",
              box.text);
    ui::AnswerMessageBox(box);
    EXPECT_EQ(3u, ui::WaitForExit(removal));
    ui::Kill(removal);
    ui::Click(ui::Control(installer.frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);

    // An uninstaller that runs (its first box waits: the question, or that
    // nothing is installed) keeps out an installer, which says so in one
    // box, and a second uninstaller.
    ASSERT_TRUE(ui::LaunchProgram(removal, ui::EnvPath("NOVLA_CLEANUP_FAULTS")));
    ASSERT_TRUE(ui::WaitForMessageBox(removal, box));
    const bool asked = box.text == "Do you want to remove NOVLA Tessaronix from this computer?";
    ui::Installer second;
    ASSERT_TRUE(ui::Launch(second, ui::Build::Faults, {}));
    ui::MessageBox refused;
    ASSERT_TRUE(ui::WaitForMessageBox(second, refused));
    EXPECT_EQ(kAlreadyRunning, refused.text);
    ui::AnswerMessageBox(refused);
    EXPECT_EQ(1u, ui::WaitForExit(second));
    ui::Kill(second);
    EXPECT_EQ(0, FrameCount());
    ui::Installer another;
    ASSERT_TRUE(ui::LaunchProgram(another, ui::EnvPath("NOVLA_CLEANUP_FAULTS")));
    ASSERT_TRUE(ui::WaitForMessageBox(another, refused));
    EXPECT_EQ(0u, refused.text.find("Setup or the removal of NOVLA Tessaronix is already running."));
    ui::AnswerMessageBox(refused);
    EXPECT_EQ(3u, ui::WaitForExit(another));
    ui::Kill(another);
    ui::AnswerMessageBox(box, asked ? IDNO : IDOK);
    EXPECT_EQ(asked ? 1u : 2u, ui::WaitForExit(removal));
    ui::Kill(removal);
}

}  // namespace
