// The release installer read back from its bytes: what Windows 95 and NT 4
// need to load it, what it imports, no time stamp or debug data, and
// resources that carry the manifest, the product texts and every file of the
// product exactly; the version resource of the installer and the
// uninstaller; the signed release of `make release` (NOVLA_SIGNED_EXE).
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "payload/lzhuf_host.h"
#include "payload/product.h"
#include "resources/resource_ids.h"
#include "tests/release/pe_image.h"

namespace {

enum : uint32_t { kBitmap = 2, kDialog = 5, kRcData = 10, kGroupIcon = 14, kVersion = 16, kManifest = 24 };

std::string ReleasePath()
{
    const char* path = getenv("NOVLA_RELEASE_EXE");
    return path ? path : "";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('/')); }
std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

class ReleaseImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(ReleasePath().empty()) << "NOVLA_RELEASE_EXE names no file";
        ASSERT_TRUE(image.valid()) << ReleasePath() << " is not a readable PE image (make win32 builds it)";
    }
    bool Has(uint32_t type, uint32_t id) const
    {
        std::string data;
        return image.Resource({type, ""}, {id, ""}, &data);
    }
    pe::Image image{ReleasePath()};
};

TEST_F(ReleaseImage, IsAStrippedGuiProgramThatWindows95Loads)
{
    EXPECT_EQ(0x014C, image.machine());  // i386
    EXPECT_EQ(0x010B, image.magic());    // PE32
    EXPECT_EQ(0x0002, image.characteristics() & 0x2002);  // an executable, not a DLL
    EXPECT_EQ(2, image.subsystem());     // Windows GUI
    EXPECT_EQ(4, image.subsystemVersionMajor());
    EXPECT_EQ(0, image.subsystemVersionMinor());
    EXPECT_EQ(4, image.osVersionMajor());
    EXPECT_EQ(0, image.osVersionMinor());
    // Nothing that changes from one build to the next, and nothing to debug
    // with: no time stamps, no symbols, no debug directory or sections.
    EXPECT_EQ(0u, image.timeDateStamp());
    EXPECT_EQ(0u, image.ResourceTimeDateStamp());
    EXPECT_EQ(0u, image.symbolTable());
    EXPECT_EQ(0u, image.symbolCount());
    EXPECT_EQ(0u, image.DirectorySize(6));
    for (const pe::Section& section : image.sections())
        EXPECT_NE(0u, section.name.rfind(".debug", 0)) << section.name;
}

// The engine: everything in the file but its resources (the product's
// files, texts, templates, icons and banner). The build is reproducible, so
// this is a budget, not a measurement: a change that makes the engine larger
// must say so here. README.md gives the sections. The destination page's
// check of the committed folder by the uninstaller's program-folder rule
// (IsSoundProgramFolder) took the code section one file-alignment step on.
TEST_F(ReleaseImage, EngineStaysWithinItsBudget)
{
    const size_t kEngineBudget = 31232;
    uint32_t resources = 0;
    for (const pe::Section& section : image.sections())
        if (section.name == ".rsrc")
            resources = section.rawSize;
    ASSERT_GT(resources, 0u);
    EXPECT_LE(image.fileSize() - resources, kEngineBudget);
    // Still movable by the loader (its relocations kept), with the same
    // loader flags as ever: dynamic base, no-execute compatible.
    EXPECT_GT(image.DirectorySize(5), 0u);
    EXPECT_EQ(0x0140, image.dllCharacteristics());
}

TEST_F(ReleaseImage, ImportsOnlyTheSystemsOwnLibraries)
{
    static const char* const kSystem[] = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                          "shell32.dll",  "ole32.dll",  "comctl32.dll", "msvcrt.dll"};
    std::vector<std::string> libraries = image.ImportedLibraries();
    ASSERT_FALSE(libraries.empty());
    bool kernel = false;
    for (const std::string& library : libraries) {
        bool system = std::any_of(std::begin(kSystem), std::end(kSystem),
                                  [&](const char* name) { return strcasecmp(name, library.c_str()) == 0; });
        EXPECT_TRUE(system) << library << " is not a library every Windows has";
        kernel = kernel || strcasecmp(library.c_str(), "kernel32.dll") == 0;
    }
    EXPECT_TRUE(kernel);
}

