// wine-versions: win98 winxp win7
// The shortcut and registry steps, called in-process on a stand-in progress
// page: every link resolves through the shell-link object to its target,
// working folder and description; every registry value is exactly the text
// of its table, stored as REG_SZ with its terminator.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "common/fault_seam.h"
#include "common/install_dirs.h"
#include "common/session.h"
#include "payload/default_folder.h"
#include "payload/product.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"
#include "tests/win32/shell/shell_expect.h"
#include "ui_driver.h"

namespace {

using namespace expect;

const char* const kProgram = "C:\\Program Files\\Novla\\Tessaronix";
const char* const kWindows = "C:\\Windows";
const char* const kSystem = "C:\\Windows\\System32";

// A window with the progress page's shortcut label and bar.
struct StandInPage {
    HWND page = nullptr;
    StandInPage()
    {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&init);
        page = CreateWindowA("STATIC", "page", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr, nullptr,
                             nullptr);
        CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 300, 20, page, (HMENU)IDC_SHORTCUT_LABEL, nullptr,
                      nullptr);
        CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 40, 300, 20, page, (HMENU)IDC_SHORTCUT_BAR,
                      nullptr, nullptr);
    }
    ~StandInPage() { DestroyWindow(page); }
    std::string Label() const { return ui::Text(GetDlgItem(page, IDC_SHORTCUT_LABEL)); }
    int BarPosition() const { return (int)SendDlgItemMessageA(page, IDC_SHORTCUT_BAR, PBM_GETPOS, 0, 0); }
    int BarHigh() const { return (int)SendDlgItemMessageA(page, IDC_SHORTCUT_BAR, PBM_GETRANGE, FALSE, 0); }
};

void UseFolders(const char* program)
{
    strcpy(g_installDirs[DIR_PROGRAM], program);
    strcpy(g_installDirs[DIR_WINDOWS], kWindows);
    strcpy(g_installDirs[DIR_SYSTEM], kSystem);
}

void ExpectLinks(int programsCsidl, int desktopCsidl)
{
    std::string group = SpecialFolder(programsCsidl) + "\\NOVLA\\Tessaronix\\";
    for (const ExpectedLink& e : GroupLinks()) {
        std::string folder = e.inProgramFolder ? kProgram : kWindows;
        Link link = ResolveLink(group + e.name + ".lnk");
        ASSERT_TRUE(link.loaded) << group << e.name;
        EXPECT_EQ(folder + "\\" + e.file, link.target) << e.name;
        EXPECT_EQ(folder, link.workingFolder) << e.name;
        EXPECT_EQ(e.name, link.description);
    }
    // No link for the rows without a shortcut name.
    EXPECT_EQ(7, CountFiles(group + "*.lnk"));
    Link desktop = ResolveLink(SpecialFolder(desktopCsidl) + "\\Tessaronix.lnk");
    ASSERT_TRUE(desktop.loaded);
    EXPECT_EQ(std::string(kProgram) + "\\Tessaronix.exe", desktop.target);
    EXPECT_EQ(kProgram, desktop.workingFolder);
    EXPECT_EQ("Tessaronix", desktop.description);
}

// Removes every link and group folder an earlier case made: each case
// starts from a prefix without them.
void RemoveLinks()
{
    for (int programs : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        std::string group = SpecialFolder(programs) + "\\NOVLA\\Tessaronix\\";
        for (const ExpectedLink& e : GroupLinks())
            DeleteFileA((group + e.name + ".lnk").c_str());
        RemoveDirectoryA(group.c_str());
        RemoveDirectoryA((SpecialFolder(programs) + "\\NOVLA").c_str());
    }
    for (int desktop : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
        DeleteFileA((SpecialFolder(desktop) + "\\Tessaronix.lnk").c_str());
}

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseFolders(kProgram);
        FaultSelect(nullptr, 0, false);
        g_session.allUsers = 0;
        RemoveLinks();
    }
    void TearDown() override { FaultSelect(nullptr, 0, false); }
};

TEST_F(Shortcuts, ThisUserGetsTheGroupAndTheDesktopLink)
{
    StandInPage page;
    g_session.allUsers = 0;
    ASSERT_TRUE(CreateShortcuts(page.page));
    EXPECT_EQ("Success", page.Label());
    EXPECT_EQ(7, page.BarPosition());
    EXPECT_EQ(7, page.BarHigh());
    ExpectLinks(CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY);
}

