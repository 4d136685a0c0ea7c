// wine-versions: win7-64 win10-64
// 64-bit Windows: the i686 installer through WoW64 installs into the
// 32-bit program folder ("Program Files (x86)"), the System folder it is
// given (SysWOW64) and the registry's 32-bit view (Wow6432Node), lists its
// entry with the system's uninstallers; the uninstaller brings the prefix
// back to what it was; an aborted installation undoes itself.
#include <gtest/gtest.h>

#include <string>

#include "tests/win32/cleanup/cleanup_walk.h"

namespace {

const char kFolder[] = "C:\\Program Files (x86)\\Novla\\Tessaronix";

bool KeyIn64BitView(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Whether a file is at path as a 64-bit program sees it (no redirection of
// the System folder).
bool FileIn64BitView(const std::string& path)
{
    PVOID redirection = nullptr;
    if (!Wow64DisableWow64FsRedirection(&redirection))
        return false;
    bool there = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    Wow64RevertWow64FsRedirection(redirection);
    return there;
}

TEST(Wow64, InstallsIntoThe32BitPlacesAndTheRemovalAndAnAbortLeaveNothing)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64) && wow64) << "not a 64-bit prefix";
    cleanup::GiveWindowsFindVerbs();
    cleanup::Snapshot before = cleanup::Take();

    // Aborted in its second file: the prefix as before.
    install::Options failing;
    failing.build = ui::Build::Faults;
    failing.environment = {"NOVLA_FAULT=WriteFile#110"};
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, cleanup::Install(failing, true)));

    std::string proposed;
    ASSERT_TRUE(install::CompleteInstall(install::Options{}, false, &proposed));
    EXPECT_EQ(kFolder, proposed);
    EXPECT_TRUE(install::ProductFile(3) == install::ReadAll(std::string(kFolder) + "\\Tessaronix.exe"));
    const std::string extension = g_payloadTable.rows[ROW_SHELL_EXTENSION].fileName;
    EXPECT_TRUE(FileIn64BitView("C:\\windows\\syswow64\\" + extension));
    EXPECT_FALSE(FileIn64BitView("C:\\windows\\system32\\" + extension));
    EXPECT_FALSE(FileIn64BitView("C:\\Program Files\\Novla"));
    EXPECT_TRUE(KeyIn64BitView("Software\\Wow6432Node\\Novla\\Programs"));
    EXPECT_FALSE(KeyIn64BitView("Software\\Novla"));
    EXPECT_NE(std::string::npos, install::UninstallerList().find("|||Tessaronix"));

    cleanup::Removal removal =
        cleanup::Uninstall(IDYES, {}, install::SystemFolder() + "\\uninstaller.exe", "--remove Tessaronix");
    EXPECT_EQ((std::vector<std::string>{cleanup::kQuestion, cleanup::kRemoved}), removal.boxes);
    EXPECT_EQ(std::vector<std::string>{}, cleanup::Differences(before, cleanup::Take(), cleanup::Waiting()));
    EXPECT_EQ(std::string::npos, install::UninstallerList().find("Tessaronix"));
    EXPECT_FALSE(KeyIn64BitView("Software\\Wow6432Node\\Novla"));
}

}  // namespace
