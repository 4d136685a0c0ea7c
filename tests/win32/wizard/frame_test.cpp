// wine-versions: win98 winxp win7
// The wizard frame and its page sequence, driven through the real installer:
// the templates as built, centring, the page placement, the commands the
// frame ignores, Cancel and Close, the shared fonts, and a page that cannot
// be created.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "wizard_walk.h"

namespace {

// ---- The dialog templates, read from the installer's resources ----------

// The controls the code addresses by their identifiers (wizard/*.cpp, the
// progress page's run and shortcuts), on the template of the window it
// addresses them in, with their class and the style bits the code relies
// on: (style & mask) == bits. The page area lends only its rectangle; the
// edit boxes show texts of CR LF lines; the code reads what a click checked.
struct Used {
    int dialog;
    const char* className;
    DWORD mask, bits;
    std::vector<int> ids;
};

const Used kUsed[] = {
    {IDD_FRAME, "STATIC", WS_VISIBLE, 0, {IDC_PAGE_AREA}},
    {IDD_FRAME, "BUTTON", 0, 0, {IDC_CONTINUE, IDC_CANCEL}},
    {IDD_WELCOME, "STATIC", 0, 0,
     {IDC_BANNER_LINES, IDC_INTRO_LABEL, IDC_WELCOME_TEXT, IDC_NOTES_LABEL, IDC_WARNING_TEXT}},
    {IDD_LICENSE, "EDIT", ES_MULTILINE, ES_MULTILINE, {IDC_LICENSE_TEXT}},
    {IDD_LICENSE, "BUTTON", BS_TYPEMASK, BS_AUTOCHECKBOX, {IDC_ACCEPT}},
    {IDD_DESTINATION, "STATIC", 0, 0, {IDC_DEST_DESCRIPTION, IDC_REQUIRED_SPACE}},
    {IDD_DESTINATION, "EDIT", 0, 0, {IDC_DEST_FOLDER}},
    {IDD_DESTINATION, "BUTTON", 0, 0, {IDC_BROWSE, IDC_RESET, IDC_SCOPE_GROUP}},
    {IDD_DESTINATION, "BUTTON", BS_TYPEMASK, BS_AUTORADIOBUTTON, {IDC_SCOPE_USER, IDC_SCOPE_ALL}},
    {IDD_PROGRESS, "STATIC", 0, 0, {IDC_FILE_LABEL, IDC_SHORTCUT_LABEL}},
    {IDD_PROGRESS, PROGRESS_CLASSA, 0, 0, {IDC_FILE_BAR, IDC_SHORTCUT_BAR}},
    {IDD_FINISH, "STATIC", 0, 0, {IDC_DONE_TEXT}},
    {IDD_FINISH, "EDIT", ES_MULTILINE, ES_MULTILINE, {IDC_GUIDE_TEXT}},
    {IDD_FINISH, "BUTTON", BS_TYPEMASK, BS_AUTOCHECKBOX, {IDC_RUN_ON_EXIT}},
};

// Reads the template's words: strings and ordinals as a text (a predefined
// class's ordinal as its name, any other as "#N"), the cursor kept on WORD
// boundaries.
struct Reader {
    const BYTE* p;
    WORD Word() { WORD w = *reinterpret_cast<const WORD*>(p); p += 2; return w; }
    DWORD Dword() { DWORD d = *reinterpret_cast<const DWORD*>(p); p += 4; return d; }
    std::string SzOrOrd()
    {
        WORD first = Word();
        static const char* const kPredefined[] = {"BUTTON", "EDIT", "STATIC"};
        if (first == 0xFFFF) {
            WORD ordinal = Word();
            return ordinal >= 0x80 && ordinal <= 0x82 ? kPredefined[ordinal - 0x80] : "#" + std::to_string(ordinal);
        }
        std::string text;
        for (WORD c = first; c != 0; c = Word())
            text += static_cast<char>(c);
        return text;
    }
};

struct Item {
    WORD id;  // 0 for the template itself
    DWORD style;
    std::string className;
};

// A standard template (DIALOG, not DIALOGEX): the template itself, then
// every item, each on a DWORD boundary.
std::vector<Item> Read(HMODULE module, int id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found)
        return {};
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    Reader r{base};
    std::vector<Item> items{{0, r.Dword(), ""}};
    r.Dword();  // extended style
    WORD count = r.Word();
    r.p += 8;     // x, y, cx, cy
    r.SzOrOrd();  // menu
    items[0].className = r.SzOrOrd();
    r.SzOrOrd();  // caption
    if (items[0].style & DS_SETFONT) {
        r.Word();  // point size
        r.SzOrOrd();
    }
    for (WORD i = 0; i < count; ++i) {
        r.p += (4 - (r.p - base) % 4) % 4;
        Item item{0, r.Dword(), ""};
        r.p += 4 + 8;  // extended style, x, y, cx, cy
        item.id = r.Word();
        item.className = r.SzOrOrd();
        r.SzOrOrd();  // text
        r.p += r.Word();
        items.push_back(item);
    }
    return items;
}

