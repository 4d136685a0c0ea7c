// wine-versions: win98 win2k winxp vista win7
// The real installer, driven through its pages, installs the rows of this
// Windows generation byte for byte with the fixed file time, makes the
// shortcuts, registers the product; a second run proposes the recorded
// folder and replaces everything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

using install::kDefaultFolder;

void ExpectFilesOfThisGeneration(const std::string& program)
{
    ULONGLONG expectedTime = install::ExpectedFileTime();
    for (int row : install::RowsOfThisGeneration()) {
        std::string path = install::TargetOf(row, program);
        // Times first: reading the contents could move the access time.
        install::FileTimes times = install::TimesOf(path);
        ASSERT_TRUE(times.read) << path;
        EXPECT_EQ(expectedTime, times.creation) << path;
        EXPECT_EQ(expectedTime, times.access) << path;
        EXPECT_EQ(expectedTime, times.write) << path;
        std::string expected = install::ProductFile(row);
        ASSERT_EQ(g_payloadTable.rows[row].fileSize, expected.size()) << "product file of row " << row;
        // Byte for byte the product's own file; for a name both generations
        // share, this generation's variant and not the other.
        EXPECT_TRUE(expected == install::ReadAll(path)) << path << " (row " << row << ")";
    }
    // Nothing else in the program folder.
    EXPECT_EQ(8, expect::CountFiles(program + "\\*"));
}

void ExpectLinks(const std::string& program, int programsCsidl, int desktopCsidl)
{
    std::string group = expect::SpecialFolder(programsCsidl) + "\\NOVLA\\Tessaronix\\";
    for (const expect::ExpectedLink& e : expect::GroupLinks()) {
        std::string folder = e.inProgramFolder ? program : install::WindowsFolder();
        expect::Link link = expect::ResolveLink(group + e.name + ".lnk");
        ASSERT_TRUE(link.loaded) << group << e.name;
        EXPECT_EQ(folder + "\\" + e.file, link.target) << e.name;
        EXPECT_EQ(folder, link.workingFolder) << e.name;
        EXPECT_EQ(e.name, link.description);
    }
    EXPECT_EQ(7, expect::CountFiles(group + "*"));
    expect::Link desktop = expect::ResolveLink(expect::SpecialFolder(desktopCsidl) + "\\Tessaronix.lnk");
    ASSERT_TRUE(desktop.loaded);
    EXPECT_EQ(program + "\\Tessaronix.exe", desktop.target);
    EXPECT_EQ(program, desktop.workingFolder);
    EXPECT_EQ("Tessaronix", desktop.description);
}

void ExpectRegistry(const std::string& program)
{
    for (const expect::Value& v :
         expect::RegistryValues(program, install::WindowsFolder(), install::SystemFolder(), g_productInfo.helpLink)) {
        expect::RawValue raw = expect::ReadValue(v.root, v.key, v.name);
        ASSERT_TRUE(raw.found) << v.key << " / " << (v.name ? v.name : "(default)");
        EXPECT_EQ((DWORD)REG_SZ, raw.type) << v.key;
        EXPECT_EQ(expect::Stored(v.data), raw.bytes) << v.key << " / " << (v.name ? v.name : "(default)");
    }
}

// Nothing of the installation reached the host's home folder: no link on
// its desktop, no menu entry or file association by Wine's menu builder.
void ExpectHostHomeUntouched()
{
    char home[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("WINEHOMEDIR", home, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH) << "no WINEHOMEDIR";
    std::string folder = home;
    if (folder.compare(0, 4, "\\??\\") == 0)
        folder = folder.substr(4);
    for (const char* path : {"\\Tessaronix.lnk", "\\Desktop\\Tessaronix.lnk", "\\Desktop\\Tessaronix.desktop",
                             "\\.local\\share\\applications\\wine\\Programs\\NOVLA",
                             "\\.local\\share\\applications\\wine-extension-n_tsx.desktop"})
        EXPECT_FALSE(expect::FileExists(folder + path)) << folder + path;
}

std::vector<std::string> ExpectedFileLabels(const std::string& program)
{
    std::vector<std::string> labels;
    for (int row : install::RowsOfThisGeneration())
        labels.push_back(install::TargetOf(row, program));
    labels.push_back("Success");
    return labels;
}

TEST(Install, WritesThisGenerationLinksAndRegistryThenAgainOverTheFirst)
{
    expect::EnsureFindExtensionsKey();
    bool ntClass = install::WineVersion() != "win98";
    // NT-class systems propose shortcuts for all users; Windows 98 has one
    // set for everybody, the current user's folders.
    int programs = ntClass ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    int desktop = ntClass ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY;

    ui::Installer first;
    install::Options options;
    ASSERT_TRUE(install::ToDestination(first, options));
    EXPECT_EQ(kDefaultFolder, ui::ControlText(first.frame, IDC_DEST_FOLDER));
    ASSERT_TRUE(install::BeginInstall(first, options));
    install::Watch watch = install::WatchProgress(first);
    ASSERT_TRUE(watch.finished);
    EXPECT_EQ(ExpectedFileLabels(kDefaultFolder), watch.fileLabels);
    EXPECT_EQ(13, watch.fileBarAtSuccess);
    EXPECT_EQ(7, watch.shortcutBarAtSuccess);
    std::vector<std::string> shortcutLabels;
    for (const expect::ExpectedLink& e : expect::GroupLinks())
        shortcutLabels.push_back(e.name);
    shortcutLabels.push_back("Success");
    EXPECT_EQ(shortcutLabels, watch.shortcutLabels);
    EXPECT_EQ(1u, install::Close(first));
    ui::Kill(first);

    ExpectFilesOfThisGeneration(kDefaultFolder);
    ExpectLinks(kDefaultFolder, programs, desktop);
    ExpectRegistry(kDefaultFolder);
    ExpectHostHomeUntouched();
    std::string listed = install::UninstallerList();
    EXPECT_NE(std::string::npos, listed.find("|||Tessaronix")) << listed;

    // The second run, into another folder: spoil every installed file and
    // link first; the run replaces them all.
    for (int row : install::RowsOfThisGeneration())
        install::WriteFileText(install::TargetOf(row, kDefaultFolder), "spoilt");
    std::string group = expect::SpecialFolder(programs) + "\\NOVLA\\Tessaronix\\";
    for (const expect::ExpectedLink& e : expect::GroupLinks())
        install::WriteFileText(group + e.name + ".lnk", "spoilt");
    const std::string other = "C:\\Apps\\Tessaronix";
    options.folder = other;
    ASSERT_TRUE(install::CompleteInstall(options));
    ExpectFilesOfThisGeneration(other);
    ExpectLinks(other, programs, desktop);
    ExpectRegistry(other);
    // The Windows and System folders' files were replaced too; the first
    // program folder keeps what it had.
    for (int row : install::RowsOfThisGeneration())
        if (g_payloadTable.rows[row].flags & FOLDER_PROGRAM)
            EXPECT_EQ("spoilt", install::ReadAll(install::TargetOf(row, kDefaultFolder)));
    // What the run set aside to replace them went once it had finished.
    for (int row : install::RowsOfThisGeneration())
        EXPECT_FALSE(expect::FileExists(install::TargetOf(row, other) + ".previous")) << row;

    // The third start proposes the folder recorded by the second.
    ui::Installer third;
    ASSERT_TRUE(install::ToDestination(third, install::Options{}));
    EXPECT_EQ(other, ui::ControlText(third.frame, IDC_DEST_FOLDER));
    ui::Click(ui::Control(third.frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(third));
    ui::Kill(third);
}

}  // namespace