TEST_F(Shortcuts, AllUsersGetTheCommonFoldersAndASecondRunOverwrites)
{
    StandInPage page;
    g_session.allUsers = 1;
    ASSERT_TRUE(CreateShortcuts(page.page));
    ExpectLinks(CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY);
    // Spoil every link file; the second run replaces each one whole.
    std::string group = SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\NOVLA\\Tessaronix\\";
    std::vector<std::string> files;
    for (const ExpectedLink& e : GroupLinks())
        files.push_back(group + e.name + ".lnk");
    files.push_back(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Tessaronix.lnk");
    for (const std::string& f : files) {
        HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << f;
        DWORD written;
        WriteFile(h, "junk", 4, &written, nullptr);
        CloseHandle(h);
        ASSERT_FALSE(ResolveLink(f).loaded) << f;
    }
    StandInPage again;
    ASSERT_TRUE(CreateShortcuts(again.page));
    ExpectLinks(CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY);
    g_session.allUsers = 0;
}

TEST_F(Shortcuts, ComThatCannotStartCreatesNothingAndLeavesThePage)
{
    StandInPage page;
    SetDlgItemTextA(page.page, IDC_SHORTCUT_LABEL, "before");
    FaultSelect("CoInitialize", 1, false);
    EXPECT_FALSE(CreateShortcuts(page.page));
    EXPECT_TRUE(FaultFired());
    EXPECT_EQ("before", page.Label());
    EXPECT_EQ(0, page.BarPosition());
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_PROGRAMS) + "\\NOVLA"));
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tessaronix.lnk"));
}

TEST_F(Shortcuts, AMissingSpecialFolderSkipsItsLinksAndCreatesNothingHere)
{
    char scratch[MAX_PATH];
    GetTempPathA(MAX_PATH, scratch);
    std::string here = std::string(scratch) + "novla-cwd";
    CreateDirectoryA(here.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(here.c_str()));
    StandInPage page;
    // The first lookup is the Programs folder: the shell cannot find it.
    FaultSelect("SHGetSpecialFolderLocation", 1, false);
    ASSERT_TRUE(CreateShortcuts(page.page));
    EXPECT_EQ(7, page.BarPosition());
    // Seven links are missing: the step is not called a success.
    EXPECT_EQ("", page.Label());
    EXPECT_EQ(7, g_installShortfall.shortcuts);
    EXPECT_FALSE(FileExists(here + "\\NOVLA"));
    EXPECT_FALSE(FileExists(here + "\\Remove.lnk"));
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_PROGRAMS) + "\\NOVLA\\Tessaronix\\Remove.lnk"));
    // The desktop folder was found: its link is there.
    EXPECT_TRUE(ResolveLink(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tessaronix.lnk").loaded);
    // And the other way round: no desktop folder, the group is made.
    FaultSelect("SHGetSpecialFolderLocation", 2, false);
    DeleteFileA((SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tessaronix.lnk").c_str());
    StandInPage second;
    ASSERT_TRUE(CreateShortcuts(second.page));
    EXPECT_TRUE(ResolveLink(SpecialFolder(CSIDL_PROGRAMS) + "\\NOVLA\\Tessaronix\\Remove.lnk").loaded);
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Tessaronix.lnk"));
    EXPECT_FALSE(FileExists(here + "\\Tessaronix.lnk"));
    SetCurrentDirectoryA(scratch);
}

TEST_F(Shortcuts, AProgramFolderTooLongForALinkTargetIsSkippedNotCut)
{
    std::string longFolder = "C:\\" + std::string(244, 'p');  // + "\Tessaronix.chm" > 259
    UseFolders(longFolder.c_str());
    StandInPage page;
    ASSERT_TRUE(CreateShortcuts(page.page));
    std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\NOVLA\\Tessaronix\\";
    // "Remove" targets the Windows folder and is made; the program's links
    // whose target would not fit in 259 characters are not written cut.
    EXPECT_TRUE(ResolveLink(group + "Remove.lnk").loaded);
    int skipped = 0;
    for (const ExpectedLink& e : GroupLinks())
        if (e.inProgramFolder && longFolder.size() + 1 + strlen(e.file) > 259) {
            EXPECT_FALSE(FileExists(group + e.name + ".lnk")) << e.name;
            ++skipped;
        }
    EXPECT_LT(0, skipped);
}

// ---- Registry ----

std::string Uninst() { return std::string(kWindows) + "\\TSXCleanup.exe"; }

std::vector<Value> ExpectedValues() { return RegistryValues(kProgram, kWindows, kSystem, g_productInfo.helpLink); }

#define UNINSTALL EXPECT_UNINSTALL_KEY
#define FIND_EXT EXPECT_FIND_EXT
#define GUID_KEY EXPECT_GUID_KEY

void DeleteTree(HKEY root, const char* key) { RegDeleteTreeA(root, key); }

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseFolders(kProgram);
        FaultSelect(nullptr, 0, false);
        // The groups that open an existing key need it: Wine's fresh prefix
        // may lack the find extensions' key.
        EnsureFindExtensionsKey();
        DeleteTree(HKEY_LOCAL_MACHINE, FIND_EXT);
        DeleteTree(HKEY_LOCAL_MACHINE, UNINSTALL);
        DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Novla");
        for (const char* k : {GUID_KEY, "Drive\\shell\\find", "Directory\\shell\\find", ".n_tsx", "n_tsxFile",
                              ".n_cdb", "n_cdbFile"})
            DeleteTree(HKEY_CLASSES_ROOT, k);
    }
    void TearDown() override { FaultSelect(nullptr, 0, false); }
};

TEST_F(Registry, EveryValueOfTheSixGroupsIsWrittenExactly)
{
    RegisterProduct(nullptr);
    for (const Value& v : ExpectedValues()) {
        RawValue raw = ReadValue(v.root, v.key, v.name);
        ASSERT_TRUE(raw.found) << v.key << " / " << (v.name ? v.name : "(default)");
        EXPECT_EQ((DWORD)REG_SZ, raw.type) << v.key;
        // Stored with its terminator.
        EXPECT_EQ(v.data + std::string(1, '\0'), raw.bytes) << v.key << " / " << (v.name ? v.name : "(default)");
    }
    // No default value on the verbs' class keys nor on the maker's key.
    EXPECT_FALSE(ReadValue(HKEY_CLASSES_ROOT, "Drive\\shell\\find", nullptr).found);
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, "Software\\Novla\\Programs\\Tessaronix", nullptr).found);
    // The recorded folder is what the next start proposes.
    char recorded[MAX_PATH];
    ASSERT_TRUE(ReadInstallPath(recorded, sizeof recorded));
    EXPECT_STREQ(kProgram, recorded);
}

