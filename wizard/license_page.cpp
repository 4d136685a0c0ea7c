// The licence page (template IDD_LICENSE): the agreement, and the accept box that
// Continue follows.
#include "common/session.h"
#include "resources/resource_ids.h"
#include "wizard/page_helpers.h"
#include "wizard/pages.h"

static void InitLicensePage(HWND page);
static void OnLicenseCommand(HWND page, int controlId, int code);
static void SyncContinueWithAccept(HWND page);

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitLicensePage(page);
        return 1;
    case WM_COMMAND:
        OnLicenseCommand(page, LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return 0;
}

static void InitLicensePage(HWND page)
{
    ApplyFixedFont(page, IDC_LICENSE_TEXT);
    // Never an empty agreement to accept: a licence that cannot be read is
    // a damaged setup file. Continue stays disabled until the wizard ends.
    if (!SetResourceText(page, IDC_LICENSE_TEXT, "LICENSE"))
        ReportDamagedSetup();
    SetDlgItemTextA(page, IDC_ACCEPT,
                    "I accept the terms outlined in the EULA above and indicate so by placing a check here.");
}

static void OnLicenseCommand(HWND page, int controlId, int code)
{
    if (controlId == IDC_ACCEPT && code == BN_CLICKED)
        SyncContinueWithAccept(page);
}

static void SyncContinueWithAccept(HWND page)
{
    EnableControl(g_session.frame, IDC_CONTINUE, IsLicenseAccepted(page));
}

bool IsLicenseAccepted(HWND page)
{
    return IsDlgButtonChecked(page, IDC_ACCEPT) == BST_CHECKED;
}