TEST(Templates, HoldEveryControlTheCodeAddresses)
{
    HMODULE module = LoadLibraryExA(ui::EnvPath("NOVLA_INSTALLER").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module != nullptr);
    for (const Used& used : kUsed) {
        std::vector<Item> items = Read(module, used.dialog);
        ASSERT_FALSE(items.empty()) << used.dialog;
        ASSERT_NE(0xFFFF0001u, items[0].style) << used.dialog;  // an extended template's signature
        // The frame is of the class registered and looked for; a page, a
        // child shown as it is made, where the frame places it.
        if (used.dialog == IDD_FRAME)
            EXPECT_EQ(0, lstrcmpiA(FRAME_CLASS_NAME, items[0].className.c_str())) << items[0].className;
        else
            EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE), items[0].style & (WS_CHILD | WS_VISIBLE | WS_POPUP)) << used.dialog;
        for (int id : used.ids) {
            int seen = 0;
            for (size_t i = 1; i < items.size(); ++i)
                if (items[i].id == id) {
                    ++seen;
                    EXPECT_EQ(0, lstrcmpiA(used.className, items[i].className.c_str())) << id;
                    EXPECT_EQ(used.bits, items[i].style & used.mask) << id;
                }
            EXPECT_EQ(1, seen) << used.dialog << " " << id;  // GetDlgItem finds the first of two
        }
    }
    FreeLibrary(module);
}

// ---- The live frame -------------------------------------------------------

// Dialog units to pixels as the dialog manager maps them: a horizontal unit
// is a quarter of the base width, a vertical one an eighth of the base height.
int Map(int units, int baseUnits) { return MulDiv(units, baseUnits, 4); }
int MapY(int units, int baseUnits) { return MulDiv(units, baseUnits, 8); }