TEST_F(Registry, ASecondRunReplacesEveryValue)
{
    UseFolders("D:\\Elsewhere");
    RegisterProduct(nullptr);
    UseFolders(kProgram);
    RegisterProduct(nullptr);
    for (const Value& v : ExpectedValues())
        EXPECT_EQ(v.data + std::string(1, '\0'), ReadValue(v.root, v.key, v.name).bytes) << v.key;
}

TEST_F(Registry, FailuresSkipOnlyWhatDependsOnThem)
{
    struct Case {
        const char* call;
        unsigned n;
        const char* missingKey;   // this value is absent
        const char* missingName;
        const char* presentKey;   // and this one still written
        const char* presentName;
    } cases[] = {
        // The maker's key cannot be created: neither the path nor the version.
        {"RegCreateKeyExA", 1, "Software\\Novla\\Programs\\Tessaronix", "Version", UNINSTALL, "DisplayName"},
        // The uninstall list cannot be opened: its group is skipped whole.
        // The five opens before it look for the maker's key levels that the
        // record must name as created (Software\Novla is gone after SetUp).
        {"RegOpenKeyExA", 6, UNINSTALL, "DisplayName", GUID_KEY "\\InProcServer32", "ThreadingModel"},
        // The class key fails; its InProcServer32 subkey is still made.
        {"RegCreateKeyExA", 4, GUID_KEY, nullptr, GUID_KEY "\\InProcServer32", "ThreadingModel"},
        // The find extension's menu key fails; its icon key is still tried.
        {"RegCreateKeyExA", 7, FIND_EXT "\\0", nullptr, FIND_EXT "\\0\\DefaultIcon", nullptr},
    };
    for (const Case& c : cases) {
        SetUp();
        FaultSelect(c.call, c.n, false);
        RegisterProduct(nullptr);
        EXPECT_TRUE(FaultFired()) << c.call << "#" << c.n;
        HKEY root = strncmp(c.missingKey, "CLSID", 5) == 0 ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
        HKEY presentRoot = strncmp(c.presentKey, "CLSID", 5) == 0 ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
        EXPECT_FALSE(ReadValue(root, c.missingKey, c.missingName).found) << c.call << "#" << c.n;
        EXPECT_TRUE(ReadValue(presentRoot, c.presentKey, c.presentName).found) << c.call << "#" << c.n;
        // The last group runs whatever happened before it.
        EXPECT_TRUE(ReadValue(HKEY_CLASSES_ROOT, "n_cdbFile\\shell\\open\\ddeexec\\topic", nullptr).found);
    }
}

TEST_F(Registry, AProgramPathTooLongForItsBufferIsSkippedNeverCut)
{
    // 245 characters: it fits the install path, but the quoted command and
    // "\Tessaronix.exe" do not fit 256 bytes.
    std::string longFolder = "C:\\" + std::string(242, 'p');
    UseFolders(longFolder.c_str());
    RegisterProduct(nullptr);
    EXPECT_EQ(longFolder + std::string(1, '\0'),
              ReadValue(HKEY_LOCAL_MACHINE, "Software\\Novla\\Programs", "Tessaronix").bytes);
    EXPECT_EQ(longFolder + std::string(1, '\0'), ReadValue(HKEY_LOCAL_MACHINE, UNINSTALL, "Program Path").bytes);
    for (const char* key : {"Drive\\shell\\find\\command", "n_tsxFile\\DefaultIcon", "n_tsxFile\\shell\\open\\command",
                            "n_cdbFile\\shell\\open\\command"})
        EXPECT_FALSE(ReadValue(HKEY_CLASSES_ROOT, key, nullptr).found) << key;
    // What does not hold the program path is written as usual.
    EXPECT_EQ(std::string("[SearchDrive(\"%1\")]") + '\0',
              ReadValue(HKEY_CLASSES_ROOT, "Drive\\shell\\find\\ddeexec", nullptr).bytes);
    EXPECT_EQ(Uninst() + '\0', ReadValue(HKEY_LOCAL_MACHINE, UNINSTALL, "UninstallString").bytes);
}

}  // namespace
