// wine-versions: win98 winxp win7
// The licence and finish pages of the real installer: the texts shown whole,
// the accept box that Continue follows, and the run-on-exit box, seen at exit
// through the launch of the program folder's Tessaronix.exe.
#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <iterator>
#include <string>

#include "wizard_walk.h"

namespace {

// This test program copied to the program folder as Tessaronix.exe stands
// for the installed application: started there, it leaves a mark and ends.
const bool kStartedAsTheApplication = [] {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    const char* name = n ? strrchr(path, '\\') : nullptr;
    if (name && lstrcmpiA(name + 1, "Tessaronix.exe") == 0) {
        std::string mark = std::string(path, static_cast<size_t>(name - path)) + "\\started.mark";
        CloseHandle(CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ExitProcess(0);
    }
    return false;
}();

const char kProgramFolder[] = "C:\\Program Files\\Novla\\Tessaronix";

// The bytes of the installer's RCDATA text.
std::string ResourceText(const char* name)
{
    HMODULE module = LoadLibraryExA(ui::EnvPath("NOVLA_INSTALLER").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceA(module, name, MAKEINTRESOURCEA(10) /* RT_RCDATA */) : nullptr;
    std::string text;
    if (found)
        text.assign(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
    if (module)
        FreeLibrary(module);
    return text;
}

// The source file the resource is built from (resources/, next to tests/).
std::string SourceText(const char* file)
{
    std::string here = __FILE__;
    std::string root = here.substr(0, here.rfind("tests/win32/wizard/"));
    std::string path = "Z:" + root + "resources/" + file;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Plain ASCII, CR LF line ends only, no terminator, nothing after the last line.
void ExpectPlainCrLfText(const std::string& text)
{
    ASSERT_FALSE(text.empty());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << i;
        if (c == '\r')
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << i;
        if (c == '\n')
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << i;
    }
    EXPECT_NE('\n', text.back());
}

// The pixel steps between the first characters of an edit box's text.
void ExpectFixedPitch(HWND edit, int characters)
{
    int first = LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0));
    int step = LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 1, 0)) - first;
    EXPECT_GE(step, 6);  // 12-pixel Courier New advances 7 pixels a character
    EXPECT_LE(step, 8);
    for (int i = 1; i < characters; ++i)
        EXPECT_EQ(first + i * step, LOWORD(SendMessageA(edit, EM_POSFROMCHAR, i, 0))) << i;
}

void PressSpace(HWND button)
{
    PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(button, WM_KEYUP, VK_SPACE, 0xC0390001);
}

TEST(License, WholeTextInTheFixedFontAndContinueFollowsTheBox)
{
    std::string licence = ResourceText("LICENSE");
    ExpectPlainCrLfText(licence);
    EXPECT_EQ(SourceText("license.txt"), licence);

    ui::Installer installer;
    ASSERT_TRUE(walk::StartAt(installer, 2));
    HWND frame = installer.frame;
    HWND text = ui::Control(frame, IDC_LICENSE_TEXT);
    HWND accept = ui::Control(frame, IDC_ACCEPT);
    HWND next = GetDlgItem(frame, IDC_CONTINUE);
    EXPECT_EQ(licence, ui::Text(text));
    ExpectFixedPitch(text, 20);
    EXPECT_EQ("I accept the terms outlined in the EULA above and indicate so by placing a check here.",
              ui::Text(accept));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(accept, BM_GETCHECK, 0, 0));
    EXPECT_FALSE(ui::IsEnabled(next));

    // A Continue that arrives while the box is clear leaves the page.
    HWND page = ui::CurrentPage(frame);
    ui::PostCommand(frame, IDC_CONTINUE);
    ui::Settle(installer, 100);
    EXPECT_EQ(page, ui::CurrentPage(frame));

    // Mouse and space bar alike.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "click" : "space bar");
        for (bool checked : {true, false, true}) {
            if (round == 0)
                ui::Click(accept);
            else
                PressSpace(accept);
            ui::Settle(installer);
            EXPECT_EQ(checked ? BST_CHECKED : BST_UNCHECKED, SendMessageA(accept, BM_GETCHECK, 0, 0));
            EXPECT_EQ(checked, ui::IsEnabled(next));
        }
        ui::Click(accept);
        ui::Settle(installer);
        EXPECT_FALSE(ui::IsEnabled(next));
    }
    ui::Click(accept);
    ui::Settle(installer);
    ui::Click(next);
    EXPECT_TRUE(walk::WaitForPage(installer, 3));
    EXPECT_TRUE(ui::IsEnabled(next));  // as the licence page left it
    ui::Click(GetDlgItem(frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
}

TEST(Finish, TextsAndTheRunOnExitBox)
{
    std::string guide = ResourceText("WELCOME");
    ExpectPlainCrLfText(guide);
    EXPECT_EQ(SourceText("welcome.txt"), guide);
    std::string stand_in = std::string(kProgramFolder) + "\\Tessaronix.exe";
    std::string mark = std::string(kProgramFolder) + "\\started.mark";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);

    // The box's last state decides: after 0, 1 and 2 clicks.
    for (int clicks = 0; clicks <= 2; ++clicks) {
        SCOPED_TRACE(clicks);
        ui::Installer installer;
        ASSERT_TRUE(walk::StartAt(installer, 5));
        HWND frame = installer.frame;
        if (clicks == 0) {
            EXPECT_EQ("NOVLA Tessaronix was sucessfully installed. Please take a moment to check out the Survival "
                      "Guide below and remember to tell a friend about NOVLA - you'll be glad you did!",
                      ui::ControlText(frame, IDC_DONE_TEXT));
            EXPECT_EQ(guide, ui::ControlText(frame, IDC_GUIDE_TEXT));
            ExpectFixedPitch(ui::Control(frame, IDC_GUIDE_TEXT), 20);
            EXPECT_EQ("Place a check here to run NOVLA Tessaronix on exit...", ui::ControlText(frame, IDC_RUN_ON_EXIT));
            EXPECT_EQ("Close", ui::ControlText(frame, IDC_CANCEL));
        }
        // The application stands in the program folder when the wizard ends.
        CreateDirectoryA("C:\\Program Files\\Novla", nullptr);
        CreateDirectoryA(kProgramFolder, nullptr);
        ASSERT_TRUE(CopyFileA(self, stand_in.c_str(), FALSE));
        DeleteFileA(mark.c_str());
        HWND box = ui::Control(frame, IDC_RUN_ON_EXIT);
        for (int i = 0; i < clicks; ++i) {
            ui::Click(box);
            ui::Settle(installer);
        }
        EXPECT_EQ(clicks == 1 ? BST_CHECKED : BST_UNCHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
        ui::Click(GetDlgItem(frame, IDC_CANCEL));
        EXPECT_EQ(1u, ui::WaitForExit(installer));
        ui::Kill(installer);
        bool started = ui::WaitUntil([&] { return GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                     clicks == 1 ? 15000 : 1500);
        EXPECT_EQ(clicks == 1, started);
    }
}

}  // namespace
