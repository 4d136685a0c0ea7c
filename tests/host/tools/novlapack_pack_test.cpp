// The packer's side of the file table: the product manifest read into the
// records, every rule a broken manifest can break (each reported with its
// row), and the source and resource script it writes.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "file_io.h"
#include "manifest.h"
#include "pack.h"

namespace {

const char* const kResources[] = {"CLEANUP_98", "CLEANUP_XP", "PROGRAM_98", "PROGRAM_XP", "PROGRAMHLP",
                                  "INDEXER_98", "INDEXER_XP", "INDEXERHLP", "UPDATER",    "WEBLINK",
                                  "ORDER",      "REGINFO",    "CONTEXT"};

std::string SourceRoot()
{
    std::string file = __FILE__;
    return file.substr(0, file.rfind("/tests/host/tools/"));
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/novlapack_test_XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir_ = pattern;
        manifest_ = ReadText(SourceRoot() + "/product/manifest.txt");
        ASSERT_FALSE(manifest_.empty());
        // Small files that compress: a few hundred bytes each.
        for (const char* name : kResources) {
            std::string content;
            for (int i = 0; i < 20; ++i)
                content += std::string("MZ ") + name + " " + std::to_string(i * i) + "\r\n";
            WriteFile(name, content);
        }
    }
    void TearDown() override { system(("rm -rf '" + dir_ + "'").c_str()); }

    void WriteFile(const std::string& name, const std::string& content)
    {
        std::string error;
        ASSERT_TRUE(WriteWholeFile(dir_ + "/" + name, content, &error)) << error;
    }

    // Reads and packs manifest text; returns every message.
    std::vector<std::string> Pack(const std::string& text, PackedProduct* packed)
    {
        Manifest manifest;
        std::vector<std::string> errors;
        if (ParseManifest(text, "manifest.txt", &manifest, &errors))
            PackManifest(manifest, "manifest.txt", dir_, packed, &errors);
        return errors;
    }

    static std::string Replace(std::string text, const std::string& from, const std::string& to)
    {
        size_t at = text.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
        return text;
    }

    std::string dir_;
    std::string manifest_;
};

TEST_F(PackTest, ProductManifestGivesTheTableOfTheProduct)
{
    PackedProduct packed;
    std::vector<std::string> errors = Pack(manifest_, &packed);
    ASSERT_TRUE(errors.empty()) << errors[0];
    struct Row {
        const char* fileName;
        uint16_t flags;
        const char* shortcutName;
    } expected[] = {
        {"TSXCleanup.exe", 0x0102, "Remove"},         {"TSXCleanup.exe", 0x0202, "-"},
        {"Tessaronix.exe", 0x0101, "Tessaronix"},     {"Tessaronix.exe", 0x0201, "-"},
        {"Tessaronix.chm", 0x0301, "Tessaronix Help"}, {"Catalyne.exe", 0x0101, "Catalyne"},
        {"Catalyne.exe", 0x0201, "-"},                {"Catalyne.chm", 0x0301, "Catalyne Help"},
        {"Upkeep.exe", 0x0301, "Update"},             {"Go Novla.url", 0x0301, "Go Novla"},
        {"Ordering.txt", 0x0301, "-"},                {"Registering.txt", 0x0301, "-"},
        {"TSXCtxMenu.dll", 0x0304, "-"},
    };
    ASSERT_EQ(13, packed.table.entryCount);
    EXPECT_EQ(7, packed.table.shortcutCount);
    for (int i = 0; i < 13; ++i) {
        const PayloadEntry& row = packed.table.rows[i];
        EXPECT_STREQ(expected[i].fileName, row.fileName) << i;
        EXPECT_EQ(expected[i].flags, row.flags) << i;
        EXPECT_STREQ(kResources[i], row.resourceName) << i;
        EXPECT_STREQ(expected[i].shortcutName, row.shortcutName) << i;
        EXPECT_EQ(i == 9, row.storedSize == 0) << i << ": only WEBLINK is raw";
        EXPECT_EQ(row.storedSize ? row.storedSize : row.fileSize, packed.resources[(size_t)i].size()) << i;
    }
    EXPECT_STREQ("NOVLA\\Tessaronix", packed.info.programGroup);
    EXPECT_STREQ("http://www.novla.com/support.html", packed.info.helpLink);
    const FileTimeFields time = {2007, 7, 5, 20, 5, 0, 0, 0};
    EXPECT_EQ(0, memcmp(&time, &packed.info.fileTime, sizeof time));
}

