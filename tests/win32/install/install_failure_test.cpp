// wine-versions: win98 winxp
// Installations that cannot finish: a target file that cannot be created, a
// resource that is missing, a full disk, COM that cannot start. Each shows
// the right boxes in the right order after writing some of the files, then
// undoes itself: the prefix is as it was before the installer started.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_calls.h"
#include "install_walk.h"
#include "tests/win32/cleanup/cleanup_walk.h"

namespace {

using install::kDefaultFolder;
using Texts = std::vector<std::string>;

const char* const kErrorText = "Unable to create destination file!\r\nInstallation will now be aborted.";
const char* const kAbortText =
    "Installation Aborted!\r\n\r\nNOVLA Tessaronix could not be installed at this time.\r\n"
    "Please restart your computer before running setup again.";

// Waits for a box, checks it, answers it and waits until it is gone.
void ExpectBox(const ui::Installer& installer, const char* text, UINT icon)
{
    ui::MessageBox box;
    ASSERT_TRUE(ui::WaitForMessageBox(installer, box, "NOVLA Setup", 30000)) << text;
    EXPECT_EQ("NOVLA Setup", box.title);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(icon, box.icon) << text;
    ui::AnswerMessageBox(box);
    ASSERT_TRUE(ui::WaitUntil([&] { return !IsWindow(box.window); }));
}

// Runs an installation that must abort after beginning filesBegun files:
// the error box for a file that cannot be written (when withError), the
// abort box, exit code 1, and nothing left of the run.
void RunAbortingInstallation(const install::Options& options, size_t filesBegun, bool withError = true)
{
    cleanup::Snapshot before = cleanup::Take();
    ui::Installer installer;
    ASSERT_TRUE(install::ToDestination(installer, options));
    ASSERT_TRUE(install::BeginInstall(installer, options));
    install::Watch watch = install::WatchProgress(installer, 60000, true);
    ASSERT_TRUE(watch.boxOpen);
    size_t begun = 0;
    for (const std::string& label : watch.fileLabels)
        begun += label != "Success";
    EXPECT_EQ(filesBegun, begun);
    if (withError) {
        ExpectBox(installer, kErrorText, MB_ICONERROR);
        // The label is emptied after the failure; the page is still up.
        EXPECT_EQ("", ui::ControlText(installer.frame, IDC_FILE_LABEL));
    }
    ExpectBox(installer, kAbortText, MB_ICONWARNING);
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
    EXPECT_EQ(Texts{}, cleanup::Differences(before, cleanup::Take()));
}

TEST(InstallFailure, AFolderStandingAtATargetPathAborts)
{
    // Catalyne.chm (row 7) is the fifth file on either generation.
    CreateDirectoryA("C:\\Program Files\\Novla", nullptr);
    CreateDirectoryA(kDefaultFolder, nullptr);
    std::string blocker = std::string(kDefaultFolder) + "\\Catalyne.chm";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    RunAbortingInstallation(install::Options{}, 5);
    RemoveDirectoryA(blocker.c_str());
}

TEST(InstallFailure, AFailedWriteAbortsMidFile)
{
    // The 110th write falls into the second file (Tessaronix.exe) on both
    // generations: before it come the installation record's header and its
    // lines (the run, its code page, two folders, each file), and the first
    // file's 72 (legacy) or 98 (modern) blocks.
    install::Options options;
    options.build = ui::Build::Faults;
    options.environment = {"NOVLA_FAULT=WriteFile#110"};
    RunAbortingInstallation(options, 2);
}

TEST(InstallFailure, ComThatCannotStartShowsOnlyTheAbortBoxAndAMissingOrShortResourceAborts)
{
    char scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, scratch);
    std::string log = std::string(scratch) + "novla-faults.log";
    DeleteFileA(log.c_str());
    // Every file was written; then the shortcut step cannot start.
    install::Options options;
    options.build = ui::Build::Faults;
    options.environment = {"NOVLA_FAULT=CoInitialize", "NOVLA_FAULT_LOG=" + log};
    RunAbortingInstallation(options, 10, false);
    // The extraction's resource look-ups are the last ten of that run: make
    // the third of them (Tessaronix.chm, row 4) find nothing.
    std::string calls = install::ReadAll(log);
    auto count = [&](const char* name) {
        int n = 0;
        for (size_t at = calls.find(name); at != std::string::npos; at = calls.find(name, at + 1))
            ++n;
        return n;
    };
    int lookups = count(" FindResourceA"), sizes = count(" SizeofResource");
    ASSERT_GE(lookups, 10);
    ASSERT_GE(sizes, 10);
    options.environment = {"NOVLA_FAULT=FindResourceA#" + std::to_string(lookups - 10 + 3)};
    RunAbortingInstallation(options, 3);
    // A resource shorter than its row (the sixth file's): nothing reads
    // beyond it, the run aborts the same way.
    options.environment = {"NOVLA_FAULT=SizeofResource#" + std::to_string(sizes - 10 + 6)};
    RunAbortingInstallation(options, 6);
}

// A real full disk: a small tmpfs mapped into the prefix as drive E:.
TEST(InstallFailure, AFullDiskAborts)
{
    // 320 KB: the main program (376 or 448 KB) cannot be written whole.
    host::SmallDrive drive("320k");
    if (!drive.Ready())
        GTEST_SKIP() << "no small drive: mounting a tmpfs was refused here";
    install::Options options;
    options.folder = "E:\\Tessaronix";
    RunAbortingInstallation(options, 2);
    // The program folder the run made on that drive is gone too.
    EXPECT_FALSE(expect::FileExists(options.folder));
}

}  // namespace
