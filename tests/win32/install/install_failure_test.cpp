// wine-versions: win98 winxp
// Installations that cannot finish: a target file that cannot be created, a
// resource that is missing, a full disk, COM that cannot start. Each shows
// the right boxes in the right order, keeps the rows written before, writes
// no shortcut and no registry value, and ends the wizard with exit code 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_calls.h"
#include "install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

using install::kDefaultFolder;

const char* const kErrorText = "Unable to create destination file!\r\nInstallation will now be aborted.";
const char* const kAbortText =
    "Installation Aborted!\r\n\r\nNOVLA Tessaronix could not be installed at this time.\r\n"
    "Please restart your computer before running setup again.";

bool NothingRegistered()
{
    return !expect::ReadValue(HKEY_LOCAL_MACHINE, "Software\\Novla\\Programs", "Tessaronix").found &&
           !expect::ReadValue(HKEY_LOCAL_MACHINE, EXPECT_UNINSTALL_KEY, "DisplayName").found &&
           !expect::ReadValue(HKEY_CLASSES_ROOT, ".n_tsx", nullptr).found;
}

// Empty when no link of the installer exists; else the first one found.
std::string AnyShortcut()
{
    std::vector<std::string> links;
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
        links.push_back(expect::SpecialFolder(csidl) + "\\NOVLA\\Tessaronix\\Tessaronix.lnk");
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
        links.push_back(expect::SpecialFolder(csidl) + "\\Tessaronix.lnk");
    for (const std::string& link : links)
        if (expect::FileExists(link))
            return link;
    return "";
}

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

// The rows of this generation, split at the index (in the row list) that
// fails: the ones before it written whole, that one and the rest absent.
void ExpectWrittenBefore(size_t failingIndex, const std::string& program)
{
    std::vector<int> rows = install::RowsOfThisGeneration();
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string path = install::TargetOf(rows[i], program);
        if (i < failingIndex)
            EXPECT_TRUE(install::ProductFile(rows[i]) == install::ReadAll(path)) << path;
        else
            EXPECT_FALSE(expect::FileExists(path)) << path;
    }
}

// Runs an installation that must fail in the extraction.
void RunFailingExtraction(const install::Options& options)
{
    ui::Installer installer;
    ASSERT_TRUE(install::ToDestination(installer, options));
    ASSERT_TRUE(install::BeginInstall(installer, options));
    ExpectBox(installer, kErrorText, MB_ICONERROR);
    // The label is emptied after the failure; the page is still up.
    EXPECT_EQ("", ui::ControlText(installer.frame, IDC_FILE_LABEL));
    ExpectBox(installer, kAbortText, MB_ICONWARNING);
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
    EXPECT_EQ("", AnyShortcut());
    EXPECT_TRUE(NothingRegistered());
}

void RemoveProductFiles()
{
    for (int row = 0; row < g_payloadTable.entryCount; ++row)
        DeleteFileA(install::TargetOf(row, kDefaultFolder).c_str());
}

// Each case starts without the files an earlier one wrote.
class InstallFailure : public ::testing::Test {
protected:
    void SetUp() override { RemoveProductFiles(); }
};

TEST_F(InstallFailure, AFolderStandingAtATargetPathAborts)
{
    // Catalyne.chm (row 7) is the fifth file on either generation.
    CreateDirectoryA("C:\\Program Files\\Novla", nullptr);
    CreateDirectoryA(kDefaultFolder, nullptr);
    std::string blocker = std::string(kDefaultFolder) + "\\Catalyne.chm";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    RunFailingExtraction(install::Options{});
    std::vector<int> rows = install::RowsOfThisGeneration();
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string path = install::TargetOf(rows[i], kDefaultFolder);
        if (i < 4)
            EXPECT_TRUE(install::ProductFile(rows[i]) == install::ReadAll(path)) << path;
        else if (i > 4)
            EXPECT_FALSE(expect::FileExists(path)) << path;
    }
    RemoveDirectoryA(blocker.c_str());
    RemoveProductFiles();
}

TEST_F(InstallFailure, AFailedWriteAbortsAndLeavesNoShortFile)
{
    // The 110th write falls into the second file (Tessaronix.exe) on both
    // generations: before it come the installation record's header and its
    // lines (the run, two folders, each file), and the first file's 72
    // (legacy) or 98 (modern) blocks.
    install::Options options;
    options.build = ui::Build::Faults;
    options.environment = {"NOVLA_FAULT=WriteFile#110"};
    RunFailingExtraction(options);
    ExpectWrittenBefore(1, kDefaultFolder);
    RemoveProductFiles();
}

TEST_F(InstallFailure, ComThatCannotStartShowsOnlyTheAbortBoxAndAMissingOrShortResourceAborts)
{
    char scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, scratch);
    std::string log = std::string(scratch) + "novla-faults.log";
    DeleteFileA(log.c_str());
    {
        install::Options options;
        options.build = ui::Build::Faults;
        options.environment = {"NOVLA_FAULT=CoInitialize", "NOVLA_FAULT_LOG=" + log};
        ui::Installer installer;
        ASSERT_TRUE(install::ToDestination(installer, options));
        ASSERT_TRUE(install::BeginInstall(installer, options));
        ExpectBox(installer, kAbortText, MB_ICONWARNING);
        EXPECT_EQ(1u, ui::WaitForExit(installer));
        ui::Kill(installer);
        // Every file was written; then nothing more.
        ExpectWrittenBefore(10, kDefaultFolder);
        EXPECT_EQ("", AnyShortcut());
        EXPECT_TRUE(NothingRegistered());
    }
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
    RemoveProductFiles();
    install::Options options;
    options.build = ui::Build::Faults;
    options.environment = {"NOVLA_FAULT=FindResourceA#" + std::to_string(lookups - 10 + 3)};
    RunFailingExtraction(options);
    ExpectWrittenBefore(2, kDefaultFolder);
    // A resource shorter than its row (the sixth file's): nothing reads
    // beyond it, the run aborts the same way.
    RemoveProductFiles();
    options.environment = {"NOVLA_FAULT=SizeofResource#" + std::to_string(sizes - 10 + 6)};
    RunFailingExtraction(options);
    ExpectWrittenBefore(5, kDefaultFolder);
}

// A real full disk: a small tmpfs mapped into the prefix as drive E:.
TEST_F(InstallFailure, AFullDiskAbortsAndLeavesNoShortFile)
{
    // 320 KB: the main program (376 or 448 KB) cannot be written whole.
    host::SmallDrive drive("320k");
    if (!drive.Ready())
        GTEST_SKIP() << "no small drive: mounting a tmpfs was refused here";
    const std::string folder = "E:\\Tessaronix";
    install::Options options;
    options.folder = folder;
    RunFailingExtraction(options);
    // The Windows folder's uninstaller was written whole before the disk
    // filled; the main program, cut short by the full disk, is gone.
    ExpectWrittenBefore(1, folder);
    EXPECT_FALSE(expect::FileExists(folder + "\\Tessaronix.exe"));
    RemoveProductFiles();
}

}  // namespace
