// The packer's side of the file table: the product manifest read into the
// records, every rule a broken manifest can break (each reported with its
// row), and the source and resource script it writes.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "file_io.h"
#include "manifest.h"
#include "pack.h"

namespace {

// The columns of each "row =" line of manifest text, read here on their own
// (split on '|', trimmed), as the expectation the packer's reading must meet.
std::vector<std::vector<std::string>> RowColumns(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line, column;
    while (std::getline(lines, line)) {
        if (line.compare(0, 4, "row ") != 0)
            continue;
        std::istringstream columns(line.substr(line.find('=') + 1));
        rows.emplace_back();
        while (std::getline(columns, column, '|'))
            rows.back().push_back(column.substr(column.find_first_not_of(' '),
                                                column.find_last_not_of(' ') - column.find_first_not_of(' ') + 1));
    }
    return rows;
}

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
        rows_ = RowColumns(manifest_);
        ASSERT_FALSE(rows_.empty());
        // Small files that compress: a few hundred bytes each.
        for (const std::vector<std::string>& row : rows_) {
            std::string content;
            for (int i = 0; i < 20; ++i)
                content += "MZ " + row[5] + " " + std::to_string(i * i) + "\r\n";
            WriteFile(row[5], content);
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
    std::vector<std::vector<std::string>> rows_;  // the columns of each row
};

TEST_F(PackTest, ProductManifestGivesTheTableOfTheProduct)
{
    PackedProduct packed;
    std::vector<std::string> errors = Pack(manifest_, &packed);
    ASSERT_TRUE(errors.empty()) << errors[0];
    // The flags the product's rows use, and their bits.
    const std::map<std::string, uint16_t> bits = {
        {"FOLDER_WINDOWS+OS_LEGACY", 0x0102}, {"FOLDER_WINDOWS+OS_MODERN", 0x0202},
        {"FOLDER_PROGRAM+OS_LEGACY", 0x0101}, {"FOLDER_PROGRAM+OS_MODERN", 0x0201},
        {"FOLDER_PROGRAM+OS_BOTH", 0x0301},   {"FOLDER_SYSTEM+OS_BOTH", 0x0304},
    };
    ASSERT_EQ(rows_.size(), (size_t)packed.table.rowCount);
    int shortcuts = 0;
    for (int i = 0; i < packed.table.rowCount; ++i) {
        const PayloadRow& row = packed.table.rows[i];
        const std::vector<std::string>& columns = rows_[(size_t)i];
        ASSERT_EQ(6u, columns.size()) << i;
        EXPECT_EQ(columns[0], row.fileName) << i;
        EXPECT_EQ(bits.at(columns[1]), row.flags) << i;
        EXPECT_EQ(columns[2], row.resourceName) << i;
        EXPECT_EQ(columns[3], row.shortcutName) << i;
        shortcuts += columns[3] != "-";
        EXPECT_EQ(columns[4] == "raw", row.storedSize == 0) << i << ": " << columns[4];
        EXPECT_EQ(row.storedSize ? row.storedSize : row.fileSize, packed.resources[(size_t)i].size()) << i;
    }
    EXPECT_EQ(shortcuts, packed.table.shortcutCount);
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
    std::string script = PayloadScript(packed);
    for (int i = 0; i < packed.table.rowCount; ++i) {
        const PayloadRow& row = packed.table.rows[i];
        char line[200];
        snprintf(line, sizeof line, "{\"%s\", 0x%04X, \"%s\", \"%s\", %u, %u},", row.fileName, row.flags,
                 row.resourceName, row.shortcutName, row.fileSize, row.storedSize);
        EXPECT_NE(std::string::npos, source.find(line)) << source;
        const std::string resource = row.resourceName;
        EXPECT_NE(std::string::npos, script.find("\n" + resource + " RCDATA \"payload/" + resource +
                                                 (row.storedSize ? ".lzh" : ".raw") + "\"\n")) << script;
    }

    // Written out twice from the same inputs: the same bytes.
    std::string out = dir_ + "/out";
    std::vector<std::string> errors;
    ASSERT_TRUE(WritePackedProduct(packed, "manifest.txt", out, &errors));
    const std::string stream = out + "/payload/" + packed.table.rows[ROW_MAIN_PROGRAM].resourceName + ".lzh";
    std::string first = ReadText(out + "/product_data.cpp") + ReadText(out + "/payload.rc") + ReadText(stream);
    PackedProduct again;
    ASSERT_TRUE(Pack(manifest_, &again).empty());
    ASSERT_TRUE(WritePackedProduct(again, "manifest.txt", out, &errors));
    EXPECT_EQ(first, ReadText(out + "/product_data.cpp") + ReadText(out + "/payload.rc") + ReadText(stream));
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
