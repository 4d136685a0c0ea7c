// wine-versions: win98 winxp win7
// Start-up under real Wine: the proposed program folder (recorded, the
// system's or the fixed default), the capitalised Windows and System folders, the administrator
// probe and the files-in-use probe.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/fault_seam.h"
#include "payload/default_folder.h"
#include "payload/os_class.h"
#include "payload/table_rules.h"
#include "setup/setup.h"
#include "ui_driver.h"

namespace {

const char kProgramsKey[] = "Software\\Novla\\Programs";

void RecordInstallPath(const void* data, DWORD size, DWORD type = REG_SZ)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                             &key, NULL));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Tessaronix", 0, type, (const BYTE*)data, size));
    RegCloseKey(key);
}

void ForgetInstallPath()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProgramsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Tessaronix");
        RegCloseKey(key);
    }
}

bool KeyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class StartSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FaultSelect(nullptr, 0, false);
        memset(&g_session, 0, sizeof g_session);
        memset(g_installDirs, 0x55, sizeof g_installDirs);
        ForgetInstallPath();
    }
};

TEST_F(StartSessionTest, ProposesTheDefaultFolderWithoutAnEarlierInstallation)
{
    StartSession();
    EXPECT_STREQ("C:\\Program Files\\Novla\\Tessaronix", g_installDirs[DIR_PROGRAM]);
    // Wine reports C:\windows and C:\windows\system32.
    EXPECT_STREQ("C:\\Windows", g_installDirs[DIR_WINDOWS]);
    EXPECT_STREQ("C:\\Windows\\System32", g_installDirs[DIR_SYSTEM]);
    EXPECT_EQ(0, g_session.notAdmin);
    EXPECT_EQ(0, g_session.filesInUse);
}

TEST_F(StartSessionTest, ProposesTheRecordedFolderByteForByte)
{
    const char recorded[] = "d:\\my APPS\\tessa";  // neither capitalised nor checked
    RecordInstallPath(recorded, sizeof recorded);
    StartSession();
    EXPECT_STREQ(recorded, g_installDirs[DIR_PROGRAM]);

    RecordInstallPath("", 1);
    StartSession();
    EXPECT_STREQ("", g_installDirs[DIR_PROGRAM]);
}

TEST_F(StartSessionTest, RecordedPathWithoutTerminatorStillEndsAsAString)
{
    const char bare[] = "E:\\Bare";
    RecordInstallPath(bare, 7);  // no NUL stored
    StartSession();
    EXPECT_STREQ("E:\\Bare", g_installDirs[DIR_PROGRAM]);

    // 260 bytes without a terminator cannot be a folder of 259 characters:
    // the default is proposed instead.
    char full[260];
    memset(full, 'x', sizeof full);
    RecordInstallPath(full, sizeof full, REG_BINARY);
    StartSession();
    EXPECT_STREQ("C:\\Program Files\\Novla\\Tessaronix", g_installDirs[DIR_PROGRAM]);

    // A value longer than the buffer: the query fails, the default is used.
    char longer[400];
    memset(longer, 'y', sizeof longer);
    longer[399] = '\0';
    RecordInstallPath(longer, sizeof longer);
    StartSession();
    EXPECT_STREQ("C:\\Program Files\\Novla\\Tessaronix", g_installDirs[DIR_PROGRAM]);
}

// Sets (or, with null, deletes) the system's ProgramFilesDir.
void SetProgramFilesDir(const char* value)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                                           KEY_ALL_ACCESS, &key));
    if (value)
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "ProgramFilesDir", 0, REG_SZ, (const BYTE*)value,
                                                (DWORD)strlen(value) + 1));
    else
        RegDeleteValueA(key, "ProgramFilesDir");
    RegCloseKey(key);
}

