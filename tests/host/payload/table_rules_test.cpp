// The file table and the rules over it: layout, generation classes, which
// rows apply, where each goes, and the required space.
#include <gtest/gtest.h>

#include <string.h>

#include "common/install_dirs.h"
#include "payload/table_rules.h"

namespace {

TEST(WindowsGeneration, ClassifiesEveryVersionOfInterest)
{
    struct Case {
        uint32_t platform, major, minor;
        OsClass expected;
    } cases[] = {
        {1, 4, 10, 0},  // Windows 98
        {1, 4, 90, 0},  // ME
        {0, 0, 0, 0},   // failed query: the record stays zero
        {2, 4, 0, 1},   // NT 4
        {2, 5, 0, 1},   // 2000
        {2, 5, 1, 2},   // XP
        {2, 3, 51, 1},  // NT 3.51
        {2, 5, 2, 2},   // Server 2003, XP x64
        {2, 6, 0, 3},   // Vista
        {2, 6, 1, 3},   // 7
        {2, 6, 2, 3},   // 8, and 8.1 and 10 without a compatibility manifest
        {2, 6, 3, 3},   // 8.1
        {2, 10, 0, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ClassifyWindowsVersion(c.platform, c.major, c.minor))
            << c.platform << " " << c.major << "." << c.minor;
    EXPECT_EQ(OS_LEGACY, VariantMaskFor(0));
    EXPECT_EQ(OS_LEGACY, VariantMaskFor(1));
    EXPECT_EQ(OS_MODERN, VariantMaskFor(2));
    EXPECT_EQ(OS_MODERN, VariantMaskFor(3));
}

TEST(PayloadTableRules, TenRowsApplyOnEachGeneration)
{
    const int legacyRows[] = {0, 2, 4, 5, 7, 8, 9, 10, 11, 12};
    const int modernRows[] = {1, 3, 4, 6, 7, 8, 9, 10, 11, 12};
    for (int osClass = 0; osClass < 4; ++osClass) {
        const int* expected = osClass < 2 ? legacyRows : modernRows;
        int applied = 0;
        for (int row = 0; row < g_payloadTable.rowCount; ++row) {
            if (!RowApplies(&g_payloadTable.rows[row], VariantMaskFor((OsClass)osClass)))
                continue;
            ASSERT_LT(applied, 10);
            EXPECT_EQ(expected[applied], row) << "class " << osClass;
            ++applied;
        }
        EXPECT_EQ(10, applied);
    }
    // The product's sums, pinned here alone: other tests read them from the table.
    EXPECT_EQ(980652u, RequiredSpaceFor(&g_payloadTable, OS_LEGACY));
    EXPECT_EQ(1138348u, RequiredSpaceFor(&g_payloadTable, OS_MODERN));
}

TEST(PayloadTableRules, FolderBitsPickTheFolder)
{
    strcpy(g_installDirs[DIR_PROGRAM], "P");
    strcpy(g_installDirs[DIR_WINDOWS], "W");
    strcpy(g_installDirs[DIR_SYSTEM], "S");
    struct Case {
        uint16_t flags;
        const char* folder;
    } cases[] = {
        {0x0102, "W"}, {0x0304, "S"}, {0x0301, "P"},
        {0x0306, "W"},  // Windows wins over System
        {0x0300, "P"},  // no folder bit: the program folder
        {0x0305, "S"},
    };
    for (const Case& c : cases) {
        PayloadRow entry = {};
        entry.flags = c.flags;
        EXPECT_STREQ(c.folder, RowFolder(&entry)) << std::hex << c.flags;
    }
    PayloadRow never = {};
    never.flags = 0x0001;
    EXPECT_FALSE(RowApplies(&never, OS_LEGACY));
    EXPECT_FALSE(RowApplies(&never, OS_MODERN));
}

TEST(PayloadTableRules, TargetPathIsFolderAndFileName)
{
    strcpy(g_installDirs[DIR_PROGRAM], "C:\\Program Files\\Novla\\Tessaronix");
    strcpy(g_installDirs[DIR_WINDOWS], "C:\\Windows");
    strcpy(g_installDirs[DIR_SYSTEM], "C:\\Windows\\System32");
    char path[PATH_CAPACITY];
    ASSERT_TRUE(RowTargetPath(&g_payloadTable.rows[ROW_UNINSTALLER], path, sizeof path));
    EXPECT_STREQ("C:\\Windows\\TSXCleanup.exe", path);
    ASSERT_TRUE(RowTargetPath(&g_payloadTable.rows[ROW_SHELL_EXTENSION], path, sizeof path));
    EXPECT_STREQ("C:\\Windows\\System32\\TSXCtxMenu.dll", path);
    ASSERT_TRUE(RowTargetPath(&g_payloadTable.rows[9], path, sizeof path));
    EXPECT_STREQ("C:\\Program Files\\Novla\\Tessaronix\\Go Novla.url", path);

    // A program folder of 259 characters leaves no room for any file name.
    memset(g_installDirs[DIR_PROGRAM], 'a', 259);
    g_installDirs[DIR_PROGRAM][259] = '\0';
    EXPECT_FALSE(RowTargetPath(&g_payloadTable.rows[ROW_MAIN_PROGRAM], path, sizeof path));
    EXPECT_STREQ("", path);
}

TEST(PayloadTableRules, TableKeepsItsInvariants)
{
    EXPECT_EQ(13, g_payloadTable.rowCount);
    int shortcuts = 0;
    for (int row = 0; row < g_payloadTable.rowCount; ++row) {
        const PayloadRow& e = g_payloadTable.rows[row];
        EXPECT_EQ('\0', e.fileName[sizeof e.fileName - 1]);
        EXPECT_EQ('\0', e.resourceName[sizeof e.resourceName - 1]);
        EXPECT_EQ('\0', e.shortcutName[sizeof e.shortcutName - 1]);
        if (!IsNoShortcut(e.shortcutName))
            ++shortcuts;
    }
    EXPECT_EQ(shortcuts, g_payloadTable.shortcutCount);
    EXPECT_EQ(7, shortcuts);
    EXPECT_STREQ("Tessaronix", g_productInfo.name);
    EXPECT_STREQ("5.00", g_productInfo.version);
    EXPECT_STREQ("NOVLA\\Tessaronix", g_productInfo.programGroup);
    EXPECT_STREQ("NOVLA", g_productInfo.publisher);
}

}  // namespace
