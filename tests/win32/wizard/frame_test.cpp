// wine-versions: win98 winxp win7
// The wizard frame and its page sequence, driven through the real installer:
// the templates as built, centring, the page placement, the commands the
// frame ignores, Cancel and Close, the shared fonts, and a page that cannot
// be created.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard_walk.h"

namespace {

// ---- The dialog templates, read from the installer's resources ----------

enum : WORD { BUTTON = 0x80, EDIT = 0x81, STATIC = 0x82 };

struct ItemSpec {
    int id;
    WORD classAtom;
    DWORD style;
    short x, y, cx, cy;
    const char* text;  // null: the ordinal `ordinal`
    WORD ordinal;
};

struct TemplateSpec {
    int id;
    DWORD style;
    short x, y, cx, cy;
    const char* className;  // "" for the system dialog class
    const char* caption;
    std::vector<ItemSpec> items;
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD PAGE = WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT | DS_3DLOOK;
const DWORD BOX = WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;

const std::vector<TemplateSpec>& Templates()
{
    static const std::vector<TemplateSpec> specs = {
        {IDD_FRAME, 0x92C80344, 20, 20, 333, 231, "SetupDlg", "NOVLA Tessaronix",
         {{IDC_PAGE_AREA, STATIC, WS_CHILD | SS_WHITEFRAME, 7, 51, 318, 150, "", 0},
          {IDC_CONTINUE, BUTTON, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 221, 209, 50, 14, "Continue", 0},
          {IDC_CANCEL, BUTTON, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 276, 209, 50, 14, "Cancel", 0}}},
        {IDD_WELCOME, PAGE, 0, 0, 318, 150, "", "",
         {{IDC_WELCOME_FRAME, STATIC, CHILD | SS_LEFT | SS_SUNKEN | WS_GROUP, 0, 0, 318, 150, "", 0},
          {IDC_WELCOME_ICON, STATIC, CHILD | SS_ICON, 42, 8, 20, 20, nullptr, IDI_PRODUCT},
          {IDC_BANNER_LINES, STATIC, CHILD | SS_LEFT | WS_GROUP, 68, 10, 200, 17, "", 0},
          {IDC_INTRO_LABEL, STATIC, CHILD | SS_LEFT | WS_GROUP, 24, 39, 100, 8, "Introduction To Setup:", 0},
          {IDC_WELCOME_TEXT, STATIC, CHILD | SS_LEFT | WS_GROUP, 42, 53, 250, 26, "", 0},
          {IDC_NOTES_LABEL, STATIC, CHILD | SS_LEFT | WS_GROUP, 24, 88, 100, 8, "Special Instructions:", 0},
          {IDC_WARNING_TEXT, STATIC, CHILD | SS_LEFT | WS_GROUP, 42, 102, 250, 26, "", 0}}},
        {IDD_LICENSE, PAGE, 0, 0, 318, 150, "", "",
         {{IDC_LICENSE_TEXT, EDIT, CHILD | BOX, 0, 0, 318, 136, "", 0},
          {IDC_ACCEPT, BUTTON, CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 139, 318, 10, "", 0}}},
        {IDD_DESTINATION, PAGE, 20, 20, 318, 150, "", "",
         {{-1, BUTTON, CHILD | BS_GROUPBOX, 0, 0, 318, 88, "Install To Folder:", 0},
          {IDC_DEST_DESCRIPTION, STATIC, CHILD | SS_LEFT | WS_GROUP, 10, 13, 298, 26, "", 0},
          {IDC_DEST_FOLDER, EDIT, CHILD | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 48, 215, 14, "", 0},
          {IDC_BROWSE, BUTTON, CHILD | BS_PUSHBUTTON | WS_TABSTOP, 228, 48, 40, 14, "Browse", 0},
          {IDC_RESET, BUTTON, CHILD | BS_PUSHBUTTON | WS_TABSTOP, 272, 48, 35, 14, "Reset", 0},
          {-1, STATIC, CHILD | SS_LEFT | WS_GROUP, 9, 68, 85, 8, "Disk Space Requirements:", 0},
          {IDC_REQUIRED_SPACE, STATIC, CHILD | SS_LEFT | WS_GROUP, 101, 68, 122, 8, "", 0},
          {IDC_SCOPE_GROUP, BUTTON, CHILD | BS_GROUPBOX | WS_GROUP, 0, 94, 318, 46, "Install Program Shortcuts As:", 0},
          {IDC_SCOPE_USER, BUTTON, CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 12, 108, 254, 10,
           "Single User: Shortcuts will appear on the start menu for only the current user", 0},
          {IDC_SCOPE_ALL, BUTTON, CHILD | BS_AUTORADIOBUTTON, 12, 121, 223, 10,
           "Multiple Users: Shortcuts will appear on the start menu for all users", 0}}},
        {IDD_FINISH, PAGE, 20, 20, 318, 150, "", "",
         {{IDC_DONE_TEXT, STATIC, CHILD | SS_LEFT | WS_GROUP, 0, 0, 317, 18, "", 0},
          {IDC_GUIDE_TEXT, EDIT, CHILD | BOX, 0, 20, 318, 116, "", 0},
          {IDC_RUN_ON_EXIT, BUTTON, CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 139, 317, 10, "", 0}}},
    };
    return specs;
}

// Reads the template's words: strings and ordinals as a text ("#N" for an
// ordinal), the cursor kept on WORD boundaries.
struct Reader {
    const BYTE* p;
    WORD Word() { WORD w = *reinterpret_cast<const WORD*>(p); p += 2; return w; }
    DWORD Dword() { DWORD d = *reinterpret_cast<const DWORD*>(p); p += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    std::string SzOrOrd()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::string text;
        for (WORD c = first; c != 0; c = Word())
            text += static_cast<char>(c);
        return text;
    }
    void AlignDword(const BYTE* base) { p += (4 - (p - base) % 4) % 4; }
};

// A control's class, named by its atom or by its name in any case.
bool IsClass(WORD atom, const std::string& read)
{
    const char* name = atom == BUTTON ? "BUTTON" : atom == EDIT ? "EDIT" : "STATIC";
    return read == "#" + std::to_string(atom) || lstrcmpiA(read.c_str(), name) == 0;
}

TEST(Templates, AsTabled)
{
    std::string installer = ui::EnvPath("NOVLA_INSTALLER");
    HMODULE module = LoadLibraryExA(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module != nullptr);
    for (const TemplateSpec& spec : Templates()) {
        SCOPED_TRACE(spec.id);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(spec.id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
        ASSERT_TRUE(found != nullptr);
        const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
        Reader r{base};
        EXPECT_EQ(spec.style, r.Dword());  // a standard template: no DLGTEMPLATEEX signature
        EXPECT_EQ(0u, r.Dword());          // no extended style
        WORD count = r.Word();
        ASSERT_EQ(spec.items.size(), count);
        EXPECT_EQ(spec.x, r.Short());
        EXPECT_EQ(spec.y, r.Short());
        EXPECT_EQ(spec.cx, r.Short());
        EXPECT_EQ(spec.cy, r.Short());
        EXPECT_EQ("", r.SzOrOrd());  // no menu
        EXPECT_EQ(0, lstrcmpiA(spec.className, r.SzOrOrd().c_str()));  // class names know no case
        EXPECT_EQ(spec.caption, r.SzOrOrd());
        EXPECT_EQ(8, r.Word());
        EXPECT_EQ("MS Shell Dlg", r.SzOrOrd());
        for (const ItemSpec& item : spec.items) {
            SCOPED_TRACE(item.id);
            r.AlignDword(base);
            EXPECT_EQ(item.style, r.Dword());
            EXPECT_EQ(0u, r.Dword());
            EXPECT_EQ(item.x, r.Short());
            EXPECT_EQ(item.y, r.Short());
            EXPECT_EQ(item.cx, r.Short());
            EXPECT_EQ(item.cy, r.Short());
            EXPECT_EQ(static_cast<WORD>(item.id), r.Word());
            EXPECT_TRUE(IsClass(item.classAtom, r.SzOrOrd()));
            EXPECT_EQ(item.text ? std::string(item.text) : "#" + std::to_string(item.ordinal), r.SzOrOrd());
            WORD extra = r.Word();
            r.p += extra;
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
