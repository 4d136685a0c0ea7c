// The wizard frame and its page sequence.
#include "wizard/frame.h"

#include "banner/banner_bitmap.h"
#include "common/session.h"
#include "resources/resource_ids.h"
#include "wizard/folder_rules.h"
#include "wizard/page_helpers.h"
#include "wizard/pages.h"

// What happens on Continue in each WizardState: the test the current page
// must pass, whether Continue is disabled or hidden and IDC_CANCEL renamed before
// the next page is created, and that page.
enum FrameStep { STEP_NONE, STEP_DISABLE_CONTINUE, STEP_HIDE_CONTINUE, STEP_RENAME_CANCEL };

struct PageStep {
    bool (*test)(HWND page);  // null: none
    FrameStep step;
    WORD nextTemplate;        // 0: no page follows
    DLGPROC nextProc;
};

static void InitFrame(HWND frame);
static void OnFrameCommand(HWND frame, int controlId, int code);
static void CancelWizard(HWND frame);
static INT_PTR PaintBanner(HWND frame);
static void CentreOnScreen(HWND window);

static bool FolderCommitted(HWND page) { return ValidateInstallFolder(page) == 1; }

// Indexed by WizardState.
static const PageStep kPageSteps[PAGE_FINISH + 1] = {
    {NULL, STEP_NONE, IDD_WELCOME, WelcomePageProc},
    {NULL, STEP_DISABLE_CONTINUE, IDD_LICENSE, LicensePageProc},
    {IsLicenseAccepted, STEP_NONE, IDD_DESTINATION, DestinationPageProc},
    {FolderCommitted, STEP_HIDE_CONTINUE, IDD_PROGRESS, ProgressPageProc},
    {NULL, STEP_RENAME_CANCEL, IDD_FINISH, FinishPageProc},
    {NULL, STEP_NONE, 0, NULL},
};

INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_PAINT:
        return PaintBanner(frame);
    case WM_INITDIALOG:
        InitFrame(frame);
        return 1;
    case WM_COMMAND:
        OnFrameCommand(frame, LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return 0;
}

static void InitFrame(HWND frame)
{
    g_session.frame = frame;
    CentreOnScreen(frame);
    AdvanceWizard(frame);
}

static void OnFrameCommand(HWND frame, int controlId, int code)
{
    // IDOK and IDCANCEL (Enter, Esc, the close box) are not ours: the wizard
    // moves only on Continue and ends only on IDC_CANCEL.
    if (code != BN_CLICKED)
        return;
    if (controlId == IDC_CONTINUE)
        AdvanceWizard(frame);
    else if (controlId == IDC_CANCEL)
        CancelWizard(frame);
}

// Puts the current page exactly over the page area (IDC_PAGE_AREA).
static void PlaceCurrentPage(HWND frame)
{
    if (g_session.page == NULL)
        return;
    RECT area;
    if (!GetWindowRect(GetDlgItem(frame, IDC_PAGE_AREA), &area))
        return;
    MapWindowPoints(NULL, frame, (POINT*)&area, 2);
    SetWindowPos(g_session.page, NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void AdvanceWizard(HWND frame)
{
    uint16_t state = g_session.wizardState;
    if (state > PAGE_FINISH)
        return;
    const PageStep& row = kPageSteps[state];
    if (row.nextTemplate != 0 && (row.test == NULL || row.test(g_session.page))) {
        if (g_session.page != NULL) {
            DestroyWindow(g_session.page);
            g_session.page = NULL;
        }
        switch (row.step) {
        case STEP_DISABLE_CONTINUE:
            EnableControl(frame, IDC_CONTINUE, false);
            break;
        case STEP_HIDE_CONTINUE:
            ShowControl(frame, IDC_CONTINUE, false);
            break;
        case STEP_RENAME_CANCEL:
            SetDlgItemTextA(frame, IDC_CANCEL, "Close");
            break;
        case STEP_NONE:
            break;
        }
        // The page initialises before the state moves on: during its
        // WM_INITDIALOG it sees the previous state.
        HWND page = CreateDialogParamA(g_session.instance, MAKEINTRESOURCEA(row.nextTemplate), frame, row.nextProc,
                                       0);
        if (page == NULL) {
            // Never sit with no page while the state names one: the wizard
            // ends, as Cancel would end it, and says why.
            g_session.wizardState = PAGE_NONE;
            MessageBoxA(frame, "Setup cannot show its next page and will now end.", SETUP_TITLE,
                        MB_OK | MB_ICONERROR);
            EndDialog(frame, 1);
            return;
        }
        g_session.page = page;
        g_session.wizardState = (uint16_t)(state + 1);
    }
    PlaceCurrentPage(frame);
}

static void CancelWizard(HWND frame)
{
    if (g_session.page != NULL) {
        DestroyWindow(g_session.page);
        g_session.page = NULL;
    }
    EndDialog(frame, 1);
}

static INT_PTR PaintBanner(HWND frame)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(frame, &paint);
    HDC memory = dc ? CreateCompatibleDC(dc) : NULL;
    RECT outer;
    if (memory != NULL && GetWindowRect(frame, &outer)) {
        int width = outer.right - outer.left;
        int height = outer.bottom - outer.top;
        // Made once; when it cannot be made, the next paint asks again.
        if (g_session.banner == NULL)
            g_session.banner = LoadBannerBitmap(dc, g_session.instance, IDB_BANNER, (WORD)width);
        if (g_session.banner != NULL) {
            HGDIOBJ kept = SelectObject(memory, g_session.banner);
            BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
            SelectObject(memory, kept);
        }
    }
    if (memory != NULL)
        DeleteDC(memory);
    EndPaint(frame, &paint);
    return 1;
}

static void CentreOnScreen(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    MoveWindow(window, x, y, width, height, FALSE);
}