TEST_F(StartSessionTest, ProposesTheSystemsProgramFolderOrTheFixedOne)
{
    const std::string tooLong = "C:\\" + std::string(250, 'p');
    const struct {
        const char* programFiles;  // null: no value
        const char* proposed;
    } cases[] = {
        {"C:\\Programme", "C:\\Programme\\Novla\\Tessaronix"},
        {nullptr, "C:\\Program Files\\Novla\\Tessaronix"},
        {tooLong.c_str(), "C:\\Program Files\\Novla\\Tessaronix"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programFiles ? c.programFiles : "(missing)");
        SetProgramFilesDir(c.programFiles);
        StartSession();
        EXPECT_STREQ(c.proposed, g_installDirs[DIR_PROGRAM]);
        char rule[PATH_CAPACITY];
        ReadDefaultProgramFolder(rule, sizeof rule);
        EXPECT_STREQ(c.proposed, rule);
    }
    // Unreadable: the fixed folder. The maker's key is there, so the second
    // query is this one, after the recorded folder's.
    RecordInstallPath("", 1);
    ForgetInstallPath();
    SetProgramFilesDir("C:\\Programme");
    FaultSelect("RegQueryValueExA", 2, false);
    StartSession();
    EXPECT_STREQ("C:\\Program Files\\Novla\\Tessaronix", g_installDirs[DIR_PROGRAM]);
    FaultSelect(nullptr, 0, false);
    // An earlier installation's recorded folder still wins.
    RecordInstallPath("E:\\Tessa", 9);
    StartSession();
    EXPECT_STREQ("E:\\Tessa", g_installDirs[DIR_PROGRAM]);
    SetProgramFilesDir("C:\\Program Files");
}

TEST_F(StartSessionTest, AdminProbeLeavesNothingItMade)
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Novla\\Programs\\NOVLA-TEST");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProgramsKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Novla");
    ASSERT_FALSE(KeyExists(kProgramsKey));
    ProbeAdminRights();
    EXPECT_EQ(0, g_session.notAdmin);
    EXPECT_FALSE(KeyExists("Software\\Novla"));
    // The maker's keys that were there stay.
    HKEY made;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &made, NULL);
    RegCloseKey(made);
    ProbeAdminRights();
    EXPECT_TRUE(KeyExists(kProgramsKey));
    EXPECT_FALSE(KeyExists("Software\\Novla\\Programs\\NOVLA-TEST"));

    // A test key left behind by an earlier run is opened and removed too.
    HKEY stale;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Novla\\Programs\\NOVLA-TEST", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                    &stale, NULL);
    RegCloseKey(stale);
    ProbeAdminRights();
    EXPECT_FALSE(KeyExists("Software\\Novla\\Programs\\NOVLA-TEST"));
}

TEST_F(StartSessionTest, AdminProbeSetsTheFlagWhenTheKeyCannotBeCreated)
{
    // Wine has no limited user: a refused create is forced through the seam.
    FaultSelect("RegCreateKeyExA", 1, false);
    ProbeAdminRights();
    EXPECT_EQ(1, g_session.notAdmin);
    EXPECT_FALSE(KeyExists("Software\\Novla\\Programs\\NOVLA-TEST"));

    // A failed reopen of the parent is silent: the flag stays clear. With
    // the maker's keys there, it is the probe's third open, after a look at
    // each of them.
    memset(&g_session, 0, sizeof g_session);
    HKEY made;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &made, NULL);
    RegCloseKey(made);
    FaultSelect("RegOpenKeyExA", 3, false);
    ProbeAdminRights();
    EXPECT_EQ(0, g_session.notAdmin);
    FaultSelect(nullptr, 0, false);
}

std::string TargetOf(int row)
{
    char path[PATH_CAPACITY];
    EXPECT_TRUE(RowTargetPath(&g_payloadTable.rows[row], path, sizeof path));
    return path;
}

TEST_F(StartSessionTest, FilesInUseProbeSeesAFileHeldByAnotherProcess)
{
    StartSession();
    ASSERT_EQ(0, g_session.filesInUse);  // first installation: nothing there

    // The shell extension goes to the System folder on every generation.
    std::string target = TargetOf(ROW_SHELL_EXTENSION);
    ui::FileHolder holder;
    ASSERT_TRUE(ui::HoldFile(holder, target));
    ProbeFilesInUse();
    EXPECT_EQ(1, g_session.filesInUse);
    ui::ReleaseFile(holder);

    // Present but not held: not in use. Read-only: not in use either.
    g_session.filesInUse = 0;
    ProbeFilesInUse();
    EXPECT_EQ(0, g_session.filesInUse);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    ProbeFilesInUse();
    EXPECT_EQ(0, g_session.filesInUse);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
}

TEST_F(StartSessionTest, FilesInUseProbeOpensOnlyTheRowsOfThisGeneration)
{
    StartSession();
    FaultSelect("CreateFileA", 0, false);  // count the opens, fail none
    ProbeFilesInUse();
    EXPECT_EQ(10u, FaultCallCount());
    FaultSelect(nullptr, 0, false);
}

}  // namespace
