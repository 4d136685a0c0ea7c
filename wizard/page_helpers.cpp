// Services the wizard's pages share.
#include "wizard/page_helpers.h"

#include "common/resource_bytes.h"
#include "common/session.h"
#include "resources/resource_ids.h"

// Longest product text (LICENSE, WELCOME) the pages can show, terminator
// included. A larger text is not shown at all rather than shown cut.
enum { RESOURCE_TEXT_CAPACITY = 16384 };

// The page's dialog font as a LOGFONTA; zeroed (the system's default) when
// the page has none.
static void ReadDialogFont(HWND page, LOGFONTA* font)
{
    ZeroMemory(font, sizeof *font);
    HFONT dialogFont = (HFONT)SendMessageA(page, WM_GETFONT, 0, 0);
    if (dialogFont == NULL || GetObjectA(dialogFont, sizeof *font, font) != (int)sizeof *font)
        ZeroMemory(font, sizeof *font);
}

static void SetControlFont(HWND page, int controlId, HFONT font)
{
    // Without a font the control keeps its dialog font.
    if (font != NULL)
        SendDlgItemMessageA(page, controlId, WM_SETFONT, (WPARAM)font, TRUE);
}

void ApplyFixedFont(HWND page, int controlId)
{
    if (g_session.fixedFont == NULL) {
        LOGFONTA font;
        ReadDialogFont(page, &font);
        font.lfHeight = -12;
        lstrcpynA(font.lfFaceName, "Courier New", LF_FACESIZE);
        g_session.fixedFont = CreateFontIndirectA(&font);
    }
    SetControlFont(page, controlId, g_session.fixedFont);
}

void ApplyBoldFont(HWND page, int controlId)
{
    if (g_session.boldFont == NULL) {
        LOGFONTA font;
        ReadDialogFont(page, &font);
        font.lfWeight = FW_BOLD;
        g_session.boldFont = CreateFontIndirectA(&font);
    }
    SetControlFont(page, controlId, g_session.boldFont);
}

void EnableControl(HWND window, int controlId, bool enable)
{
    EnableWindow(GetDlgItem(window, controlId), enable ? TRUE : FALSE);
}

void ShowControl(HWND window, int controlId, bool show)
{
    ShowWindow(GetDlgItem(window, controlId), show ? SW_SHOW : SW_HIDE);
}

bool SetResourceText(HWND page, int controlId, const char* name)
{
    static char text[RESOURCE_TEXT_CAPACITY];
    text[0] = '\0';
    DWORD size;
    const char* bytes = (const char*)LoadResourceBytes(g_session.instance, name, RT_RCDATA, &size);
    // The text has no terminator of its own: its size is its length.
    bool shown = bytes != NULL && size > 0 && size < sizeof text;
    if (shown) {
        CopyMemory(text, bytes, size);
        text[size] = '\0';
    }
    SetDlgItemTextA(page, controlId, text);
    return shown;
}

void ReportDamagedSetup()
{
    MessageBoxA(g_session.frame, DAMAGED_SETUP_TEXT, SETUP_TITLE, MB_OK | MB_ICONERROR);
    PostMessageA(g_session.frame, WM_COMMAND, IDC_CANCEL, 0);
}
