// The rules a typed program folder must meet, and the folder committed for it.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "payload/product.h"
#include "wizard/folder_rules.h"

namespace {

struct Result {
    FolderVerdict verdict;
    std::string committed;
};

Result Check(const std::string& typed, size_t longest = 15)
{
    char committed[260];
    memset(committed, 'x', sizeof committed);
    FolderVerdict verdict = CheckInstallFolder(typed.c_str(), "Tessaronix", longest, committed, sizeof committed);
    return {verdict, committed};
}

TEST(FolderRules, RejectsWithTheReasonShown)
{
    struct Case {
        const char* typed;
        FolderVerdict verdict;
    } cases[] = {
        {"", FOLDER_EMPTY},           {"D:", FOLDER_NO_DRIVE},     {"D:folder", FOLDER_NO_DRIVE},
        {"\\\\server\\share", FOLDER_NO_DRIVE}, {" C:\\x", FOLDER_NO_DRIVE}, {"C", FOLDER_NO_DRIVE},
        {"C:/x", FOLDER_NO_DRIVE},    {"C:\\", FOLDER_ROOT},       {"1:\\", FOLDER_ROOT},
    };
    for (const Case& c : cases) {
        Result r = Check(c.typed);
        EXPECT_EQ(c.verdict, r.verdict) << c.typed;
        EXPECT_EQ("", r.committed) << c.typed;
    }
}

TEST(FolderRules, AppendsTheProductNameUnlessItIsThere)
{
    struct Case {
        const char* typed;
        const char* committed;
    } cases[] = {
        {"c:\\apps", "c:\\apps\\Tessaronix"},
        {"c:\\apps\\", "c:\\apps\\Tessaronix"},
        {"C:\\x", "C:\\x\\Tessaronix"},
        {"1:\\x", "1:\\x\\Tessaronix"},  // the drive letter is not checked
        {"C:\\Apps\\TESSARONIX", "C:\\Apps\\TESSARONIX"},
        {"C:\\Apps\\Tessaronix2\\Bin", "C:\\Apps\\Tessaronix2\\Bin"},
        {"C:\\OldTessaronix", "C:\\OldTessaronix"},
        {"C:\\Tessaronix", "C:\\Tessaronix"},
        {"C:\\Tessaroni", "C:\\Tessaroni\\Tessaronix"},
    };
    for (const Case& c : cases) {
        Result r = Check(c.typed);
        EXPECT_EQ(FOLDER_ACCEPTED, r.verdict) << c.typed;
        EXPECT_EQ(c.committed, r.committed) << c.typed;
    }
}

TEST(FolderRules, RejectsAFolderWhoseFilesWouldNotFit)
{
    // With the name in it the folder is kept as typed: 243 characters leave
    // room for a backslash and a 15-character file name within 259.
    std::string fits = "C:\\Tessaronix\\" + std::string(243 - 14, 'a');
    ASSERT_EQ(243u, fits.size());
    EXPECT_EQ(FOLDER_ACCEPTED, Check(fits).verdict);
    EXPECT_EQ(fits, Check(fits).committed);
    EXPECT_EQ(FOLDER_TOO_LONG, Check(fits + "a").verdict);
    EXPECT_EQ("", Check(fits + "a").committed);

    // Without it, the appended "\Tessaronix" counts too.
    std::string bare = "C:\\" + std::string(232 - 3, 'b');
    ASSERT_EQ(232u, bare.size());
    EXPECT_EQ(bare + "\\Tessaronix", Check(bare).committed);
    EXPECT_EQ(FOLDER_TOO_LONG, Check(bare + "b").verdict);

    // The longest 259 characters the edit box takes, and a longer one.
    EXPECT_EQ(FOLDER_TOO_LONG, Check("C:\\" + std::string(256, 'c')).verdict);
    EXPECT_EQ(FOLDER_TOO_LONG, Check("C:\\" + std::string(1000, 'c')).verdict);
    // The backslash before a file name counts even for the shortest name.
    EXPECT_EQ(FOLDER_ACCEPTED, Check("C:\\Tessaronix" + std::string(245, 'd'), 0).verdict);
    EXPECT_EQ(FOLDER_TOO_LONG, Check("C:\\Tessaronix" + std::string(246, 'd'), 0).verdict);
}

TEST(FolderRules, LongestFileNameOfTheTable)
{
    EXPECT_EQ(strlen("Registering.txt"), LongestFileName(&g_payloadTable));
    PayloadTable table{};
    EXPECT_EQ(0u, LongestFileName(&table));
    table.entryCount = 1;
    memset(table.rows[0].fileName, 'n', sizeof table.rows[0].fileName);  // no terminator
    EXPECT_EQ(sizeof table.rows[0].fileName, LongestFileName(&table));
    table.entryCount = 500;  // a count beyond the rows is not followed
    EXPECT_EQ(sizeof table.rows[0].fileName, LongestFileName(&table));
}

TEST(FolderRules, MessagesAsTheUserReadsThem)
{
    struct Case {
        FolderVerdict verdict;
        const char* text;
    } cases[] = {
        {FOLDER_EMPTY, "Path Invalid!\r\n\r\nPath may not be empty!"},
        {FOLDER_NO_DRIVE, "Path Invalid!\r\n\r\nMissing : or \\ in drive."},
        {FOLDER_ROOT, "Path Invalid!\r\n\r\nPath may not be a root drive..."},
        {FOLDER_TOO_LONG, "Path Invalid!\r\n\r\nPath is too long for the program files!"},
    };
    for (const Case& c : cases) {
        char out[128];
        ASSERT_TRUE(FormatFolderMessage(out, sizeof out, c.verdict));
        EXPECT_STREQ(c.text, out);
    }
    char out[128] = "x";
    EXPECT_FALSE(FormatFolderMessage(out, sizeof out, FOLDER_ACCEPTED));
    EXPECT_STREQ("", out);
}

}  // namespace
