// wine-versions: win98 winxp win7
// wine-env: NOVLA_DLL_OVERRIDES=uxtheme,msimg32=n,b
// Libraries planted beside the installer and the uninstaller under the
// names of system libraries that load once the program runs never load,
// on the search of the versions without SetDefaultDllDirectories (the
// fault-seam builds with that call failed take it).
#include <gtest/gtest.h>

#include <string>

#include "install_walk.h"
#include "tests/win32/cleanup/cleanup_walk.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

const char kFolder[] = "C:\\Downloads", kMarker[] = "C:\\planted-library-loaded.txt";
const char* const kPlanted[] = {"uxtheme.dll", "msimg32.dll"};

// A copy of program in the downloads folder, beside every planted library.
std::string PlantBeside(const std::string& program, const char* name)
{
    CreateDirectoryA(kFolder, nullptr);
    const std::string copy = std::string(kFolder) + "\\" + name;
    EXPECT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE)) << program;
    for (const char* planted : kPlanted)
        EXPECT_TRUE(CopyFileA((ui::EnvPath("NOVLA_TEST_HELPERS") + "\\planted\\" + planted).c_str(),
                              (std::string(kFolder) + "\\" + planted).c_str(), FALSE));
    return copy;
}

TEST(PlantedLibrary, NeitherProgramLoadsOneOnTheSearchBeforeWindows8)
{
    // Caught: SetDllDirectoryA("") alone left the program's own folder first,
    // and a planted uxtheme.dll ran in both programs.
    ASSERT_NE(std::string::npos, ui::EnvPath("WINEDLLOVERRIDES").find("uxtheme,msimg32=n,b"));
    const ui::Environment preEight = {"NOVLA_FAULT=SetDefaultDllDirectories"};

    // A whole installation by the installer's copy; a library that exports
    // nothing can hang the process that loads it: a short time.
    SetEnvironmentVariableA("NOVLA_INSTALLER_FAULTS",
                            PlantBeside(ui::EnvPath("NOVLA_INSTALLER_FAULTS"), "TessaronixSetup.exe").c_str());
    install::Options options;
    options.build = ui::Build::Faults;
    options.environment = preEight;
    ui::Installer installer;
    install::Watch watch;
    if (install::ToDestination(installer, options) && install::BeginInstall(installer, options))
        watch = install::WatchProgress(installer, 20000);
    if (watch.finished)
        EXPECT_EQ(1u, install::Close(installer));
    ui::Kill(installer);
    EXPECT_TRUE(watch.finished);
    EXPECT_FALSE(expect::FileExists(kMarker)) << "the installer loaded " << install::ReadAll(kMarker);
    DeleteFileA(kMarker);

    // The removal by the uninstaller's copy, beside the same libraries.
    cleanup::Removal removal =
        cleanup::Uninstall(IDYES, preEight, PlantBeside(ui::EnvPath("NOVLA_CLEANUP_FAULTS"), "TSXCleanup.exe"));
    EXPECT_EQ(0u, removal.exitCode);
    EXPECT_FALSE(expect::FileExists(kMarker)) << "the uninstaller loaded " << install::ReadAll(kMarker);
}

}  // namespace
