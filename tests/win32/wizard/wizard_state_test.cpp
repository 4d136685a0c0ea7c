// wine-versions: win98 winxp win7
// The wizard's own state, seen from inside: the frame and its pages run in
// this process from the installer's resources, so the session's flags,
// fonts and WizardState can be read directly.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <thread>

#include "payload/os_class.h"
#include "resources/resource_ids.h"
#include "setup/setup.h"
#include "ui_driver.h"
#include "wizard/frame.h"
#include "wizard/pages.h"

namespace {

class WizardState : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Loaded once: the frame's class stays registered for this module.
        static HMODULE module =
            LoadLibraryExA(ui::EnvPath("NOVLA_INSTALLER").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        module_ = module;
        ASSERT_TRUE(module_ != nullptr);
        memset(&g_session, 0, sizeof g_session);
        g_session.instance = reinterpret_cast<HINSTANCE>(module_);
        CopyText(g_installDirs[DIR_PROGRAM], PATH_CAPACITY, "C:\\Program Files\\Novla\\Tessaronix");
        RegisterFrameClass();
        FaultSelect(nullptr, 0, false);
        frame_ = CreateDialogParamA(g_session.instance, MAKEINTRESOURCEA(IDD_FRAME), nullptr, FrameDialogProc, 0);
        ASSERT_TRUE(frame_ != nullptr);
    }
    void TearDown() override
    {
        FaultSelect(nullptr, 0, false);
        if (IsWindow(frame_))
            DestroyWindow(frame_);
        ReleaseGdiCache();
        memset(&g_session, 0, sizeof g_session);
    }
    // Moves on as Continue does, ticking the licence box first.
    void Continue()
    {
        if (g_session.wizardState == PAGE_LICENSE)
            CheckDlgButton(g_session.page, IDC_ACCEPT, BST_CHECKED);
        AdvanceWizard(frame_);
    }
    void Click(int id) { SendMessageA(GetDlgItem(g_session.page, id), BM_CLICK, 0, 0); }
    HFONT FontOf(int id) { return reinterpret_cast<HFONT>(SendDlgItemMessageA(g_session.page, id, WM_GETFONT, 0, 0)); }

    HMODULE module_ = nullptr;
    HWND frame_ = nullptr;
};

LOGFONTA Read(HFONT font)
{
    LOGFONTA f;
    memset(&f, 0, sizeof f);
    EXPECT_EQ(static_cast<int>(sizeof f), GetObjectA(font, sizeof f, &f));
    return f;
}

TEST_F(WizardState, FontsMadeOnceFromTheDialogFont)
{
    EXPECT_EQ(PAGE_WELCOME, g_session.wizardState);
    EXPECT_EQ(frame_, g_session.frame);
    LOGFONTA dialog = Read(reinterpret_cast<HFONT>(SendMessageA(g_session.page, WM_GETFONT, 0, 0)));
    ASSERT_TRUE(g_session.boldFont != nullptr);
    EXPECT_EQ(g_session.boldFont, FontOf(IDC_INTRO_LABEL));
    EXPECT_EQ(g_session.boldFont, FontOf(IDC_NOTES_LABEL));
    LOGFONTA bold = Read(g_session.boldFont);
    EXPECT_EQ(FW_BOLD, bold.lfWeight);
    bold.lfWeight = dialog.lfWeight;
    EXPECT_EQ(0, memcmp(&dialog, &bold, sizeof dialog));  // every other field kept

    Continue();
    EXPECT_EQ(PAGE_LICENSE, g_session.wizardState);
    ASSERT_TRUE(g_session.fixedFont != nullptr);
    EXPECT_EQ(g_session.fixedFont, FontOf(IDC_LICENSE_TEXT));
    LOGFONTA fixed = Read(g_session.fixedFont);
    EXPECT_EQ(-12, fixed.lfHeight);
    EXPECT_STREQ("Courier New", fixed.lfFaceName);
    fixed.lfHeight = dialog.lfHeight;
    memcpy(fixed.lfFaceName, dialog.lfFaceName, sizeof fixed.lfFaceName);
    EXPECT_EQ(0, memcmp(&dialog, &fixed, sizeof dialog));

    HFONT boldBefore = g_session.boldFont, fixedBefore = g_session.fixedFont;
    Continue();
    EXPECT_EQ(boldBefore, FontOf(IDC_REQUIRED_SPACE));
    Continue();
    Continue();
    EXPECT_EQ(PAGE_FINISH, g_session.wizardState);
    EXPECT_EQ(fixedBefore, FontOf(IDC_GUIDE_TEXT));
    EXPECT_EQ(boldBefore, g_session.boldFont);
    EXPECT_EQ(fixedBefore, g_session.fixedFont);
}

