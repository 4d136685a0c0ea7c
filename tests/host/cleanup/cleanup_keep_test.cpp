// What the uninstaller keeps in the record after its run: the lines of what
// is left, byte for byte, and the reasons it gives for what it left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleanup/cleanup_keep.h"

namespace {

#define BOB_PROGRAMS "C:\\Documents and Settings\\Bob\\Start Menu\\Programs"
#define ODD "C:\\Apps\\..\\Tessaronix"

// Refused entries used to leave the record with the undone ones, so that a
// second run said nothing was installed over what was still there.
TEST(CleanupKeep, KeepsEveryLineLeftAndDropsOnlyWhatWasUndone)
{
    struct Line {
        std::string text;  // without CR LF
        UndoOutcome outcome;  // of the entry it reads as; ignored for lines that read as none
        bool stays;
    };
    const std::vector<Line> lines = {
        {"I\t0\t" ODD, UNDO_NOTHING, true},
        {"C\t1252", UNDO_NOTHING, true},
        {"F\t0\t" ODD "\\Tessaronix.exe", UNDO_REFUSED, true},
        {"F\t0\tC:\\Windows\\TSXCleanup.exe", UNDO_SCHEDULED_SELF, false},
        {"F\t7\tC:\\x", UNDO_NOTHING, true},  // malformed: kept as it is
        {std::string("F\t0\tC:\\a\0b", 11), UNDO_NOTHING, true},  // a NUL inside: malformed
        {"L\t0\t" BOB_PROGRAMS "\\NOVLA\\Tessaronix\\Remove.lnk", UNDO_REFUSED, true},
        {"K\tHKCR\t.n_tsx", UNDO_FAILED, true},
        {"K\tHKCR\t.n_tsx\\x", UNDO_DONE, false},
        {"V\tHKCR\t.n_tsx\t\t1\t00", UNDO_KEPT_KEY, false},
    };
    std::string record = kRecordHeader, expected = kRecordHeader;
    std::vector<UndoOutcome> outcomes;
    for (const Line& line : lines) {
        record += line.text + "\r\n";
        if (line.stays)
            expected += line.text + "\r\n";
    }
    static RecordView view;
    for (const std::string& cut : {std::string(""), std::string("F\t0\tC:\\Windows\\Upk")}) {
        std::string text = record + cut, bytes = text;
        ASSERT_TRUE(ParseRecord(&text[0], text.size(), &view));
        ASSERT_EQ(8u, view.entryCount);
        outcomes.clear();
        for (const Line& line : lines)
            if (line.text.find('\0') == std::string::npos && line.text != "F\t7\tC:\\x")
                outcomes.push_back(line.outcome);
        size_t size = bytes.size();
        unsigned kept = 99;
        ASSERT_TRUE(KeepRecordLines(&bytes[0], &size, &view, outcomes.data(), &kept));
        EXPECT_EQ(expected, bytes.substr(0, size)) << "cut: " << cut;
        EXPECT_EQ(5u, kept);
    }

    // Nothing left but the scope lines: nothing kept, the record may go.
    std::string done = std::string(kRecordHeader) + "I\t0\tC:\\Tessaronix\r\nF\t0\tC:\\Tessaronix\\Upkeep.exe\r\n";
    std::string bytes = done;
    ASSERT_TRUE(ParseRecord(&done[0], done.size(), &view));
    UndoOutcome removed[] = {UNDO_NOTHING, UNDO_DONE};
    size_t size = bytes.size();
    unsigned kept = 99;
    ASSERT_TRUE(KeepRecordLines(&bytes[0], &size, &view, removed, &kept));
    EXPECT_EQ(0u, kept);
    // Text that is not what the view was read from is refused.
    std::string other = std::string(kRecordHeader) + "C\t1252\r\nF\t0\tC:\\Tessaronix\\Upkeep.exe\r\n";
    size = other.size();
    EXPECT_FALSE(KeepRecordLines(&other[0], &size, &view, removed, &kept));
}

// The tail past RECORD_ENTRY_CAPACITY was dropped from the record unread.
TEST(CleanupKeep, KeepsTheLinesPastTheEntriesRead)
{
    std::string record = kRecordHeader, tail;
    for (unsigned i = 0; i < RECORD_ENTRY_CAPACITY; ++i)
        record += "K\tHKCR\t.n_tsx\r\n";
    for (unsigned i = 0; i < 3; ++i)
        tail += "F\t0\tC:\\Tessaronix\\Upkeep.exe\r\n";
    record += tail;
    std::string bytes = record;
    static RecordView view;
    ASSERT_TRUE(ParseRecord(&record[0], record.size(), &view));
    ASSERT_EQ(3u, view.unreadCount);
    std::vector<UndoOutcome> outcomes(RECORD_ENTRY_CAPACITY, UNDO_DONE);
    size_t size = bytes.size();
    unsigned kept = 0;
    ASSERT_TRUE(KeepRecordLines(&bytes[0], &size, &view, outcomes.data(), &kept));
    EXPECT_EQ(std::string(kRecordHeader) + tail, bytes.substr(0, size));
    EXPECT_EQ(3u, kept);
}

TEST(CleanupKeep, NamesWhyARefusedEntryWasLeftAlone)
{
    std::string text = std::string(kRecordHeader) + "I\t0\t" ODD "\r\nI\t0\tC:\\Tessaronix\r\nI\t1\tc:\\apps\\..\\TESSARONIX\\\r\n";
    static RecordView view;
    ASSERT_TRUE(ParseRecord(&text[0], text.size(), &view));
    const char* const odd = view.entries[0].path;
    struct Case {
        char kind;
        const char* path;
        bool otherAccount;
        const char* unsoundFolder;
    } cases[] = {
        {'L', BOB_PROGRAMS "\\NOVLA\\Tessaronix\\Catalyne Help.lnk", true, nullptr},
        {'L', "C:\\Documents and Settings\\Bob\\Desktop\\tessaronix.lnk", true, nullptr},
        {'L', "C:\\Tessaronix.lnk", false, nullptr},  // a drive root is no account's folder
        {'L', BOB_PROGRAMS "\\NOVLA\\Tessaronix\\Other.lnk", false, nullptr},
        {'D', BOB_PROGRAMS "\\NOVLA", true, nullptr},
        {'D', BOB_PROGRAMS "\\NOVLA\\Tessaronix", true, nullptr},
        {'D', BOB_PROGRAMS "\\NOVLA\\Other", false, nullptr},
        {'D', "C:\\NOVLA", false, nullptr},
        {'F', BOB_PROGRAMS "\\NOVLA\\Tessaronix\\Remove.lnk", false, nullptr},
        {'F', ODD "\\Tessaronix.exe", false, odd},
        {'F', "C:\\APPS\\..\\Tessaronix\\notes.txt", false, odd},  // the oldest spelling stands for all
        {'D', "C:\\Apps", false, odd},                            // a parent
        {'D', ODD "\\Sub", false, odd},
        {'F', "C:\\Tessaronix\\Tessaronix.exe", false, nullptr},  // a sound folder
        {'K', ".n_tsx", false, nullptr},
    };
    for (const Case& c : cases) {
        RecordEntry entry = {c.kind, 0, 0, c.path, nullptr, 0, nullptr, 0};
        EXPECT_EQ(c.otherAccount, IsAnotherAccountsShortcut(&entry, &g_productNames)) << c.path;
        EXPECT_EQ(c.unsoundFolder, UnsoundProgramFolderOf(&entry, &view, "Tessaronix")) << c.path;
    }
}

}  // namespace
