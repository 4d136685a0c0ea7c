// The finish page (template IDD_FINISH): the completion text, the Survival Guide,
// and the box that asks for the application to be started on exit.
#include "common/session.h"
#include "payload/product.h"
#include "resources/resource_ids.h"
#include "wizard/page_helpers.h"
#include "wizard/pages.h"

static void InitFinishPage(HWND page);
static void OnFinishCommand(HWND page, int controlId, int code);
static void ReadRunOnExit(HWND page);

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitFinishPage(page);
        return 1;
    case WM_COMMAND:
        OnFinishCommand(page, LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return 0;
}

static void InitFinishPage(HWND page)
{
    char text[256];
    // "sucessfully" is the product's own wording, kept as it has always read.
    if (FormatText(text, sizeof text,
                   "NOVLA %s was sucessfully installed. Please take a moment to check out the Survival Guide below "
                   "and remember to tell a friend about NOVLA - you'll be glad you did!",
                   g_productInfo.name))
        SetDlgItemTextA(page, IDC_DONE_TEXT, text);
    ApplyFixedFont(page, IDC_GUIDE_TEXT);
    SetResourceText(page, IDC_GUIDE_TEXT, "WELCOME");
    if (FormatText(text, sizeof text, "Place a check here to run NOVLA %s on exit...", g_productInfo.name))
        SetDlgItemTextA(page, IDC_RUN_ON_EXIT, text);
}

static void OnFinishCommand(HWND page, int controlId, int code)
{
    if (controlId == IDC_RUN_ON_EXIT && code == BN_CLICKED)
        ReadRunOnExit(page);
}

static void ReadRunOnExit(HWND page)
{
    g_session.runOnExit = IsDlgButtonChecked(page, IDC_RUN_ON_EXIT) == BST_CHECKED ? 1 : 0;
}