TEST_F(WizardState, ShortcutScopeFollowsTheRadios)
{
    Continue();
    Continue();
    ASSERT_EQ(PAGE_DESTINATION, g_session.wizardState);
    OsClass osClass;
    if (GetOsClass(&osClass) && osClass == 0) {
        EXPECT_EQ(0, g_session.allUsers);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(g_session.page, IDC_SCOPE_GROUP)));
        return;
    }
    EXPECT_EQ(1, g_session.allUsers);
    Click(IDC_SCOPE_USER);
    EXPECT_EQ(0, g_session.allUsers);
    Click(IDC_SCOPE_USER);
    EXPECT_EQ(0, g_session.allUsers);
    Click(IDC_SCOPE_ALL);
    EXPECT_EQ(1, g_session.allUsers);
    // Notifications other than a click are not read.
    CheckDlgButton(g_session.page, IDC_SCOPE_ALL, BST_UNCHECKED);
    SendMessageA(g_session.page, WM_COMMAND, MAKEWPARAM(IDC_SCOPE_ALL, BN_DOUBLECLICKED), 0);
    EXPECT_EQ(1, g_session.allUsers);
}

TEST_F(WizardState, AcceptedFoldersAreCommittedAndShown)
{
    Continue();
    Continue();
    ASSERT_EQ(PAGE_DESTINATION, g_session.wizardState);
    // One folder the rule completes and one it keeps (its cases are the
    // host's, tests/host/wizard): what it commits is held and shown.
    struct Case {
        const char* typed;
        const char* committed;
    } cases[] = {
        {"c:\\apps\\", "c:\\apps\\Tessaronix"},
        {"C:\\OldTessaronix", "C:\\OldTessaronix"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CopyText(g_installDirs[DIR_PROGRAM], PATH_CAPACITY, "C:\\Start");
        SetDlgItemTextA(g_session.page, IDC_DEST_FOLDER, c.typed);
        EXPECT_EQ(1, ValidateInstallFolder(g_session.page));
        EXPECT_STREQ(c.committed, g_installDirs[DIR_PROGRAM]);
        char shown[PATH_CAPACITY];
        GetDlgItemTextA(g_session.page, IDC_DEST_FOLDER, shown, sizeof shown);
        EXPECT_STREQ(c.committed, shown);
    }
    // Reset shows the folder now held.
    SetDlgItemTextA(g_session.page, IDC_DEST_FOLDER, "D:\\Typed");
    Click(IDC_RESET);
    char shown[PATH_CAPACITY];
    GetDlgItemTextA(g_session.page, IDC_DEST_FOLDER, shown, sizeof shown);
    EXPECT_STREQ(g_installDirs[DIR_PROGRAM], shown);
}

TEST_F(WizardState, RunOnExitFollowsTheBoxAfterZeroOneAndTwoClicks)
{
    for (int i = 0; i < 4; ++i)
        Continue();
    ASSERT_EQ(PAGE_FINISH, g_session.wizardState);
    EXPECT_EQ(0, g_session.runOnExit);
    Click(IDC_RUN_ON_EXIT);
    EXPECT_EQ(1, g_session.runOnExit);
    Click(IDC_RUN_ON_EXIT);
    EXPECT_EQ(0, g_session.runOnExit);
    // Continue on the finish page changes nothing.
    HWND page = g_session.page;
    AdvanceWizard(frame_);
    EXPECT_EQ(PAGE_FINISH, g_session.wizardState);
    EXPECT_EQ(page, g_session.page);
}

TEST_F(WizardState, APageThatCannotBeCreatedLeavesNoStateBehind)
{
    // Each later page in turn: the wizard ends with no page and state 0.
    for (int failing = PAGE_LICENSE; failing <= PAGE_FINISH; ++failing) {
        SCOPED_TRACE(failing);
        if (failing > PAGE_LICENSE) {
            TearDown();
            SetUp();
        }
        while (g_session.wizardState < failing - 1)
            Continue();
        FaultSelect("CreateDialogParamA", 1, false);
        // The wizard tells why it ends, in a box of this process.
        std::thread answer([] {
            ui::Installer self;
            self.process.dwProcessId = GetCurrentProcessId();
            ui::MessageBox box;
            if (ui::WaitForMessageBox(self, box))
                ui::AnswerMessageBox(box);
        });
        Continue();
        answer.join();
        EXPECT_TRUE(FaultFired());
        EXPECT_EQ(PAGE_NONE, g_session.wizardState);
        EXPECT_TRUE(g_session.page == nullptr);
        EXPECT_FALSE(IsWindowVisible(frame_));  // ended
    }
}

}  // namespace
