// The rules a typed program folder must meet, and the folder committed for it.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "payload/product.h"
#include "record/install_record.h"
#include "tests/host/common/char_model.h"
#include "tests/host/wizard/typed_folders.h"
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
    table.rowCount = 1;
    memset(table.rows[0].fileName, 'n', sizeof table.rows[0].fileName);  // no terminator
    EXPECT_EQ(sizeof table.rows[0].fileName, LongestFileName(&table));
    table.rowCount = 500;  // a count beyond the rows is not followed
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
        {FOLDER_NO_LETTER, "Path Invalid!\r\n\r\nThe drive must be a letter."},
        {FOLDER_NOT_PLAIN, "Path Invalid!\r\n\r\nA folder name may not be empty, . or .., end in a dot or a space, "
                           "or hold / * ? \" < > | :"},
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

// The page committed folders the uninstaller's rule refused, so a removal
// left the whole installation behind: every folder the page accepts must be
// one the uninstaller's record scope takes files from.
TEST(FolderRules, WhatThePageCommitsTheUninstallerAccepts)
{
    const model::CodePage& shiftJis = model::kCodePages[1];
    ASSERT_EQ(932u, shiftJis.number);
    static RecordView view;
    for (const typed::Folder& f : typed::kFolders) {
        SetLeadByteRanges(f.shiftJis ? shiftJis.leadBytes : nullptr);
        Result r = Check(f.typed);
        EXPECT_EQ(f.verdict, r.verdict) << f.typed;
        EXPECT_EQ(f.committed, r.committed) << f.typed;
        // The record such an installation writes, read back by the uninstaller.
        std::string record = std::string(kRecordHeader) + "I\t0\t" + r.committed + "\r\nF\t0\t" + r.committed +
                             (EndsWithSeparator(r.committed.c_str()) ? "" : "\\") + "Tessaronix.exe\r\n";
        ASSERT_TRUE(ParseRecord(&record[0], record.size(), &view));
        const UndoScope scope = {"C:\\WINDOWS", "C:\\WINDOWS\\system32", {"", ""}, {"", ""}, &g_productNames};
        unsigned order[RECORD_ENTRY_CAPACITY], refused = 99;
        unsigned planned = PlanUndo(&view, &scope, order, RECORD_ENTRY_CAPACITY, &refused);
        EXPECT_EQ(f.verdict == FOLDER_ACCEPTED ? 1u : 0u, planned) << f.typed;
        EXPECT_EQ(f.verdict == FOLDER_ACCEPTED, IsSoundProgramFolder(r.committed.c_str(), "Tessaronix")) << f.typed;
        SetLeadByteRanges(nullptr);
    }
}

}  // namespace
