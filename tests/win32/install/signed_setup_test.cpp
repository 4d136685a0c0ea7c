// wine-versions: win7
// The signed release (`make release`) installs as the unsigned one does: the
// signature appended after the image leaves the payload check passing, and
// every file of this generation lands byte for byte, the signed uninstaller
// among them. (A signed copy with a flipped payload byte is refused:
// damaged_setup_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "install_walk.h"
#include "tests/release/pe_image.h"

namespace {

// A string of the file's version resource as the system's own reader gives
// it to Explorer's Properties (version.dll, loaded here as the test links
// none of it), or "<none>".
std::string VersionString(const std::string& file, const char* name)
{
    typedef DWORD(WINAPI * SizeFn)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryFn)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    HMODULE version = LoadLibraryA("version.dll");
    SizeFn size = version ? (SizeFn)GetProcAddress(version, "GetFileVersionInfoSizeA") : nullptr;
    InfoFn info = version ? (InfoFn)GetProcAddress(version, "GetFileVersionInfoA") : nullptr;
    QueryFn query = version ? (QueryFn)GetProcAddress(version, "VerQueryValueA") : nullptr;
    DWORD handle = 0, bytes = size ? size(file.c_str(), &handle) : 0;
    std::string block(bytes, '\0'), text = "<none>";
    char* value = nullptr;
    UINT length = 0;
    if (bytes && info && query && info(file.c_str(), 0, bytes, &block[0]) &&
        query(block.data(), ("\\StringFileInfo\\040904E4\\" + std::string(name)).c_str(), (LPVOID*)&value, &length) &&
        value)
        text = value;
    if (version)
        FreeLibrary(version);
    return text;
}

TEST(SignedSetup, InstallsEveryFileOfThisGenerationTheSignedUninstallerAmongThem)
{
    std::string release = ui::EnvPath("NOVLA_SIGNED_INSTALLER");
    if (release.empty())
        GTEST_SKIP() << "this tree runs no signed release (the i686 tree does)";
    // The walk starts NOVLA_INSTALLER and compares with NOVLA_PRODUCT_DIR.
    ASSERT_TRUE(SetEnvironmentVariableA("NOVLA_INSTALLER", release.c_str()));
    ASSERT_TRUE(SetEnvironmentVariableA("NOVLA_PRODUCT_DIR", ui::EnvPath("NOVLA_SIGNED_PRODUCT_DIR").c_str()));

    ui::Installer installer;
    install::Options options;
    ASSERT_TRUE(install::ToDestination(installer, options));
    ASSERT_TRUE(install::BeginInstall(installer, options));
    install::Watch watch = install::WatchProgress(installer);
    ASSERT_TRUE(watch.finished);
    EXPECT_TRUE(watch.boxes.empty()) << watch.boxes.front();
    EXPECT_EQ(1u, install::Close(installer));
    ui::Kill(installer);

    for (int row : install::RowsOfThisGeneration()) {
        std::string expected = install::ProductFile(row);
        ASSERT_EQ(g_payloadTable.rows[row].fileSize, expected.size()) << "product file of row " << row;
        EXPECT_TRUE(expected == install::ReadAll(install::TargetOf(row, install::kDefaultFolder))) << "row " << row;
    }
    // The uninstaller as installed ends with its certificate table.
    pe::Image cleanup(install::TargetOf(install::RowsOfThisGeneration().front(), install::kDefaultFolder));
    ASSERT_TRUE(cleanup.valid());
    EXPECT_GT(cleanup.DirectorySize(4), 0u);
    EXPECT_EQ(cleanup.fileSize(), (size_t)cleanup.DirectoryRva(4) + cleanup.DirectorySize(4));

    // What Properties -> Details show of the signed installer, as the
    // system reads it (the release read-back test holds every string to the
    // product record).
    const struct {
        const char* name;
        std::string value;
    } details[] = {
        {"FileDescription", SETUP_TITLE},
        {"ProductName", g_productInfo.name},
        {"ProductVersion", g_productInfo.version},
        {"CompanyName", g_productInfo.publisher},
    };
    for (const auto& d : details)
        EXPECT_EQ(d.value, VersionString(release, d.name)) << d.name;
}

}  // namespace
