// wine-versions: winxp
// wine-locales: ja_JP.UTF-8 zh_TW.UTF-8 ru_RU.UTF-8
// Destinations typed in the user's own characters, on systems whose code
// page has characters that end in the byte of a backslash (0x5C): 表 95 5C,
// ソ 83 5C and サ 83 54 ('T') in 932; 許 B3 5C, 功 A5 5C and 蓋 BB 5C in 950;
// and one single-byte code page (1251). Also the user's own desktop and
// Programs folders named so. The harness runs this program once per locale
// of the line above, as Wine gives a whole session the code page of the
// locale it starts in. Each case: every file in exactly the expected folder,
// byte for byte, nothing new directly in C:\ but that folder's top, the links
// where the user's folders are; then the uninstaller leaves the prefix as it
// was before.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/win32/cleanup/cleanup_walk.h"

namespace {

struct Case {
    const char* name;
    const char* locale;  // the run this case belongs to (LC_ALL)
    UINT codePage;
    const wchar_t* typed;      // on the destination page; null: the proposed folder kept
    const wchar_t* committed;  // where the files must go
    // Below the user's profile: where the user's desktop and Programs
    // folders are moved for the case, or null.
    const wchar_t* desktop = nullptr;
    const wchar_t* programs = nullptr;
};

const Case kCases[] = {
    {"JapaneseAtTheEnd", "ja_JP.UTF-8", 932, L"C:\\表", L"C:\\表\\Tessaronix"},
    // ソ first in its folder, 表 inside one.
    {"JapaneseInside", "ja_JP.UTF-8", 932, L"C:\\ソフト表示\\Tools", L"C:\\ソフト表示\\Tools\\Tessaronix"},
    {"JapaneseAfterTheName", "ja_JP.UTF-8", 932, L"C:\\Tessaronix表", L"C:\\Tessaronix表"},
    // 83 54 "essaronix" holds the bytes of the name, not its characters.
    {"JapaneseNameAcrossACharacter", "ja_JP.UTF-8", 932, L"C:\\サessaronix", L"C:\\サessaronix\\Tessaronix"},
    {"JapaneseUserFolders", "ja_JP.UTF-8", 932, nullptr, L"C:\\Program Files\\Novla\\Tessaronix", L"デスクトップ表",
     L"ソフト\\プログラム表"},
    {"ChineseThreeInARow", "zh_TW.UTF-8", 950, L"C:\\許功蓋", L"C:\\許功蓋\\Tessaronix"},
    {"RussianSingleByte", "ru_RU.UTF-8", 1251, L"C:\\Программы", L"C:\\Программы\\Tessaronix"},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Utf8(const std::wstring& text)
{
    std::string out(text.size() * 4 + 1, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], (int)out.size(), nullptr, nullptr) - 1);
    return out;
}
std::wstring FromCodePage(const std::string& text, UINT codePage = CP_ACP)
{
    std::wstring out(text.size() + 1, L'\0');
    out.resize(MultiByteToWideChar(codePage, 0, text.c_str(), -1, &out[0], (int)out.size()) - 1);
    return out;
}
// Texts of this program's code page (snapshot items, box texts) in UTF-8;
// the snapshot's files and folders alone as lines of a message.
std::vector<std::string> InUtf8(const std::vector<std::string>& texts)
{
    std::vector<std::string> out;
    for (const std::string& text : texts)
        out.push_back(Utf8(FromCodePage(text)));
    return out;
}
std::string FileLines(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : InUtf8(items))
        if (item[2] == 'F' || item[2] == 'D')
            out += "\n  " + item;
    return out;
}

std::string RunLocale() { return ui::EnvPath("LC_ALL"); }
std::vector<Case> CasesOfThisRun()
{
    std::vector<Case> cases;
    for (const Case& c : kCases)
        if (RunLocale() == c.locale)
            cases.push_back(c);
    return cases;
}

// The entries directly in C:\, in UTF-8, sorted.
std::vector<std::string> RootEntries()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"C:\\*", &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            names.push_back(Utf8(found.cFileName));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    return install::ReadToEnd(file);
}
bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The user's desktop and Programs folders moved to the case's names below
// the profile (made when missing), as the shell reads them from the
// registry; the values are put back as they were when the case ends.
class UserFolders {
public:
    explicit UserFolders(const Case& c)
    {
        if (c.desktop == nullptr)
            return;
        wchar_t desktop[MAX_PATH] = L"";
        SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
        std::wstring profile(desktop, wcsrchr(desktop, L'\\'));
        Move(L"Desktop", profile + L"\\" + c.desktop);
        Move(L"Programs", profile + L"\\" + c.programs);
    }
    ~UserFolders()
    {
        for (const Saved& saved : saved_)
            Set(saved.key, saved.name, saved.type, saved.data);
    }

private:
    struct Saved {
        const wchar_t* key;
        const wchar_t* name;
        DWORD type;
        std::string data;
    };
    std::vector<Saved> saved_;

    static void Set(const wchar_t* key, const wchar_t* name, DWORD type, const std::string& data)
    {
        HKEY opened;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
            RegSetValueExW(opened, name, 0, type, (const BYTE*)data.data(), (DWORD)data.size());
            RegCloseKey(opened);
        }
    }
    void Move(const wchar_t* name, const std::wstring& path)
    {
        for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
            CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        CreateDirectoryW(path.c_str(), nullptr);
        for (const wchar_t* key : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}) {
            Saved saved{key, name, REG_SZ, std::string(2 * MAX_PATH, '\0')};
            DWORD size = (DWORD)saved.data.size();
            HKEY opened;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
                if (RegQueryValueExW(opened, name, nullptr, &saved.type, (BYTE*)&saved.data[0], &size) ==
                    ERROR_SUCCESS) {
                    saved.data.resize(size);
                    saved_.push_back(saved);
                }
                RegCloseKey(opened);
            }
            Set(key, name, REG_SZ, std::string((const char*)path.c_str(), (path.size() + 1) * 2));
        }
    }
};