TEST_F(ReleaseImage, CarriesTheManifestTemplatesIconsBannerAndTexts)
{
    std::string data;
    ASSERT_TRUE(image.Resource({kManifest, ""}, {1, ""}, &data));
    EXPECT_EQ(ReadFile(NOVLA_SOURCE_DIR "/resources/manifest.xml"), data);
    EXPECT_NE(std::string::npos, data.find("name=\"Novla.Setup.Wizard\" version=\"2.0.0.7\" "
                                           "processorArchitecture=\"x86\""));
    EXPECT_NE(std::string::npos, data.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));

    for (uint32_t id = 1001; id <= 1006; ++id)
        EXPECT_TRUE(Has(kDialog, id)) << "dialog template " << id;
    for (uint32_t id : {100u, 101u, 102u})
        EXPECT_TRUE(Has(kGroupIcon, id)) << "icon " << id;
    EXPECT_TRUE(Has(kBitmap, 200));

    // The texts as written, without a terminator.
    ASSERT_TRUE(image.Resource({kRcData, ""}, {0, "LICENSE"}, &data));
    EXPECT_EQ(ReadFile(NOVLA_SOURCE_DIR "/resources/license.txt"), data);
    ASSERT_TRUE(image.Resource({kRcData, ""}, {0, "WELCOME"}, &data));
    EXPECT_EQ(ReadFile(NOVLA_SOURCE_DIR "/resources/welcome.txt"), data);
}

// Each row's resource gives back its file byte for byte: a raw row as it
// is, a compressed one through the decoder the installer runs.
TEST_F(ReleaseImage, CarriesEveryFileOfTheProduct)
{
    std::string release = ReleasePath();
    std::string files = release.substr(0, release.rfind('/')) + "/product/files/";
    ASSERT_GT(g_payloadTable.entryCount, 0);
    for (unsigned row = 0; row < g_payloadTable.entryCount; ++row) {
        const PayloadEntry& entry = g_payloadTable.rows[row];
        SCOPED_TRACE(entry.resourceName);
        std::string file = ReadFile(files + entry.resourceName);
        ASSERT_EQ(entry.fileSize, file.size());
        std::string stored;
        ASSERT_TRUE(image.Resource({kRcData, ""}, {0, entry.resourceName}, &stored));
        if (entry.storedSize == 0) {
            EXPECT_EQ(file, stored);
            continue;
        }
        EXPECT_LT(stored.size(), file.size());
        std::vector<uint8_t> expanded;
        size_t consumed = 0;
        ASSERT_TRUE(LzhufExpand(reinterpret_cast<const uint8_t*>(stored.data()), stored.size(), entry.fileSize,
                                &expanded, &consumed));
        EXPECT_TRUE(std::string(expanded.begin(), expanded.end()) == file);
        EXPECT_LE(consumed, stored.size());
    }
}

// ---- The version resource ----

// "2.0.0.7" as the resource's two numbers: major << 16 | minor, build << 16
// | revision; missing parts count as 0.
void VersionNumbers(const std::string& text, uint32_t numbers[2])
{
    uint32_t parts[4] = {};
    const char* p = text.c_str();
    for (int i = 0; i < 4 && *p != '\0'; ++i) {
        char* end = nullptr;
        parts[i] = (uint32_t)strtoul(p, &end, 10);
        p = *end == '.' ? end + 1 : end + strlen(end);
    }
    numbers[0] = parts[0] << 16 | parts[1];
    numbers[1] = parts[2] << 16 | parts[3];
}

// The version of the application's own assembly: the first assemblyIdentity
// of the manifest.
std::string AssemblyVersion()
{
    std::string manifest = ReadFile(NOVLA_SOURCE_DIR "/resources/manifest.xml");
    size_t identity = manifest.find("<assemblyIdentity");
    size_t at = manifest.find(" version=\"", identity);
    if (identity == std::string::npos || at == std::string::npos)
        return "";
    at += 10;
    return manifest.substr(at, manifest.find('"', at) - at);
}

// The licence's copyright line.
std::string CopyrightLine()
{
    std::string licence = ReadFile(NOVLA_SOURCE_DIR "/resources/license.txt");
    size_t at = licence.rfind("\nCopyright ");
    if (at == std::string::npos)
        return "";
    std::string line = licence.substr(at + 1, licence.find('\n', at + 1) - at - 1);
    return line.substr(0, line.find_last_not_of(" \r") + 1);
}

