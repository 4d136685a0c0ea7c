// The installation record: lines written and read back, whole records of
// two installations (one cut off mid-line), and the scope that keeps a
// damaged or hostile record from undoing anything but the product's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/install_record.h"

namespace {

#define ANN_PROGRAMS "C:\\Documents and Settings\\Ann\\Start Menu\\Programs"
#define ALL_PROGRAMS "C:\\Documents and Settings\\All Users\\Start Menu\\Programs"
#define ANN_DESKTOP "C:\\Documents and Settings\\Ann\\Desktop"
#define PROGRAM "C:\\Program Files\\Novla\\Tessaronix"
// The uninstaller's view of Windows; the installer recorded "C:\Windows".
const UndoScope kScope = {"C:\\WINDOWS", "C:\\WINDOWS\\system32", {ANN_PROGRAMS, ALL_PROGRAMS}, {ANN_DESKTOP, ""},
                          &g_productNames};

struct LineCase {
    std::string line;  // without its CR LF
    bool valid;
};

TEST(InstallRecord, LinesRoundTripAndMalformedOnesAreRefused)
{
    const LineCase cases[] = {
        {"I\t1\t" PROGRAM, true},
        {"D\tC:\\Program Files\\Novla", true},
        {"F\t0\tC:\\Windows\\TSXCleanup.exe", true},
        {"L\t1\t" ANN_DESKTOP "\\Tessaronix.lnk", true},
        {"K\tHKCR\t.n_tsx", true},
        {"V\tHKLM\tSoftware\\Novla\\Programs\tTessaronix\t-\t", true},
        {"V\tHKCR\t.n_tsx\t\t1\t6E5F74737846696C6500", true},  // the default value, REG_SZ
        {"V\tHKLM\tk\tn\t4\t", true},                           // existed with no data
        {"V\tHKLM\tk\tn\t4294967295\t00FF", true},
        {"V\tHKLM\tk\tn\t1\t" + std::string(2 * RECORD_DATA_CAPACITY, 'A'), true},
        {"D\tC:\\" + std::string(RECORD_PATH_LENGTH - 3, 'a'), true},
        {"C\t932", true},
        {"C\t65535", true},
        {"", false},
        {"X\tC:\\a", false},                 // unknown kind
        {"FF\t0\tC:\\a", false},             // kind of two letters
        {"D\t", false},                      // empty path
        {"K\tHKLM", false},                  // too few fields
        {"F\t0\tC:\\a\tb", false},           // a TAB inside the path: too many fields
        {"F\t0\tC:\\a\rb", false},           // CR inside a field
        {"F\t2\tC:\\a", false},              // flag 2
        {"F\t01\tC:\\a", false},
        {"K\tHKCU\tSoftware", false},        // a root the installer never writes
        {"K\thklm\tSoftware", false},
        {"V\tHKLM\tk\tn\t1\tABC", false},    // odd hex
        {"V\tHKLM\tk\tn\t1\tab", false},     // lower-case hex
        {"V\tHKLM\tk\tn\t-\t00", false},     // data for a value that did not exist
        {"V\tHKLM\tk\tn\t\t00", false},      // no type
        {"V\tHKLM\tk\tn\t01\t00", false},    // leading zero
        {"V\tHKLM\tk\tn\t4294967296\t", false},
        {"V\tHKLM\tk\tn\t1\t" + std::string(2 * RECORD_DATA_CAPACITY + 2, 'A'), false},  // data too long
        {"D\tC:\\" + std::string(RECORD_PATH_LENGTH - 2, 'a'), false},                  // path too long
        {"C\t0", false},
        {"C\t65536", false},
        {"C\t0932", false},
        {"C\t932\tx", false},
        {"M\t1\t" PROGRAM "\t" PROGRAM ".previous", true},
        {"M\t0\tC:\\Windows\\TSXCleanup.exe\tC:\\Windows\\TSXCleanup.exe.previous", true},
        {"M\t1\t" PROGRAM "\tC:\\Program Files\\Novla\\Other.previous", false},  // moved anywhere else
        {"M\t1\t" PROGRAM "\t" PROGRAM ".PREVIOUS", false},
        {"M\t1\t" PROGRAM "\\\t" PROGRAM "\\.previous", false},  // a separator before the suffix
        {"M\t1\tC:\\\tC:\\.previous", false},                    // a drive root
        {"M\t2\t" PROGRAM "\t" PROGRAM ".previous", false},
        {"M\t1\t" PROGRAM, false},
        {"M\t1\tC:\\" + std::string(RECORD_PATH_LENGTH - 3 - 9, 'a') + "\tC:\\" +
             std::string(RECORD_PATH_LENGTH - 3 - 9, 'a') + ".previous", true},
        {"M\t1\tC:\\" + std::string(RECORD_PATH_LENGTH - 3 - 8, 'a') + "\tC:\\" +
             std::string(RECORD_PATH_LENGTH - 3 - 8, 'a') + ".previous", false},  // the backup does not fit
    };
    for (const LineCase& c : cases) {
        std::vector<char> line(c.line.begin(), c.line.end());
        line.push_back('\0');
        RecordEntry entry;
        uint8_t data[RECORD_DATA_CAPACITY];
        ASSERT_EQ(c.valid, ParseRecordLine(line.data(), &entry, data, sizeof data)) << c.line.substr(0, 60);
        if (!c.valid) {
            EXPECT_EQ(0, entry.kind);
            continue;
        }
        char out[RECORD_LINE_CAPACITY];
        ASSERT_TRUE(FormatRecordLine(out, sizeof out, &entry)) << c.line.substr(0, 60);
        EXPECT_EQ(c.line + "\r\n", out);
    }

    // The writer refuses what the reader would: TAB, CR or LF in a field,
    // data beyond the limit; and a line that does not fit is not cut.
    const uint8_t bytes[RECORD_DATA_CAPACITY + 1] = {};
    std::string key(RECORD_KEY_LENGTH, 'k'), name(RECORD_NAME_LENGTH, 'n');
    RecordEntry longest = {RECORD_VALUE, 1, REGISTRY_HKLM, key.c_str(), name.c_str(), 4294967295u, bytes,
                           RECORD_DATA_CAPACITY};
    char out[RECORD_LINE_CAPACITY];
    EXPECT_TRUE(FormatRecordLine(out, sizeof out, &longest));
    EXPECT_EQ(RECORD_LINE_CAPACITY - 1, (int)strlen(out));
    EXPECT_FALSE(FormatRecordLine(out, sizeof out - 1, &longest));
    EXPECT_STREQ("", out);
    longest.dataSize = RECORD_DATA_CAPACITY + 1;
    EXPECT_FALSE(FormatRecordLine(out, sizeof out + 2, &longest));
    for (const char* path : {"C:\\a\tb", "C:\\a\nb", ""}) {
        RecordEntry file = {RECORD_FILE, 0, 0, path, nullptr, 0, nullptr, 0};
        EXPECT_FALSE(FormatRecordLine(out, sizeof out, &file)) << path;
    }
}

// Two installations into the same folder, the second for all users.
const char kTwoInstallations[] =
    "NOVLA Setup installation record 1\r\n"
    "I\t0\t" PROGRAM "\r\n"                                                  // 0
    "D\tC:\\Program Files\\Novla\r\n"                                        // 1
    "D\t" PROGRAM "\r\n"                                                     // 2
    "F\t0\tC:\\Windows\\TSXCleanup.exe\r\n"                                  // 3
    "F\t0\t" PROGRAM "\\Tessaronix.exe\r\n"                                  // 4
    "D\t" ANN_PROGRAMS "\\NOVLA\r\n"                                         // 5
    "D\t" ANN_PROGRAMS "\\NOVLA\\Tessaronix\r\n"                             // 6
    "L\t0\t" ANN_PROGRAMS "\\NOVLA\\Tessaronix\\Remove.lnk\r\n"              // 7
    "K\tHKLM\tSoftware\\Novla\\Programs\r\n"                                 // 8
    "V\tHKLM\tSoftware\\Novla\\Programs\tTessaronix\t-\t\r\n"                // 9
    "I\t1\t" PROGRAM "\\\r\n"                                                // 10
    "F\t1\tC:\\WINDOWS\\tsxcleanup.exe\r\n"                                  // 11, as 3
    "F\t1\t" PROGRAM "\\Tessaronix.exe\r\n"                                  // 12, as 4
    "D\t" ALL_PROGRAMS "\\NOVLA\r\n"                                         // 13
    "L\t0\t" ALL_PROGRAMS "\\NOVLA\\Tessaronix\\Remove.lnk\r\n"              // 14
    "V\tHKLM\tsoftware\\novla\\programs\tTESSARONIX\t1\t433A5C00\r\n"        // 15, as 9
    "F\t0\tC:\\Windows\\System32\\kernel32.dll\r\n";                         // 16, refused

struct RecordCase {
    const char* what;
    std::string text;
    bool read;
    std::vector<unsigned> order;  // newest first
    unsigned refused, malformed;
    bool cutLine;
};

TEST(InstallRecord, UndoesNewestFirstKeepingTheOldestEntryOfEachItem)
{
    std::string whole = kTwoInstallations;
    size_t line11 = whole.find("F\t1\tC:\\WINDOWS");
    const RecordCase cases[] = {
        {"two installations", whole, true, {14, 13, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 1, 0, false},
        {"cut in line 11", whole.substr(0, line11 + 10), true, {9, 8, 7, 6, 5, 4, 3, 2, 1}, 0, 0, true},
        {"a malformed line skipped", whole.substr(0, line11) + "F\t7\tC:\\x\r\n" + whole.substr(line11), true,
         {14, 13, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 1, 1, false},
        {"damaged header", "NOVLA Setup installation record 2\r\n" + whole.substr(35), false, {}, 0, 0, false},
        {"header alone", whole.substr(0, 35), true, {}, 0, 0, false},
        {"nothing", "", false, {}, 0, 0, false},
    };
    static RecordView view;
    for (const RecordCase& c : cases) {
        std::vector<char> text(c.text.begin(), c.text.end());
        ASSERT_EQ(c.read, ParseRecord(text.data(), text.size(), &view)) << c.what;
        EXPECT_EQ(c.malformed, view.malformedCount) << c.what;
        EXPECT_EQ(c.cutLine, view.cutLine) << c.what;
        unsigned order[RECORD_ENTRY_CAPACITY];
        unsigned refused = 99;
        unsigned count = c.read ? PlanUndo(&view, &kScope, order, RECORD_ENTRY_CAPACITY, &refused) : 0;
        EXPECT_EQ(c.order, std::vector<unsigned>(order, order + count)) << c.what;
        if (c.read)
            EXPECT_EQ(c.refused, refused) << c.what;
    }
}

TEST(InstallRecord, ARunIsUndoneOnItsOwnAndItsMoveLinesAreLeftToTheSettling)
{
    // The second run cut off: its own entries, each as it recorded it,
    // though the first run names the same items.
    std::string text = std::string(kTwoInstallations) +
                       "M\t1\tC:\\WINDOWS\\tsxcleanup.exe\tC:\\WINDOWS\\tsxcleanup.exe.previous\r\n";
    static RecordView view;
    ASSERT_TRUE(ParseRecord(&text[0], text.size(), &view));
    ASSERT_EQ(18u, view.entryCount);
    unsigned order[RECORD_ENTRY_CAPACITY], refused = 99;
    unsigned count = PlanUndo(&view, &kScope, order, RECORD_ENTRY_CAPACITY, &refused);
    EXPECT_EQ((std::vector<unsigned>{14, 13, 9, 8, 7, 6, 5, 4, 3, 2, 1}), std::vector<unsigned>(order, order + count));
    count = PlanRunUndo(&view, 10, &kScope, order, RECORD_ENTRY_CAPACITY, &refused);
    EXPECT_EQ((std::vector<unsigned>{15, 14, 13, 12, 11}), std::vector<unsigned>(order, order + count));
    EXPECT_EQ(1u, refused);
    EXPECT_EQ(0u, PlanRunUndo(&view, 99, &kScope, order, RECORD_ENTRY_CAPACITY, &refused));
}

TEST(InstallRecord, EachRunNamesItsCodePage)
{
    static RecordView view;
    std::string text = std::string(kRecordHeader) + "I\t0\t" PROGRAM "\r\nC\t932\r\nF\t0\t" PROGRAM
                       "\\Tessaronix.exe\r\nI\t0\t" PROGRAM "\r\nC\t1252\r\n";
    ASSERT_TRUE(ParseRecord(&text[0], text.size(), &view));
    EXPECT_EQ(1252u, ForeignCodePage(&view, 932));
    EXPECT_EQ(932u, ForeignCodePage(&view, 1252));
    EXPECT_EQ(932u, ForeignCodePage(&view, 936));
    // Neither undone nor refused: it names nothing.
    unsigned order[RECORD_ENTRY_CAPACITY], refused = 99;
    ASSERT_EQ(1u, PlanUndo(&view, &kScope, order, RECORD_ENTRY_CAPACITY, &refused));
    EXPECT_EQ(2u, order[0]);
    EXPECT_EQ(0u, refused);
    // A record of runs that named none was written here.
    std::string old = kTwoInstallations;
    ASSERT_TRUE(ParseRecord(&old[0], old.size(), &view));
    EXPECT_EQ(0u, ForeignCodePage(&view, 950));
}

struct ScopeCase {
    char kind;
    uint8_t root;
    const char* path;
    const char* valueName;
    bool inScope;
};

TEST(InstallRecord, OnlyTheProductsOwnItemsAreInScope)
{
    const struct {
        const char* folder;
        bool sound;
    } folders[] = {
        {PROGRAM, true},
        {"d:\\apps\\TESSARONIX\\", true},  // one trailing backslash ignored
        {"C:\\", false},
        {"C:\\Windows\\..\\Tessaronix", false},
        {"C:\\Tessaronix\\.", false},
        {"C:\\Apps\\Tessaronix.", false},  // Windows would drop the dot
        {"C:\\Apps/..\\Tessaronix", false},
        {"C:\\Apps\\\\Tessaronix", false},
        {"C:\\Apps\\Tessaronix\\\\", false},
        {"C:\\Tessaronix\\a:b", false},
        {"C:\\Apps", false},  // no product name
        {"\\\\server\\share\\Tessaronix", false},
        {"C:Tessaronix", false},
    };
    for (const auto& f : folders)
        EXPECT_EQ(f.sound, IsSoundProgramFolder(f.folder, "Tessaronix")) << f.folder;
    EXPECT_FALSE(IsSoundProgramFolder(("C:\\Tessaronix\\" + std::string(246, 'a')).c_str(), "Tessaronix"));

    const ScopeCase cases[] = {
        {'F', 0, "C:\\Windows\\TSXCleanup.exe", nullptr, true},
        {'F', 0, "C:\\Windows\\System32\\TSXCtxMenu.dll", nullptr, true},
        {'F', 0, PROGRAM "\\Go Novla.url", nullptr, true},
        {'F', 0, "C:\\Windows\\System32\\kernel32.dll", nullptr, false},
        {'F', 0, "C:\\Windows\\System32\\Tessaronix.exe\\x", nullptr, false},
        {'F', 0, PROGRAM "\\sub\\Tessaronix.exe", nullptr, false},
        {'F', 0, PROGRAM "\\notes.doc", nullptr, false},
        {'F', 0, "C:\\Windows\\\\TSXCleanup.exe", nullptr, false},
        {'F', 0, "C:\\Windowsx\\TSXCleanup.exe", nullptr, false},
        {'L', 0, ANN_PROGRAMS "\\NOVLA\\Tessaronix\\Remove.lnk", nullptr, true},
        {'L', 0, ALL_PROGRAMS "\\novla\\tessaronix\\Catalyne Help.lnk", nullptr, true},
        {'L', 0, ANN_DESKTOP "\\Tessaronix.lnk", nullptr, true},
        {'L', 0, ANN_PROGRAMS "\\Remove.lnk", nullptr, false},
        {'L', 0, ANN_PROGRAMS "\\NOVLA\\Other\\Remove.lnk", nullptr, false},
        {'L', 0, ANN_DESKTOP "\\Other.lnk", nullptr, false},
        {'D', 0, PROGRAM, nullptr, true},
        {'D', 0, "C:\\Program Files", nullptr, true},
        {'D', 0, "C:\\", nullptr, false},
        {'D', 0, "C:", nullptr, false},
        {'D', 0, "C:\\Program Files\\Novla\\", nullptr, false},
        {'D', 0, PROGRAM "\\sub", nullptr, false},
        {'D', 0, ANN_PROGRAMS "\\NOVLA", nullptr, true},
        {'D', 0, ALL_PROGRAMS "\\NOVLA\\Tessaronix", nullptr, true},
        {'D', 0, ANN_PROGRAMS, nullptr, false},
        {'K', REGISTRY_HKLM, "Software\\Novla", nullptr, true},
        {'K', REGISTRY_HKLM, "Software\\Microsoft", nullptr, false},
        {'K', REGISTRY_HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaronix", nullptr, true},
        {'K', REGISTRY_HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaronixx", nullptr, false},
        {'K', REGISTRY_HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", nullptr, false},
        {'K', REGISTRY_HKCR, "Drive\\shell", nullptr, true},
        {'K', REGISTRY_HKCR, "Drive\\shellx", nullptr, false},
        {'K', REGISTRY_HKCR, "drive\\SHELL\\Find\\command", nullptr, true},
        {'K', REGISTRY_HKLM, "Drive\\shell\\find", nullptr, false},  // the other root
        {'K', REGISTRY_HKCR, ".n_tsx\\", nullptr, false},
        {'V', REGISTRY_HKLM, "Software\\Novla\\Programs", "Tessaronix", true},
        {'V', REGISTRY_HKLM, "Software\\Novla\\Programs", "Catalyne", false},
        {'V', REGISTRY_HKLM, "Software\\Novla\\Programs\\Tessaronix", "Version", true},
        {'V', REGISTRY_HKCR, "Drive\\shell", "Tessaronix", false},  // a parent: no values
        {'V', REGISTRY_HKCR, "CLSID\\{5D2E8A41-7C3B-4F19-9A6E-2B8C0D4F1E73}\\InProcServer32", "", true},
        {'V', REGISTRY_HKCR, "CLSID", "", false},
        {'M', 0, PROGRAM, nullptr, true},
        {'M', 0, "C:\\Windows\\System32\\TSXCtxMenu.dll", nullptr, true},
        {'M', 0, "C:\\Program Files\\Novla", nullptr, false},  // a parent: only the program folder
        {'M', 0, "C:\\Windows", nullptr, false},
        {'M', 0, PROGRAM "\\notes.doc", nullptr, false},
    };
    const char* const programFolders[] = {PROGRAM};
    for (const ScopeCase& c : cases) {
        RecordEntry entry = {c.kind, 0, c.root, c.path, c.valueName, 0, nullptr, 0};
        EXPECT_EQ(c.inScope, IsEntryInScope(&entry, &kScope, programFolders, 1)) << c.kind << " " << c.path;
    }
}

}  // namespace