TEST_F(PackTest, BrokenManifestNamesRowAndRule)
{
    struct Case {
        const char* name;
        std::string text;
        const char* expected;  // part of one message
    } cases[] = {
        {"fileName too long", Replace(manifest_, "row = Upkeep.exe ", "row = UpkeepUpkeepUpkeep.exe "),
         "row 8 (UPDATER): fileName \"UpkeepUpkeepUpkeep.exe\" has 22 characters; at most 19 fit"},
        {"shortcutName too long", Replace(manifest_, "| Catalyne Help ", "| Catalyne Help and Index Pages "),
         "row 7 (INDEXERHLP): shortcutName"},
        {"resource used twice", Replace(manifest_, "| ORDER        |", "| REGINFO      |"),
         "row 11 (REGINFO): resourceName REGINFO is already used by row 10"},
        {"pair in two folders", Replace(manifest_, "FOLDER_WINDOWS+OS_MODERN", "FOLDER_PROGRAM+OS_MODERN"),
         "row 1 (CLEANUP_XP): shares its fileName with row 0 but goes to the program folder"},
        {"pair on one generation", Replace(manifest_, "FOLDER_PROGRAM+OS_MODERN | PROGRAM_XP",
                                           "FOLDER_PROGRAM+OS_LEGACY | PROGRAM_XP"),
         "row 3 (PROGRAM_XP): shares its fileName with row 2 and both install on the same Windows generation"},
        {"second of a pair with a shortcut", Replace(manifest_, "| INDEXER_XP   | -   ", "| INDEXER_XP   | Cat "),
         "row 6 (INDEXER_XP): shares its fileName with row 5: only the first row of a pair names a shortcut"},
        {"missing file", Replace(manifest_, "| lzhuf   | CONTEXT", "| lzhuf   | NOSUCHFILE"),
         "row 12 (CONTEXT): cannot read the file"},
        {"unknown flag", Replace(manifest_, "FOLDER_SYSTEM+OS_BOTH", "FOLDER_SYS+OS_BOTH"), "row 12 (CONTEXT): flags"},
        {"no generation", Replace(manifest_, "FOLDER_SYSTEM+OS_BOTH", "FOLDER_SYSTEM"),
         "row 12 (CONTEXT): flags need OS_LEGACY, OS_MODERN or both"},
        {"two folders", Replace(manifest_, "FOLDER_SYSTEM+OS_BOTH", "FOLDER_SYSTEM+FOLDER_WINDOWS+OS_BOTH"),
         "row 12 (CONTEXT): flags need exactly one folder bit"},
        {"unknown bits", Replace(manifest_, "FOLDER_SYSTEM+OS_BOTH", "0x0314"), "row 12 (CONTEXT): flags hold unknown bits"},
        {"shell extension moved", Replace(manifest_, "FOLDER_SYSTEM+OS_BOTH", "FOLDER_PROGRAM+OS_BOTH"),
         "row 12 (CONTEXT): row 12 is the shell extension and goes to the System folder"},
        {"lower-case resource name", Replace(manifest_, "| INDEXERHLP   |", "| indexerhlp   |"),
         "row 7 (indexerhlp): resourceName \"indexerhlp\" must start with A-Z"},
        {"installer's own resource", Replace(manifest_, "| REGINFO      |", "| LICENSE      |"),
         "row 11 (LICENSE): resourceName LICENSE is one of the installer's own texts"},
        {"shortcut on one generation only",
         Replace(manifest_, "Upkeep.exe      | FOLDER_PROGRAM+OS_BOTH", "Upkeep.exe      | FOLDER_PROGRAM+OS_LEGACY"),
         "row 8 (UPDATER): Upkeep.exe is named by a shortcut or by position but is not installed on both"},
        {"shortcut name not a file name", Replace(manifest_, "| Go Novla        |", "| Go/Novla        |"),
         "row 9 (WEBLINK): shortcutName \"Go/Novla\" is not a valid file name"},
        {"storage", Replace(manifest_, "| raw     |", "| zip     |"), "row 9 (WEBLINK): storage \"zip\""},
        {"columns", Replace(manifest_, "| raw     | WEBLINK", "| raw"), "row 9: expected 6 columns"},
        {"fourteen rows", manifest_ + "row = Extra.txt | FOLDER_PROGRAM+OS_BOTH | ORDER2 | - | lzhuf | ORDER\n",
         "14 rows; the file table holds 13"},
        {"helpLink too long",
         Replace(manifest_, "http://www.novla.com/support.html", "http://www.novla.com/tessaronix/support.html"),
         "helpLink \"http://www.novla.com/tessaronix/support.html\" has 44 characters; at most 39 fit"},
        {"no such date", Replace(manifest_, "2007-07-20", "2007-02-30"), "fileTime \"2007-02-30 05:00:00.000\""},
        {"missing key", Replace(manifest_, "publisher    = NOVLA\n", ""), "publisher is missing"},
        {"key twice", Replace(manifest_, "publisher    = NOVLA\n", "publisher = NOVLA\nversion = 5.01\n"),
         "version given twice"},
        {"unknown key", Replace(manifest_, "publisher ", "vendor "), "unknown key \"vendor\""},
        {"not key = value", manifest_ + "just words\n", "expected \"key = value\""},
    };
    for (const Case& c : cases) {
        PackedProduct packed;
        std::vector<std::string> errors = Pack(c.text, &packed);
        bool found = false;
        for (const std::string& e : errors)
            found = found || e.find(c.expected) != std::string::npos;
        EXPECT_TRUE(found) << c.name << ": no message with \"" << c.expected << "\"; first: "
                           << (errors.empty() ? std::string("(none)") : errors[0]);
    }
}

