// wine-versions: win7
// wine-env: NOVLA_DLL_OVERRIDES=uxtheme=n,b
// The real installer against what it finds in the way: a file where the
// program group's folder goes, and a library planted beside it under the
// name of one the system loads.
#include <gtest/gtest.h>

#include <string>

#include "install_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

// A whole installation with the proposed folder and the scope given;
// what the progress page showed, the installer ended.
install::Watch Install(int scope, DWORD limitMs = 60000)
{
    install::Options options;
    options.scope = scope;
    ui::Installer installer;
    install::Watch watch;
    if (install::ToDestination(installer, options) && install::BeginInstall(installer, options)) {
        watch = install::WatchProgress(installer, limitMs);
        if (watch.finished)
            EXPECT_EQ(1u, install::Close(installer));
    }
    ui::Kill(installer);
    return watch;
}

TEST(InstallObstacles, AFileWhereTheGroupGoesLeavesItsSevenLinksOutAndSaysSo)
{
    expect::EnsureFindExtensionsKey();
    const std::string blocker = expect::SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\NOVLA";
    install::WriteFileText(blocker, "a file of the user's");

    install::Watch watch = Install(IDC_SCOPE_ALL);
    ASSERT_TRUE(watch.finished);
    EXPECT_EQ(std::vector<std::string>{"The program files were installed, but 7 shortcuts could not be created."},
              watch.boxes);
    for (const std::string& label : watch.shortcutLabels)
        EXPECT_NE("Success", label);
    for (int row : install::RowsOfThisGeneration())
        EXPECT_TRUE(install::ProductFile(row) == install::ReadAll(install::TargetOf(row, install::kDefaultFolder)))
            << install::TargetOf(row, install::kDefaultFolder);
    EXPECT_TRUE(expect::FileExists(expect::SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Tessaronix.lnk"));
    EXPECT_EQ("a file of the user's", install::ReadAll(blocker));
}

TEST(InstallObstacles, ALibraryPlantedBesideTheInstallerIsNeverLoaded)
{
    // A downloads folder holding a copy of the installer and a uxtheme.dll
    // of someone else's, which Wine is told (on the wine-env line) to prefer
    // to its own, as Windows would take a library found beside the program.
    const std::string folder = "C:\\Downloads", marker = "C:\\planted-library-loaded.txt";
    const std::string copy = folder + "\\TessaronixSetup.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(ui::EnvPath("NOVLA_INSTALLER").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ui::EnvPath("NOVLA_TEST_HELPERS") + "\\planted\\uxtheme.dll").c_str(),
                          (folder + "\\uxtheme.dll").c_str(), FALSE));
    SetEnvironmentVariableA("NOVLA_INSTALLER", copy.c_str());
    ASSERT_NE(std::string::npos, ui::EnvPath("WINEDLLOVERRIDES").find("uxtheme=n,b"));

    // A library that exports nothing can hang the process that loads it:
    // the installation gets a short time.
    install::Watch watch = Install(0, 20000);
    EXPECT_FALSE(expect::FileExists(marker)) << "the planted library ran";
    EXPECT_TRUE(watch.finished);
}

}  // namespace
