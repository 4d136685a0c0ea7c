// wine-versions: win98 winxp
// Installations that cannot finish: a target file that cannot be created, a
// resource that is missing, a full disk, COM that cannot start. Each shows
// the right boxes in the right order after writing some of the files, then
// undoes itself: the prefix is as it was before the installer started. Over
// a whole installation, the earlier one is then there byte for byte.
#include <gtest/gtest.h>

#include <map>
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
void RunAbortingInstallation(const install::Options& options, size_t filesBegun, bool withError = true,
                             const std::vector<std::string>& rewritten = {})
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
    EXPECT_EQ(Texts{}, cleanup::Differences(before, cleanup::Take(), rewritten));
}

// The bytes of every file the snapshot after has and before has not.
std::map<std::string, std::string> AddedFiles(const cleanup::Snapshot& before, const cleanup::Snapshot& after)
{
    std::map<std::string, std::string> files;
    for (const auto& item : after)
        if (item.first.compare(0, 2, "F ") == 0 && before.count(item.first) == 0)
            files[item.first] = install::ReadAll(item.first.substr(2));
    return files;
}

// A reinstallation over a whole installation, with a file of the user's own
// in the program folder, that aborts as RunAbortingInstallation says.
// Regression: the emptying of the program folder deleted the earlier
// installation and the user's file before anything was written, and the
// Windows folder's uninstaller was overwritten in place: an abort left the
// product neither usable nor removable. Now every file of the earlier
// installation is back byte for byte, the user's file too, the record line
// for line, and the uninstaller then removes the product.
void RunAbortingReinstallation(const std::string& folder, const install::Options& again, size_t filesBegun,
                               bool withError = true)
{
    cleanup::Snapshot before = cleanup::Take();
    install::Options first;
    first.folder = folder;
    cleanup::Install(first);
    const std::string program = folder.empty() ? kDefaultFolder : folder, notes = program + "\\notes.txt";
    install::WriteFileText(notes, "the user's notes");
    // A program folder on another drive is looked at too.
    auto take = [&] {
        cleanup::Snapshot shot = cleanup::Take();
        WIN32_FIND_DATAA found = {};
        found.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        if (!folder.empty())
            cleanup::AddFound(shot, folder, found);
        return shot;
    };
    cleanup::Snapshot installed = take();
    std::map<std::string, std::string> files = AddedFiles(before, installed);
    const std::string record = install::ReadAll(cleanup::RecordPath());
    RunAbortingInstallation(again, filesBegun, withError, {"F " + cleanup::RecordPath()});
    EXPECT_EQ(record, install::ReadAll(cleanup::RecordPath()));
    EXPECT_TRUE(files == AddedFiles(before, take())) << "a file of the earlier installation differs";
    EXPECT_EQ("the user's notes", install::ReadAll(notes));
    EXPECT_FALSE(expect::FileExists(program + ".previous"));
    cleanup::Removal removal = cleanup::Uninstall();
    EXPECT_EQ(0u, removal.exitCode);
    Texts kept;
    if (folder.empty())
        kept = {"+ D C:\\Program Files\\Novla", "+ D " + program, "+ F " + notes};
    EXPECT_EQ(kept, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
    // The next case starts from a machine without the product.
    DeleteFileA(notes.c_str());
    RemoveDirectoryA(program.c_str());
    RemoveDirectoryA("C:\\Program Files\\Novla");
    cleanup::Restart();
}

TEST(InstallFailure, AReinstallationThatFailsEarlyMidFilesOrLateGivesBackTheEarlierOne)
{
    // The first file's first block, a block of the second file; then every
    // file written and the shortcut step that cannot start, whose log tells
    // how many writes come before the last file (the System folder's shell
    // extension, the last row to look up its resource): its line, its M
    // line, then its fifth block fails.
    char scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, scratch);
    const std::string log = std::string(scratch) + "novla-reinstall.log";
    DeleteFileA(log.c_str());
    const struct {
        std::string fault;
        size_t filesBegun;
    } cases[] = {{"WriteFile#5", 1}, {"WriteFile#110", 2}, {"CoInitialize", 10}, {"", 10}};
    std::string late;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.empty() ? late : c.fault);
        install::Options again;
        again.build = ui::Build::Faults;
        again.environment = {"NOVLA_FAULT=" + (c.fault.empty() ? late : c.fault)};
        bool shortcuts = c.fault == "CoInitialize";
        if (shortcuts)
            again.environment.push_back("NOVLA_FAULT_LOG=" + log);
        RunAbortingReinstallation("", again, c.filesBegun, !shortcuts);
        if (shortcuts) {
            std::string calls = install::ReadAll(log);
            size_t last = calls.rfind(" SizeofResource\n");
            ASSERT_NE(std::string::npos, last);
            int writes = 0;
            for (size_t at = calls.find(" WriteFile\n"); at < last; at = calls.find(" WriteFile\n", at + 1))
                ++writes;
            late = "WriteFile#" + std::to_string(writes + 2 + 5);
        }
    }
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

// A whole installation fits the drive, a second beside it does not: the
// earlier one stays set aside while the new files are written.
TEST(InstallFailure, AReinstallationOnAFullDiskGivesBackTheEarlierOne)
{
    host::SmallDrive drive("1200k");
    if (!drive.Ready())
        GTEST_SKIP() << "no small drive: mounting a tmpfs was refused here";
    install::Options again;
    again.folder = "E:\\Tessaronix";
    RunAbortingReinstallation(again.folder, again, 2);
}

}  // namespace
