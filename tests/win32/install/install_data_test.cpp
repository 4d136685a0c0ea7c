// wine-versions: win2k winxp
// The user's data survives an installation: an existing folder that is not
// the product's is never emptied, and the emptying of the product's own
// folder (the system's program folder's, on whichever drive) does not
// follow a link out of it. Shortcuts for this user when
// chosen; the application starts after the wizard when asked to, and only
// then.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host_calls.h"
#include "install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

using install::kDefaultFolder;

HWND FindApplication(const char* title) { return FindWindowA(nullptr, title); }

TEST(InstallData, ForeignDataSurvivesAndLinksAreNotFollowed)
{
    // Outside data, reached from inside the product's own folder through a
    // host symbolic link.
    CreateDirectoryA("C:\\Outside", nullptr);
    install::WriteFileText("C:\\Outside\\keep.txt", "outside data");
    CreateDirectoryA("C:\\Program Files\\Novla", nullptr);
    CreateDirectoryA(kDefaultFolder, nullptr);
    std::string link = std::string(kDefaultFolder) + "\\linked";
    bool linked = host::MakeSymlink("C:\\Outside", link);
    if (linked) {
        DWORD attributes = GetFileAttributesA(link.c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
        EXPECT_EQ((DWORD)(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
                  attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    }
    // A stale file of an earlier installation in the product's folder goes.
    install::WriteFileText(std::string(kDefaultFolder) + "\\old.txt", "stale");

    install::Options options;
    options.scope = IDC_SCOPE_USER;
    // Ticked: the installed application starts once the wizard has closed.
    ASSERT_TRUE(install::CompleteInstall(options, true));
    // The variant of this Windows generation, and not the other.
    const char* mainTitle = install::ModernGeneration() ? "Tessaronix (modern)" : "Tessaronix (legacy)";
    const char* otherTitle = install::ModernGeneration() ? "Tessaronix (legacy)" : "Tessaronix (modern)";
    EXPECT_TRUE(ui::WaitUntil([&] { return FindApplication(mainTitle) != nullptr; }, 15000)) << mainTitle;
    EXPECT_EQ(nullptr, FindApplication(otherTitle));
    if (HWND app = FindApplication(mainTitle))
        PostMessageA(app, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ui::WaitUntil([&] { return FindApplication(mainTitle) == nullptr; }, 10000));

    // The product's own folder holds exactly the product's files (and the
    // link, not followed), with nothing set aside left beside it.
    std::set<std::string> names, expected;
    for (int row : install::RowsOfThisGeneration())
        if (g_payloadTable.rows[row].flags & FOLDER_PROGRAM)
            expected.insert(g_payloadTable.rows[row].fileName);
    if (linked)
        expected.insert("linked");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(kDefaultFolder) + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (found.cFileName[0] != '.')
            names.insert(found.cFileName);
    FindClose(search);
    EXPECT_EQ(expected, names);
    EXPECT_FALSE(expect::FileExists(std::string(kDefaultFolder) + ".previous"));
    if (linked) {
        EXPECT_EQ("outside data", install::ReadAll("C:\\Outside\\keep.txt"));
        EXPECT_TRUE(expect::FileExists(link));
    } else {
        ADD_FAILURE() << "could not make a host symbolic link";
    }
    // This user's links, as chosen.
    expect::Link group =
        expect::ResolveLink(expect::SpecialFolder(CSIDL_PROGRAMS) + "\\NOVLA\\Tessaronix\\Tessaronix.lnk");
    EXPECT_TRUE(group.loaded);
    EXPECT_EQ(std::string(kDefaultFolder) + "\\Tessaronix.exe", group.target);
    EXPECT_TRUE(expect::ResolveLink(expect::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tessaronix.lnk").loaded);
    EXPECT_FALSE(expect::FileExists(expect::SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Tessaronix.lnk"));

    // Into an existing folder of the user's that is not the product's: all
    // of its files stay; unticked, nothing starts.
    const std::string mine = "C:\\Mine\\Tessaronix";
    CreateDirectoryA("C:\\Mine", nullptr);
    CreateDirectoryA(mine.c_str(), nullptr);
    CreateDirectoryA((mine + "\\letters").c_str(), nullptr);
    install::WriteFileText(mine + "\\notes.txt", "my notes");
    install::WriteFileText(mine + "\\letters\\one.txt", "my letter");
    options = install::Options{};
    options.folder = mine;
    ASSERT_TRUE(install::CompleteInstall(options));
    EXPECT_EQ("my notes", install::ReadAll(mine + "\\notes.txt"));
    EXPECT_EQ("my letter", install::ReadAll(mine + "\\letters\\one.txt"));
    EXPECT_TRUE(install::ProductFile(install::ModernGeneration() ? 3 : 2) ==
                install::ReadAll(mine + "\\Tessaronix.exe"));
    Sleep(3000);
    EXPECT_EQ(nullptr, FindApplication(mainTitle));
}

TEST(InstallData, TheSystemsProgramFolderOnAnotherDriveIsProposedAndTheProductsOwn)
{
    // Windows on drive D:, its program folder there; a stale file of an
    // earlier installation in the product's folder below it goes, as in the
    // default folder anywhere.
    CreateDirectoryA("C:\\DriveD", nullptr);
    ASSERT_TRUE(host::LinkDrive('d', "C:\\DriveD"));
    // No earlier installation's folder, whose record would win.
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Novla\\Programs", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Tessaronix");
        RegCloseKey(key);
    }
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                                           KEY_ALL_ACCESS, &key));
    const char programFiles[] = "D:\\Programs";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, (const BYTE*)programFiles,
                                            sizeof programFiles));
    RegCloseKey(key);
    const std::string folder = "D:\\Programs\\Novla\\Tessaronix";
    CreateDirectoryA("D:\\Programs", nullptr);
    CreateDirectoryA("D:\\Programs\\Novla", nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    install::WriteFileText(folder + "\\old.txt", "stale");

    std::string proposed;
    ASSERT_TRUE(install::CompleteInstall(install::Options{}, false, &proposed));
    EXPECT_EQ(folder, proposed);
    EXPECT_FALSE(expect::FileExists(folder + "\\old.txt"));
    EXPECT_TRUE(install::ProductFile(install::ModernGeneration() ? 3 : 2) == install::ReadAll(folder + "\\Tessaronix.exe"));
}

}  // namespace
