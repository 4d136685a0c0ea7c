// The welcome page (template IDD_WELCOME): the engine's banner lines, the welcome
// text, and the start-up warning that stops the wizard.
#include "common/session.h"
#include "payload/product.h"
#include "resources/resource_ids.h"
#include "wizard/page_helpers.h"
#include "wizard/pages.h"

// Text colour of the banner lines: dark blue (red 0, green 0, blue 128).
#define BANNER_TEXT_COLOUR RGB(0, 0, 128)

static void InitWelcomePage(HWND page);
static INT_PTR ColourBannerText(HDC dc, HWND control);

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitWelcomePage(page);
        return 1;
    case WM_CTLCOLORSTATIC:
        return ColourBannerText((HDC)wParam, (HWND)lParam);
    }
    return 0;
}

static void InitWelcomePage(HWND page)
{
    ApplyBoldFont(page, IDC_INTRO_LABEL);
    ApplyBoldFont(page, IDC_NOTES_LABEL);

    char text[256];
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (FormatText(text, sizeof text, "NOVLA Hybrid Setup\r\nCopyright (C) 1995-%u NOVLA. All rights reserved.",
                   (unsigned)now.wYear))
        SetDlgItemTextA(page, IDC_BANNER_LINES, text);

    // "to being..." is the product's own wording, kept as it has always read.
    if (FormatText(text, sizeof text,
                   "Welcome to the new NOVLA installation wizard. This setup utility will guide you through a few "
                   "simple steps to install the NOVLA %s software on your computer. Click the Continue button below "
                   "now to being...",
                   g_productInfo.name))
        SetDlgItemTextA(page, IDC_WELCOME_TEXT, text);

    if (g_session.filesInUse) {
        EnableControl(g_session.frame, IDC_CONTINUE, false);
        SetDlgItemTextA(page, IDC_WARNING_TEXT,
                        "Setup has detected that one or more files it needs to replace are currently loaded in "
                        "memory. It is strongly recommended that you quit all running programs and restart your "
                        "computer before you continue.");
    } else if (g_session.notAdmin) {
        EnableControl(g_session.frame, IDC_CONTINUE, false);
        SetDlgItemTextA(page, IDC_WARNING_TEXT,
                        "Setup has detected that it cannot continue in the current user mode. Please exit and run "
                        "setup again in the Administrative mode. For more information, please consult your Windows "
                        "help documentation.");
    } else {
        ShowControl(page, IDC_NOTES_LABEL, false);
    }
}

static INT_PTR ColourBannerText(HDC dc, HWND control)
{
    if (GetDlgCtrlID(control) != IDC_BANNER_LINES)
        return 0;
    SetTextColor(dc, BANNER_TEXT_COLOUR);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
}