// Wine reports the locale's code page even where the host lacks the locale,
// but then cannot make a file name outside ASCII (error 2): a folder named
// with the case's first such character is made and removed to tell.
bool WineStoresNamesOf(const Case& c)
{
    std::wstring probe = L"C:\\novla-locale-";
    for (const wchar_t* text : {c.typed, c.desktop})
        for (const wchar_t* ch = text; ch != nullptr && *ch != L'\0'; ++ch)
            if (*ch > 0x7F && probe.back() == L'-')
                probe += *ch;
    return CreateDirectoryW(probe.c_str(), nullptr) && RemoveDirectoryW(probe.c_str());
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

class CodePage : public ::testing::TestWithParam<Case> {};

TEST_P(CodePage, InstallsIntoTheExpectedFolderAndRemovesItAll)
{
    const Case& c = GetParam();
    if (GetACP() != c.codePage || !WineStoresNamesOf(c))
        GTEST_SKIP() << "the locale " << c.locale << " is missing on this machine: Wine reports code page "
                     << GetACP() << " and cannot make file names in " << c.codePage
                     << " (scripts/ensure-deps.sh generates the locale as root)";
    BOOL lost = FALSE;
    for (const wchar_t* text : {c.typed, c.committed, c.desktop, c.programs})
        if (text != nullptr)
            WideCharToMultiByte(c.codePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lost);
    ASSERT_FALSE(lost) << "a case's text has a character that code page " << c.codePage << " lacks";

    // The links go to the user's own folders in the case that moves them,
    // else to all users' folders.
    UserFolders moved(c);
    const bool user = c.desktop != nullptr;
    const std::wstring desktop = SpecialFolder(user ? CSIDL_DESKTOPDIRECTORY : CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring programs = SpecialFolder(user ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS);
    if (user)
        ASSERT_TRUE(desktop.find(c.desktop) != std::wstring::npos && programs.find(c.programs) != std::wstring::npos)
            << "Wine did not move the user's folders: " << Utf8(desktop) << ", " << Utf8(programs);
    const std::vector<std::string> rootBefore = RootEntries();
    const cleanup::Snapshot before = cleanup::Take();

    install::Options options;
    options.scope = user ? IDC_SCOPE_USER : IDC_SCOPE_ALL;
    if (c.typed != nullptr)
        options.wideFolder = c.typed;
    const cleanup::Snapshot installed = cleanup::Install(options);
    const std::string added =
        "\nthe files and folders the installation added:" + FileLines(cleanup::Differences(before, installed));

    // Nothing new directly in C:\ but the committed folder's top.
    std::vector<std::string> expectedRoot = rootBefore;
    const std::wstring committed = c.committed;
    const std::string top = Utf8(committed.substr(3, committed.find(L'\\', 3) - 3));
    if (std::find(expectedRoot.begin(), expectedRoot.end(), top) == expectedRoot.end())
        expectedRoot.push_back(top);
    std::sort(expectedRoot.begin(), expectedRoot.end());
    EXPECT_EQ(expectedRoot, RootEntries()) << added;

    // Every file byte for byte and every link where it belongs.
    std::vector<std::string> wrong;
    for (int row : install::RowsOfThisGeneration()) {
        const PayloadRow& e = g_payloadTable.rows[row];
        std::wstring path = (e.flags & (FOLDER_WINDOWS | FOLDER_SYSTEM)) ? FromCodePage(install::TargetOf(row, ""))
                                                                        : committed + L"\\" + FromCodePage(e.fileName);
        if (install::ProductFile(row) != ReadAll(path))
            wrong.push_back(Utf8(path));
    }
    std::vector<std::wstring> links = {desktop + L"\\Tessaronix.lnk"};
    for (const expect::ExpectedLink& link : expect::GroupLinks())
        links.push_back(programs + L"\\" + FromCodePage(g_productInfo.programGroup) + L"\\" + FromCodePage(link.name) +
                        L".lnk");
    for (const std::wstring& link : links)
        if (!Exists(link))
            wrong.push_back(Utf8(link));
    EXPECT_EQ(std::vector<std::string>{}, wrong) << "missing or not whole" << added;

    cleanup::Removal removal = cleanup::Uninstall();
    EXPECT_EQ((std::vector<std::string>{cleanup::kQuestion, cleanup::kRemoved}), InUtf8(removal.boxes));
    EXPECT_EQ(0u, removal.exitCode);
    EXPECT_EQ(rootBefore, RootEntries());
    EXPECT_EQ(std::vector<std::string>{}, InUtf8(cleanup::Differences(before, cleanup::Take(), cleanup::Waiting())))
        << "left by the uninstaller";
    // The uninstaller's own removal waits for the restart: the next case
    // starts without it.
    cleanup::Restart();
}

INSTANTIATE_TEST_SUITE_P(Locale, CodePage, ::testing::ValuesIn(CasesOfThisRun()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CodePage);

// The harness starts this program in one locale of its table at a time.
TEST(CodePageRun, HasCasesInItsLocale)
{
    EXPECT_FALSE(CasesOfThisRun().empty()) << "LC_ALL=" << RunLocale()
                                           << ": run by the harness once per locale of the wine-locales line";
}

}  // namespace
