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
#include <vector>

#include "codec/lzhuf_host.h"
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
// must say so here. docs/measurements.md gives the sections. It grew with the C library
// functions the programs now carry instead of importing them, the common
// controls' registration, the probe of the true Windows version, the default
// folder from the system, the single-run lock, the libraries loaded by full
// path, the destination page's check by the uninstaller's program-folder
// rule (IsSoundProgramFolder), and the start-up's settling of a cut-off
// reinstallation, which carries the record's reader and scope.
TEST_F(ReleaseImage, EngineStaysWithinItsBudget)
{
    const size_t kEngineBudget = 39424;
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

// Every program and library that ships: the installer, and each file of the
// product that is a Windows image (the uninstaller, the stand-ins, the
// shell extension).
std::vector<std::string> ShippedImages()
{
    std::vector<std::string> images = {ReleasePath()};
    for (unsigned row = 0; row < g_payloadTable.rowCount; ++row) {
        std::string path = Folder(ReleasePath()) + "/product/files/" + g_payloadTable.rows[row].resourceName;
        if (ReadFile(path).compare(0, 2, "MZ") == 0)
            images.push_back(path);
    }
    return images;
}

// Functions a clean Windows 95 lacks that code like ours comes to call, each
// with the first system or component that has it: imported by name, any of
// them stops the loader on Windows 95 before the program's first
// instruction. One the programs want is looked up at run time instead.
struct Absent {
    const char* library;
    const char* function;
    const char* since;
};
const Absent kAbsentFromWindows95[] = {
    {"comctl32.dll", "InitCommonControlsEx", "comctl32 4.70 (Internet Explorer 3)"},
    {"kernel32.dll", "GetDiskFreeSpaceExA", "Windows 95 OSR2"},
    {"kernel32.dll", "GetFileAttributesExA", "Windows 98, NT 4"},
    {"kernel32.dll", "GetLongPathNameA", "Windows 98, 2000"},
    {"kernel32.dll", "IsDebuggerPresent", "Windows 98, NT 4"},
    {"kernel32.dll", "InterlockedCompareExchange", "Windows 98, NT 4"},
    {"kernel32.dll", "SetFilePointerEx", "Windows 2000"},
    {"kernel32.dll", "GetModuleHandleExA", "Windows XP"},
    {"kernel32.dll", "SetDllDirectoryA", "Windows XP SP1"},
    {"kernel32.dll", "SetDefaultDllDirectories", "Windows 8 (7 with KB2533623)"},
    {"user32.dll", "GetAncestor", "Windows 98, 2000"},
    {"user32.dll", "MonitorFromWindow", "Windows 98, 2000"},
    {"user32.dll", "TrackMouseEvent", "Windows 98, NT 4"},
    {"shell32.dll", "SHGetSpecialFolderPathA", "shell32 4.71 (Internet Explorer 4)"},
    {"shell32.dll", "SHGetFolderPathA", "shell32 5.0 (Windows 2000, ME)"},
    {"advapi32.dll", "CheckTokenMembership", "Windows 2000"},
    {"ole32.dll", "CoInitializeEx", "DCOM for Windows 95, NT 4"},
};

TEST_F(ReleaseImage, EveryShippedFileImportsOnlyWhatACleanWindows95Has)
{
    static const char* const kSystem[] = {"kernel32.dll", "user32.dll", "gdi32.dll",   "advapi32.dll",
                                          "shell32.dll",  "ole32.dll",  "comctl32.dll", "oleaut32.dll",
                                          "version.dll",  "comdlg32.dll"};
    std::vector<std::string> images = ShippedImages();
    // The installer, the uninstaller's two rows, four stand-in programs of
    // the two generations, the updater, the shell extension.
    ASSERT_EQ(9u, images.size());
    for (const std::string& path : images) {
        SCOPED_TRACE(path);
        pe::Image shipped(path);
        ASSERT_TRUE(shipped.valid());
        std::vector<std::string> libraries = shipped.ImportedLibraries();
        ASSERT_FALSE(libraries.empty());
        bool kernel = false;
        for (const std::string& library : libraries) {
            bool system = std::any_of(std::begin(kSystem), std::end(kSystem),
                                      [&](const char* name) { return strcasecmp(name, library.c_str()) == 0; });
            EXPECT_TRUE(system) << library << " is not a library a clean Windows 95 has";
            kernel = kernel || strcasecmp(library.c_str(), "kernel32.dll") == 0;
        }
        EXPECT_TRUE(kernel);
        for (const auto& import : shipped.ImportedFunctions())
            for (const Absent& absent : kAbsentFromWindows95)
                EXPECT_FALSE(strcasecmp(absent.library, import.first.c_str()) == 0 && import.second == absent.function)
                    << import.second << " of " << import.first << " first came with " << absent.since;
    }
    // The installer loads the common controls itself, once the library
    // search is restricted: imported, their own imports would be looked for
    // beside the installer (a downloads folder) before its first
    // instruction.
    for (const std::string& library : image.ImportedLibraries())
        EXPECT_NE(0, strcasecmp(library.c_str(), "comctl32.dll"));
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

// ---- The manifests ----

// One element of a manifest as the system's parser sees it: its namespace
// (from its prefix or the nearest default declaration), its local name, its
// attributes, its text, and whether an attribute (a namespace declaration
// among them) is given twice, which restarts XP SP2 and Server 2003 before
// SP1 when they read it.
struct XmlElement {
    std::string space, name, text;
    std::vector<std::pair<std::string, std::string>> attributes;
    bool repeated = false;
    std::string Attribute(const std::string& key) const
    {
        for (const auto& a : attributes)
            if (a.first == key)
                return a.second;
        return "";
    }
};

// The elements in document order, or none when the text is not one
// well-nested document of elements, attributes in double quotes and text.
std::vector<XmlElement> ReadXml(const std::string& xml)
{
    std::vector<XmlElement> elements;
    struct Open {
        std::string qualified;
        std::vector<std::pair<std::string, std::string>> declarations;
    };
    std::vector<Open> open;
    auto resolve = [&](const std::string& prefix, const std::vector<std::pair<std::string, std::string>>& own) {
        std::string key = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
        for (const auto& d : own)
            if (d.first == key)
                return d.second;
        for (auto at = open.rbegin(); at != open.rend(); ++at)
            for (const auto& d : at->declarations)
                if (d.first == key)
                    return d.second;
        return std::string();
    };
    size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        if (xml.compare(at, 2, "<?") == 0 || xml.compare(at, 4, "<!--") == 0) {
            at = xml.find(xml[at + 1] == '?' ? "?>" : "-->", at);
            if (at == std::string::npos)
                return {};
            continue;
        }
        size_t end = xml.find('>', at);
        if (end == std::string::npos)
            return {};
        std::string tag = xml.substr(at + 1, end - at - 1);
        size_t textStart = end + 1;
        at = end + 1;
        if (tag[0] == '/') {
            size_t last = tag.find_last_not_of(" \t\r\n");
            if (open.empty() || tag.substr(1, last) != open.back().qualified)
                return {};
            open.pop_back();
            continue;
        }
        bool empty = !tag.empty() && tag.back() == '/';
        if (empty)
            tag.pop_back();
        XmlElement e;
        size_t p = tag.find_first_of(" \t\r\n");
        std::string qualified = tag.substr(0, p);
        std::vector<std::pair<std::string, std::string>> declarations;
        while (p != std::string::npos && (p = tag.find_first_not_of(" \t\r\n", p)) != std::string::npos) {
            size_t equals = tag.find("=\"", p), close = equals == std::string::npos ? equals : tag.find('"', equals + 2);
            if (close == std::string::npos)
                return {};
            std::string key = tag.substr(p, equals - p), value = tag.substr(equals + 2, close - equals - 2);
            for (const auto& a : e.attributes)
                e.repeated = e.repeated || a.first == key;
            e.attributes.emplace_back(key, value);
            if (key.compare(0, 5, "xmlns") == 0)
                declarations.emplace_back(key, value);
            p = close + 1;
        }
        size_t colon = qualified.find(':');
        e.name = colon == std::string::npos ? qualified : qualified.substr(colon + 1);
        e.space = resolve(colon == std::string::npos ? "" : qualified.substr(0, colon), declarations);
        size_t textEnd = xml.find('<', textStart);
        e.text = xml.substr(textStart, textEnd - textStart);
        elements.push_back(e);
        if (!empty)
            open.push_back({qualified, declarations});
    }
    return open.empty() ? elements : std::vector<XmlElement>();
}

// Both programs' manifests, as built into them: the execution level that
// makes Vista and later elevate them (with trustInfo in the asm.v2 or asm.v3
// namespace, which XP also reads), Vista to 10 as supported systems, aware
// of the screen's DPI, each namespace declared once per element; the
// installer's with the common controls 6 that give it the progress bar.
TEST(ReleaseManifest, BothProgramsAskForAdministratorsAndNameTheSystemsTheySupport)
{
    const char* const kSystems[] = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};  // Vista, 7, 8, 8.1, 10
    struct Case {
        std::string path, assembly;
        bool commonControls;
    } cases[] = {
        {ReleasePath(), "Novla.Setup.Wizard", true},
        {Folder(ReleasePath()) + "/product/files/" + g_payloadTable.rows[0].resourceName, "Novla.Setup.Cleanup", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        pe::Image program(c.path);
        std::string xml;
        ASSERT_TRUE(program.Resource({kManifest, ""}, {1, ""}, &xml));
        std::vector<XmlElement> elements = ReadXml(xml);
        ASSERT_FALSE(elements.empty()) << xml;
        EXPECT_EQ("assembly", elements[0].name);
        EXPECT_EQ("urn:schemas-microsoft-com:asm.v1", elements[0].space);
        EXPECT_EQ(c.assembly, elements[1].Attribute("name"));
        std::vector<std::string> systems, levels, dpi, dependencies;
        for (const XmlElement& e : elements) {
            SCOPED_TRACE(e.name);
            EXPECT_FALSE(e.repeated) << "an attribute or namespace declared twice";
            if (e.name == "trustInfo")
                EXPECT_TRUE(e.space == "urn:schemas-microsoft-com:asm.v2" || e.space == "urn:schemas-microsoft-com:asm.v3")
                    << e.space;
            if (e.name == "requestedExecutionLevel")
                levels.push_back(e.Attribute("level") + " " + e.Attribute("uiAccess"));
            if (e.name == "supportedOS" && e.space == "urn:schemas-microsoft-com:compatibility.v1")
                systems.push_back(e.Attribute("Id"));
            if (e.name == "dpiAware" && e.space == "http://schemas.microsoft.com/SMI/2005/WindowsSettings")
                dpi.push_back(e.text);
            if (e.name == "assemblyIdentity" && &e != &elements[1])
                dependencies.push_back(e.Attribute("name") + " " + e.Attribute("version"));
        }
        EXPECT_EQ(std::vector<std::string>{"requireAdministrator false"}, levels);
        EXPECT_EQ(std::vector<std::string>(std::begin(kSystems), std::end(kSystems)), systems);
        EXPECT_EQ(std::vector<std::string>{"true"}, dpi);
        EXPECT_EQ(c.commonControls ? std::vector<std::string>{"Microsoft.Windows.Common-Controls 6.0.0.0"}
                                   : std::vector<std::string>{},
                  dependencies);
    }
}

// Each row's resource gives back its file byte for byte: a raw row as it
// is, a compressed one through the decoder the installer runs.
TEST_F(ReleaseImage, CarriesEveryFileOfTheProduct)
{
    std::string release = ReleasePath();
    std::string files = release.substr(0, release.rfind('/')) + "/product/files/";
    ASSERT_GT(g_payloadTable.rowCount, 0);
    for (unsigned row = 0; row < g_payloadTable.rowCount; ++row) {
        const PayloadRow& entry = g_payloadTable.rows[row];
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
    const PayloadRow& cleanup = g_payloadTable.rows[0];  // the uninstaller's row
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

// One DER element: its tag and its contents, within the bytes it was read
// from. Read() takes the next element of `rest` and fails on a length that
// leaves the bytes or on a long-form tag (Authenticode uses none).
struct Der {
    uint8_t tag = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

bool Read(Der* rest, Der* element)
{
    if (rest->size < 2 || (rest->data[0] & 0x1F) == 0x1F)
        return false;
    size_t length = rest->data[1], header = 2;
    if (length & 0x80) {
        size_t count = length & 0x7F;
        if (count == 0 || count > 4 || rest->size < 2 + count)
            return false;
        length = 0;
        for (size_t k = 0; k < count; ++k)
            length = length << 8 | rest->data[2 + k];
        header += count;
    }
    if (length > rest->size - header)
        return false;
    *element = {rest->data[0], rest->data + header, length};
    rest->data += header + length;
    rest->size -= header + length;
    return true;
}

const std::string kSha1("\x2B\x0E\x03\x02\x1A", 5);
const std::string kSha256("\x60\x86\x48\x01\x65\x03\x04\x02\x01", 9);

std::string Contents(const Der& element) { return std::string((const char*)element.data, element.size); }

// The digest algorithm (its OID's contents) of the Authenticode signature in
// the next ContentInfo of `rest`, then those of the signatures nested in it
// (the unauthenticated attribute SPC_NESTED_SIGNATURE), in their order;
// empty where the structure is not one of signed data.
std::vector<std::string> SignatureDigests(Der* rest)
{
    static const std::string kSignedData("\x2A\x86\x48\x86\xF7\x0D\x01\x07\x02", 9);
    static const std::string kNested("\x2B\x06\x01\x04\x01\x82\x37\x02\x04\x01", 10);
    Der info, type, explicitData, signedData, field, algorithms, algorithm, oid;
    if (!Read(rest, &info) || !Read(&info, &type) || Contents(type) != kSignedData ||
        !Read(&info, &explicitData) || !Read(&explicitData, &signedData) || !Read(&signedData, &field) ||
        !Read(&signedData, &algorithms) || !Read(&algorithms, &algorithm) || !Read(&algorithm, &oid))
        return {};
    std::vector<std::string> digests{Contents(oid)};
    // The last field of SignedData is the set of signer infos; the first
    // signer's optional [1] field its unauthenticated attributes.
    Der signers;
    while (Read(&signedData, &field))
        signers = field;
    Der signer, attributes;
    if (!Read(&signers, &signer))
        return {};
    while (Read(&signer, &field))
        attributes = field;
    if (attributes.tag != 0xA1)
        return digests;
    Der attribute;
    while (Read(&attributes, &attribute)) {
        Der attributeType, values;
        if (!Read(&attribute, &attributeType) || Contents(attributeType) != kNested || !Read(&attribute, &values))
            continue;
        while (values.size > 0) {
            std::vector<std::string> nested = SignatureDigests(&values);
            if (nested.empty())
                return {};
            digests.insert(digests.end(), nested.begin(), nested.end());
        }
    }
    return digests;
}

// Each signed file is its unsigned build with the signature appended: the
// same bytes but the checksum and the certificate table's directory entry,
// then the certificate table, the last thing in the file, one
// WIN_CERTIFICATE (revision 2.0, PKCS#7 signed data) rounded up to 8 bytes,
// whose signature carries a second one nested in it;
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
        // Two signatures: SHA-1 (which Windows without SHA-2 reads), then
        // SHA-256 nested in it.
        ASSERT_TRUE(length > 8 && length <= tableSize);
        Der certificate{0, (const uint8_t*)bytes.data() + table + 8, length - 8};
        const std::vector<std::string> digests = SignatureDigests(&certificate);
        EXPECT_EQ((std::vector<std::string>{kSha1, kSha256}), digests);
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