// Each program the build makes carries a version resource whose every
// string is the product record's, the manifest's or the licence's, and
// whose numbers are those of its texts: the installer and the uninstaller
// as the product packs it, unsigned and (with `make release`) signed.
TEST(ReleaseVersion, EachProgramCarriesTheProductRecordsVersion)
{
    std::string signedExe = getenv("NOVLA_SIGNED_EXE") ? getenv("NOVLA_SIGNED_EXE") : "";
    std::string releaseTree = Folder(Folder(signedExe));
    const PayloadEntry& cleanup = g_payloadTable.rows[0];  // the uninstaller's row
    const std::string setupName = BaseName(ReleasePath());
    const std::string cleanupDescription = std::string(cleanup.shortcutName) + " " + g_productInfo.name;
    struct Case {
        std::string path, description, fileName;
    } cases[] = {
        {ReleasePath(), SETUP_TITLE, setupName},
        {Folder(ReleasePath()) + "/product/files/" + cleanup.resourceName, cleanupDescription, cleanup.fileName},
        {signedExe, SETUP_TITLE, setupName},
        {releaseTree + "/product/files/" + cleanup.resourceName, cleanupDescription, cleanup.fileName},
    };
    ASSERT_FALSE(signedExe.empty()) << "NOVLA_SIGNED_EXE names no file";
    ASSERT_FALSE(AssemblyVersion().empty());
    ASSERT_FALSE(CopyrightLine().empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        pe::Image image(c.path);
        ASSERT_TRUE(image.valid());
        std::string data;
        pe::VersionInfo info;
        ASSERT_TRUE(image.Resource({kVersion, ""}, {1, ""}, &data));
        ASSERT_TRUE(pe::ReadVersionInfo(data, &info));
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"CompanyName", g_productInfo.publisher},   {"FileDescription", c.description},
            {"FileVersion", AssemblyVersion()},         {"LegalCopyright", CopyrightLine()},
            {"OriginalFilename", c.fileName},           {"ProductName", g_productInfo.name},
            {"ProductVersion", g_productInfo.version},
        };
        EXPECT_EQ(expected, info.strings);
        uint32_t file[2], product[2];
        VersionNumbers(AssemblyVersion(), file);
        VersionNumbers(g_productInfo.version, product);
        EXPECT_EQ(file[0], info.fileVersion[0]);
        EXPECT_EQ(file[1], info.fileVersion[1]);
        EXPECT_EQ(product[0], info.productVersion[0]);
        EXPECT_EQ(product[1], info.productVersion[1]);
        // U.S. English in code page 1252, in the table and in the translation.
        EXPECT_EQ("040904E4", info.table);
        EXPECT_EQ(0x04E40409u, info.translation);
    }
}

// ---- The signed release ----

// Each signed file is its unsigned build with the signature appended: the
// same bytes but the checksum and the certificate table's directory entry,
// then the certificate table, the last thing in the file, one
// WIN_CERTIFICATE (revision 2.0, PKCS#7 signed data) rounded up to 8 bytes;
// the checksum is right for the signed bytes; an uninstaller row keeps the
// size its row gives. (That the signatures verify is the CTest
// release.signature.*; that two builds give the same bytes,
// release.reproducible.)
TEST(SignedRelease, IsTheUnsignedBuildWithItsSignatureAppended)
{
    const char* signedExe = getenv("NOVLA_SIGNED_EXE");
    ASSERT_TRUE(signedExe && *signedExe) << "NOVLA_SIGNED_EXE names no file";
    std::string tree = Folder(Folder(signedExe));
    struct Case {
        std::string signedFile, unsignedFile;
        int row;  // the row whose size it has, or -1
    } cases[] = {
        {signedExe, tree + "/" + BaseName(signedExe), -1},
        {tree + "/product/files/CLEANUP_98", tree + "/product/build/TSXCleanup.exe", 0},
        {tree + "/product/files/CLEANUP_XP", tree + "/product/build/TSXCleanup.exe", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signedFile);
        pe::Image image(c.signedFile), original(c.unsignedFile);
        ASSERT_TRUE(image.valid());
        ASSERT_TRUE(original.valid()) << c.unsignedFile;
        const std::vector<char>& bytes = image.bytes();
        uint32_t table = image.DirectoryRva(4), tableSize = image.DirectorySize(4);  // a file offset
        ASSERT_GT(tableSize, 8u);
        EXPECT_EQ(bytes.size(), (size_t)table + tableSize);
        EXPECT_EQ(0u, table % 8);
        std::string header(bytes.begin() + table, bytes.begin() + table + 8);
        uint32_t length = uint8_t(header[0]) | uint8_t(header[1]) << 8 | uint8_t(header[2]) << 16 |
                          uint32_t(uint8_t(header[3])) << 24;
        EXPECT_EQ(tableSize, (length + 7) / 8 * 8);
        EXPECT_EQ(std::string("\x00\x02\x02\x00", 4), header.substr(4));  // WIN_CERT_REVISION_2_0, PKCS_SIGNED_DATA
        EXPECT_EQ(image.ComputedCheckSum(), image.checkSum());
        if (c.row >= 0)
            EXPECT_EQ(g_payloadTable.rows[c.row].fileSize, bytes.size());

        // Before the table: the unsigned program, then (an uninstaller row)
        // the padding.
        std::vector<char> before(bytes.begin(), bytes.begin() + std::min<size_t>(table, original.fileSize()));
        std::vector<char> expected = original.bytes();
        ASSERT_LE(expected.size(), table);
        if (c.row < 0)
            EXPECT_EQ(expected.size(), table);
        for (size_t field : {image.checkSumOffset(), image.DirectoryEntryOffset(4), image.DirectoryEntryOffset(4) + 4})
            for (size_t k = 0; k < 4; ++k)
                before[field + k] = expected[field + k] = 0;
        EXPECT_TRUE(before == expected) << "the signed file's image differs from " << c.unsignedFile;
    }
}

}  // namespace