TEST(Frame, CentredAndLaidOutAsItsTemplate)
{
    ui::Installer installer;
    ASSERT_TRUE(walk::StartAt(installer, 1));
    HWND frame = installer.frame;
    RECT r = ui::ScreenRect(frame);
    int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - w) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - h) / 2, r.top);
    const DWORD frameStyle = 0x92C80344;
    EXPECT_EQ(frameStyle, static_cast<DWORD>(ui::Style(frame)) & frameStyle);
    EXPECT_EQ(0, GetWindowLongA(frame, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));

    // The controls where the template puts them: find the dialog base units
    // that give the page area its rectangle, then check the buttons.
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    auto clientRect = [&](int id) {
        RECT c = ui::ScreenRect(GetDlgItem(frame, id));
        OffsetRect(&c, -origin.x, -origin.y);
        return c;
    };
    RECT area = clientRect(IDC_PAGE_AREA);
    int bx = 0, by = 0;
    for (int b = 1; b < 40 && !bx; ++b)
        if (Map(7, b) == area.left && Map(318, b) == area.right - area.left)
            bx = b;
    for (int b = 1; b < 40 && !by; ++b)
        if (MapY(51, b) == area.top && MapY(150, b) == area.bottom - area.top)
            by = b;
    ASSERT_NE(0, bx);
    ASSERT_NE(0, by);
    struct Placed {
        int id, x, y, cx, cy;
    } buttons[] = {{IDC_CONTINUE, 221, 209, 50, 14}, {IDC_CANCEL, 276, 209, 50, 14}};
    for (const Placed& b : buttons) {
        RECT c = clientRect(b.id);
        EXPECT_EQ(Map(b.x, bx), c.left) << b.id;
        EXPECT_EQ(MapY(b.y, by), c.top) << b.id;
        EXPECT_EQ(Map(b.cx, bx), c.right - c.left) << b.id;
        EXPECT_EQ(MapY(b.cy, by), c.bottom - c.top) << b.id;
    }
    EXPECT_FALSE(ui::IsVisible(GetDlgItem(frame, IDC_PAGE_AREA)));
    EXPECT_EQ("NOVLA Tessaronix", ui::Text(frame));
    EXPECT_EQ("SetupDlg", ui::ClassName(frame));
    ui::Click(GetDlgItem(frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
}

// The frame on a screen narrower and lower than itself: a Wine virtual
// desktop of 400 x 300 pixels started for the installer alone.
struct DesktopSearch {
    HWND frame;
};

BOOL CALLBACK FindFrameOnDesktop(HWND window, LPARAM lParam)
{
    if (ui::ClassName(window) == "SetupDlg") {
        reinterpret_cast<DesktopSearch*>(lParam)->frame = window;
        return FALSE;
    }
    return TRUE;
}

TEST(Frame, CentredOnAScreenSmallerThanItself)
{
    const int screenW = 400, screenH = 300;
    std::string command = "explorer.exe /desktop=NovlaSmall," + std::to_string(screenW) + "x" +
                          std::to_string(screenH) + " \"" + ui::EnvPath("NOVLA_INSTALLER") + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    DesktopSearch search{nullptr};
    bool found = ui::WaitUntil(
        [&] {
            HDESK desktop = OpenDesktopA("NovlaSmall", 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
            if (!desktop)
                return false;
            EnumDesktopWindows(desktop, FindFrameOnDesktop, reinterpret_cast<LPARAM>(&search));
            CloseDesktop(desktop);
            // Seen from another desktop, IsWindowVisible is false: read the style.
            return search.frame != nullptr && ui::IsVisible(search.frame);
        },
        20000);
    ASSERT_TRUE(found);
    Sleep(300);
    RECT r = ui::ScreenRect(search.frame);
    int w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_GT(w, screenW);
    ASSERT_GT(h, screenH);
    EXPECT_EQ((screenW - w) / 2, r.left);  // rounds toward zero
    EXPECT_EQ((screenH - h) / 2, r.top);
    EXPECT_LT(r.left, 0);
    EXPECT_LT(r.top, 0);
    PostMessageA(GetDlgItem(search.frame, IDC_CANCEL), BM_CLICK, 0, 0);
    ui::WaitUntil([&] { return !IsWindow(search.frame); }, 10000);
    EXPECT_FALSE(IsWindow(search.frame));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// What the frame must ignore on a page: Esc, the close box, Enter's IDOK, and
// Continue or Cancel with a notification code other than BN_CLICKED.
void ExpectIgnoredCommandsChangeNothing(ui::Installer& installer)
{
    HWND frame = installer.frame;
    HWND page = ui::CurrentPage(frame);
    int state = walk::PageShown(frame);
    bool continueEnabled = ui::IsEnabled(GetDlgItem(frame, IDC_CONTINUE));
    auto unchanged = [&](const char* what) {
        ui::Settle(installer, 100);
        EXPECT_TRUE(walk::StillRunning(installer)) << what;
        EXPECT_EQ(page, ui::CurrentPage(frame)) << what;
        EXPECT_EQ(state, walk::PageShown(frame)) << what;
        EXPECT_EQ(continueEnabled, ui::IsEnabled(GetDlgItem(frame, IDC_CONTINUE))) << what;
        EXPECT_TRUE(walk::PageOverArea(frame)) << what;
    };
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(installer.process.dwThreadId, &info);
    HWND focus = info.hwndFocus ? info.hwndFocus : GetDlgItem(frame, IDC_CANCEL);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    unchanged("Esc");
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    unchanged("close box");
    ui::PostCommand(frame, IDCANCEL);
    unchanged("IDCANCEL");
    ui::PostCommand(frame, IDOK);
    unchanged("IDOK");
    ui::PostCommand(frame, IDC_CONTINUE, BN_DOUBLECLICKED);
    unchanged("Continue with code 5");
    ui::PostCommand(frame, IDC_CANCEL, 1);
    unchanged("Cancel with code 1");
}

TEST(Frame, IgnoresEscCloseBoxAndOtherCodesAndEndsWithOneOnEveryPage)
{
    for (int state : {1, 2, 3, 5}) {
        SCOPED_TRACE(state);
        ui::Installer installer;
        ASSERT_TRUE(walk::StartAt(installer, state));
        ExpectIgnoredCommandsChangeNothing(installer);
        HWND second = GetDlgItem(installer.frame, IDC_CANCEL);
        EXPECT_EQ(state == 5 ? "Close" : "Cancel", ui::Text(second));
        EXPECT_EQ(state < 4, ui::IsVisible(GetDlgItem(installer.frame, IDC_CONTINUE)));
        ui::Click(second);
        EXPECT_EQ(1u, ui::WaitForExit(installer));
        ui::Kill(installer);
    }
}

// (The shared fonts are checked from inside, in wizard_state_test: font
// handles do not cross processes under Wine.)
TEST(Frame, PagesSitOverTheAreaAfterEveryContinue)
{
    ui::Installer installer;
    ASSERT_TRUE(walk::StartAt(installer, 1));
    HWND frame = installer.frame;
    EXPECT_TRUE(walk::PageOverArea(frame));

    ui::Click(GetDlgItem(frame, IDC_CONTINUE));
    ASSERT_TRUE(walk::WaitForPage(installer, 2));
    EXPECT_TRUE(walk::PageOverArea(frame));
    EXPECT_FALSE(ui::IsEnabled(GetDlgItem(frame, IDC_CONTINUE)));
    // A Continue that changes nothing still leaves the page over the area.
    HWND licence = ui::CurrentPage(frame);
    ui::PostCommand(frame, IDC_CONTINUE);
    ui::Settle(installer, 100);
    EXPECT_EQ(licence, ui::CurrentPage(frame));
    EXPECT_TRUE(walk::PageOverArea(frame));

    ASSERT_TRUE(walk::Forward(installer));  // to the destination page
    EXPECT_TRUE(walk::PageOverArea(frame));
    SetWindowTextA(ui::Control(frame, IDC_DEST_FOLDER), "");
    ui::Click(GetDlgItem(frame, IDC_CONTINUE));
    ui::MessageBox box;
    ASSERT_TRUE(ui::WaitForMessageBox(installer, box));
    ui::AnswerMessageBox(box);
    ui::Settle(installer, 100);
    EXPECT_EQ(3, walk::PageShown(frame));
    EXPECT_TRUE(walk::PageOverArea(frame));

    SendMessageA(ui::Control(frame, IDC_RESET), BM_CLICK, 0, 0);
    ASSERT_TRUE(walk::Forward(installer));  // to the progress page
    EXPECT_TRUE(walk::PageOverArea(frame));
    EXPECT_FALSE(ui::IsVisible(GetDlgItem(frame, IDC_CONTINUE)));
    ASSERT_TRUE(walk::Forward(installer));  // to the finish page
    EXPECT_TRUE(walk::PageOverArea(frame));
    HWND finish = ui::CurrentPage(frame);
    ui::PostCommand(frame, IDC_CONTINUE);
    ui::Settle(installer, 100);
    EXPECT_EQ(finish, ui::CurrentPage(frame));
    EXPECT_TRUE(walk::PageOverArea(frame));
    ui::Click(GetDlgItem(frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
}

TEST(Frame, APageThatCannotBeCreatedEndsTheWizard)
{
    // The Nth page creation fails: the wizard says so and ends with 1, no
    // window left.
    for (int page = 1; page <= 5; ++page) {
        SCOPED_TRACE(page);
        ui::Installer installer;
        ui::Environment fault = {"NOVLA_FAULT=CreateDialogParamA#" + std::to_string(page)};
        if (page == 1) {
            ASSERT_TRUE(ui::Launch(installer, ui::Build::Faults, fault));
        } else {
            ASSERT_TRUE(walk::StartAt(installer, page - 1, ui::Build::Faults, fault));
            int before = walk::PageShown(installer.frame);
            if (before == 2) {
                ui::Click(ui::Control(installer.frame, IDC_ACCEPT));
                ui::Settle(installer);
            }
            if (before == 4)
                ui::PostCommand(installer.frame, IDC_CONTINUE);
            else
                ui::Click(GetDlgItem(installer.frame, IDC_CONTINUE));
        }
        ui::MessageBox box;
        ASSERT_TRUE(ui::WaitForMessageBox(installer, box));
        EXPECT_EQ("Setup cannot show its next page and will now end.", box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.icon);
        ui::AnswerMessageBox(box);
        EXPECT_EQ(1u, ui::WaitForExit(installer));
        ui::Kill(installer);
    }
}

}  // namespace
