// wine-versions: win98 win2k winxp vista win7
// The destination page of the real installer: what it shows on each Windows
// generation, the folder checks with their messages, Reset and Browse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/table_rules.h"
#include "tests/win32/install/install_walk.h"
#include "wizard/byte_size.h"
#include "wizard/folder_rules.h"
#include "wizard_walk.h"

namespace {

using install::kDefaultFolder;

LRESULT Checked(HWND frame, int id) { return SendMessageA(ui::Control(frame, id), BM_GETCHECK, 0, 0); }

TEST(Destination, AsItOpensOnThisWindows)
{
    ui::Installer installer;
    ASSERT_TRUE(walk::StartAt(installer, 3));
    HWND frame = installer.frame;
    EXPECT_EQ("The program files for NOVLA Tessaronix will be installed to the following default location. It is "
              "recommended that you do not change the location below as it is optimized especially for program files "
              "to help them start faster and run smoother.",
              ui::ControlText(frame, IDC_DEST_DESCRIPTION));
    EXPECT_EQ(kDefaultFolder, ui::ControlText(frame, IDC_DEST_FOLDER));
    EXPECT_EQ(259, SendMessageA(ui::Control(frame, IDC_DEST_FOLDER), EM_GETLIMITTEXT, 0, 0));
    char space[16];
    FormatByteSize(space, sizeof space,
                   RequiredSpaceFor(&g_payloadTable, install::ModernGeneration() ? OS_MODERN : OS_LEGACY));
    EXPECT_EQ(space, ui::ControlText(frame, IDC_REQUIRED_SPACE));

    bool nineX = ui::EnvPath("NOVLA_WINE_VERSION") == "win98";
    for (int id : {IDC_SCOPE_GROUP, IDC_SCOPE_USER, IDC_SCOPE_ALL})
        EXPECT_EQ(!nineX, ui::IsVisible(ui::Control(frame, id))) << id;
    if (!nineX) {
        EXPECT_EQ(BST_UNCHECKED, Checked(frame, IDC_SCOPE_USER));
        EXPECT_EQ(BST_CHECKED, Checked(frame, IDC_SCOPE_ALL));
        ui::Click(ui::Control(frame, IDC_SCOPE_USER));
        ui::Settle(installer);
        EXPECT_EQ(BST_CHECKED, Checked(frame, IDC_SCOPE_USER));
        EXPECT_EQ(BST_UNCHECKED, Checked(frame, IDC_SCOPE_ALL));
        ui::Click(ui::Control(frame, IDC_SCOPE_ALL));
        ui::Settle(installer);
        EXPECT_EQ(BST_UNCHECKED, Checked(frame, IDC_SCOPE_USER));
        EXPECT_EQ(BST_CHECKED, Checked(frame, IDC_SCOPE_ALL));
    }
    std::string screens = ui::EnvPath("NOVLA_SCREENS");
    if (!screens.empty())
        ui::SaveScreen(screens + "\\destination-" + ui::EnvPath("NOVLA_WINE_VERSION") + ".bmp");
    ui::Click(GetDlgItem(frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
}

TEST(Destination, RejectedFoldersAreExplainedAndKept)
{
    if (ui::EnvPath("NOVLA_WINE_VERSION") != "win7" && ui::EnvPath("NOVLA_WINE_VERSION") != "win98")
        GTEST_SKIP() << "the checks do not depend on the Windows version";
    // The page's rule and its messages are the host's (tests/host/wizard):
    // here, that the page asks it, over the file table compiled in, and
    // says the verdict in a box over the frame, the text kept.
    ui::Installer installer;
    ASSERT_TRUE(walk::StartAt(installer, 3));
    HWND frame = installer.frame;
    HWND folder = ui::Control(frame, IDC_DEST_FOLDER);
    for (const std::string& typed : {std::string("C:\\Apps\\..\\Tessaronix"), "C:\\" + std::string(240, 'a')}) {
        SCOPED_TRACE(typed);
        char committed[PATH_CAPACITY], message[128];
        ASSERT_TRUE(FormatFolderMessage(message, sizeof message,
                                        CheckInstallFolder(typed.c_str(), g_productInfo.name,
                                                           LongestFileName(&g_payloadTable), committed, PATH_CAPACITY)));
        SetWindowTextA(folder, typed.c_str());
        ui::Click(GetDlgItem(frame, IDC_CONTINUE));
        ui::MessageBox box;
        ASSERT_TRUE(ui::WaitForMessageBox(installer, box));
        EXPECT_EQ("NOVLA Setup", box.title);
        EXPECT_EQ(message, box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), box.icon);
        EXPECT_EQ(frame, GetWindow(box.window, GW_OWNER));  // the page's top-level window
        ui::AnswerMessageBox(box);
        ui::Settle(installer, 100);
        EXPECT_EQ(3, walk::PageShown(frame));
        EXPECT_EQ(typed, ui::Text(folder));
    }

    // Reset puts back the folder chosen at start-up.
    SetWindowTextA(folder, "D:\\Elsewhere");
    ui::Click(ui::Control(frame, IDC_RESET));
    ui::Settle(installer);
    EXPECT_EQ(kDefaultFolder, ui::Text(folder));

    // An accepted folder moves on to the progress page (on a drive that is
    // not there, so the run stops at once).
    SetWindowTextA(folder, "Q:\\x");
    ui::Click(GetDlgItem(frame, IDC_CONTINUE));
    EXPECT_TRUE(walk::WaitForPage(installer, 4));
    ui::PostCommand(frame, IDC_CONTINUE);
    EXPECT_TRUE(walk::WaitForPage(installer, 5));
    ui::Click(GetDlgItem(frame, IDC_CANCEL));
    EXPECT_EQ(1u, ui::WaitForExit(installer));
    ui::Kill(installer);
}

// The browser runs with COM joined, and left again: after it, the
// installation completes with every shortcut.
TEST(Destination, BrowseCancelledKeepsTheText)
{
    if (ui::EnvPath("NOVLA_WINE_VERSION") != "win7")
        GTEST_SKIP() << "the browser does not depend on the Windows version";
    // Rooted at My Computer, and at the desktop when that cannot be had.
    for (const char* fault : {"", "SHGetSpecialFolderLocation"}) {
        SCOPED_TRACE(fault);
        ui::Installer installer;
        ui::Environment extra;
        if (*fault)
            extra.push_back(std::string("NOVLA_FAULT=") + fault);
        ASSERT_TRUE(walk::StartAt(installer, 3, ui::Build::Faults, extra));
        HWND frame = installer.frame;
        HWND folder = ui::Control(frame, IDC_DEST_FOLDER);
        SetWindowTextA(folder, "D:\\Typed");
        ui::Click(ui::Control(frame, IDC_BROWSE));
        ui::MessageBox browser;
        ASSERT_TRUE(ui::WaitForMessageBox(installer, browser, nullptr));
        EXPECT_EQ(frame, GetWindow(browser.window, GW_OWNER));
        ui::Click(GetDlgItem(browser.window, IDCANCEL));
        ASSERT_TRUE(ui::WaitUntil([&] { return !IsWindow(browser.window); }));
        ui::Settle(installer);
        EXPECT_EQ("D:\\Typed", ui::Text(folder));
        EXPECT_EQ(3, walk::PageShown(frame));
        if (*fault) {
            ui::Click(GetDlgItem(frame, IDC_CANCEL));
            EXPECT_EQ(1u, ui::WaitForExit(installer));
        } else {
            install::Options options;
            options.folder = kDefaultFolder;
            ASSERT_TRUE(install::BeginInstall(installer, options));
            install::Watch watch = install::WatchProgress(installer);
            EXPECT_TRUE(watch.finished);
            EXPECT_EQ(std::vector<std::string>{}, watch.boxes);
            ASSERT_FALSE(watch.shortcutLabels.empty());
            EXPECT_EQ("Success", watch.shortcutLabels.back());
            EXPECT_EQ(1u, install::Close(installer));
        }
        ui::Kill(installer);
    }
}

}  // namespace
