// The release installer read back from its bytes: what Windows 95 and NT 4
// need to load it, what it imports, no time stamp or debug data, and
// resources that carry the manifest, the product texts and every file of the
// product exactly.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <strings.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "payload/lzhuf_host.h"
#include "payload/product.h"
#include "tests/release/pe_image.h"

namespace {

enum : uint32_t { kBitmap = 2, kDialog = 5, kRcData = 10, kGroupIcon = 14, kManifest = 24 };

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
// must say so here. README.md gives the sections.
TEST_F(ReleaseImage, EngineStaysWithinItsBudget)
{
    const size_t kEngineBudget = 37376;
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

}  // namespace