TEST_F(PackTest, EmptyFileIsRefused)
{
    WriteFile("ORDER", "");
    PackedProduct packed;
    std::vector<std::string> errors = Pack(manifest_, &packed);
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find("row 10 (ORDER): the file is empty")) << errors[0];
}

TEST_F(PackTest, WrittenSourceAndScriptDescribeThePayload)
{
    PackedProduct packed;
    ASSERT_TRUE(Pack(manifest_, &packed).empty());
    std::string source = ProductSource(packed, "manifest.txt");
    EXPECT_NE(std::string::npos, source.find("\"NOVLA\\\\Tessaronix\""));
    EXPECT_NE(std::string::npos, source.find("{2007, 7, 5, 20, 5, 0, 0, 0}"));
    char row9[120];
    snprintf(row9, sizeof row9, "{\"Go Novla.url\", 0x0301, \"WEBLINK\", \"Go Novla\", %u, 0},",
             packed.table.rows[9].fileSize);
    EXPECT_NE(std::string::npos, source.find(row9)) << source;
    std::string script = PayloadScript(packed);
    EXPECT_NE(std::string::npos, script.find("\nWEBLINK RCDATA \"payload/WEBLINK.raw\"\n"));
    EXPECT_NE(std::string::npos, script.find("\nCONTEXT RCDATA \"payload/CONTEXT.lzh\"\n"));

    // Written out twice from the same inputs: the same bytes.
    std::string out = dir_ + "/out";
    std::vector<std::string> errors;
    ASSERT_TRUE(WritePackedProduct(packed, "manifest.txt", out, &errors));
    std::string first = ReadText(out + "/product_data.cpp") + ReadText(out + "/payload.rc") +
                        ReadText(out + "/payload/PROGRAM_98.lzh");
    PackedProduct again;
    ASSERT_TRUE(Pack(manifest_, &again).empty());
    ASSERT_TRUE(WritePackedProduct(again, "manifest.txt", out, &errors));
    EXPECT_EQ(first, ReadText(out + "/product_data.cpp") + ReadText(out + "/payload.rc") +
                         ReadText(out + "/payload/PROGRAM_98.lzh"));
    EXPECT_EQ(source, ReadText(out + "/product_data.cpp"));
}

TEST(ManifestDates, DayOfWeek)
{
    struct Case {
        unsigned year, month, day, expected;
    } cases[] = {
        {2007, 7, 20, 5}, {2000, 2, 29, 2}, {2024, 1, 1, 1}, {1601, 1, 1, 1}, {2007, 12, 31, 1}, {1999, 3, 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, DayOfWeek(c.year, c.month, c.day)) << c.year << "-" << c.month << "-" << c.day;
}

}  // namespace
