// A second installer started while one runs (a double double-click): it
// reads and writes nothing and ends.
#include "common/path_text.h"
#include "common/single_run.h"
#include "payload/product.h"
#include "resources/resource_ids.h"
#include "setup/setup.h"

bool ClaimSetupRun()
{
    if (ClaimProductRun(g_productInfo.name))
        return true;
    // The running installer's frame comes forward, with the box it may be
    // showing; an uninstaller has no frame, nor an installer still starting:
    // then the user is told.
    HWND frame = FindWindowA(FRAME_CLASS_NAME, NULL);
    if (frame != NULL) {
        if (IsIconic(frame))
            ShowWindow(frame, SW_RESTORE);
        SetForegroundWindow(GetLastActivePopup(frame));
        return false;
    }
    char text[KEY_CAPACITY];
    if (!FormatText(text, sizeof text,
                    "Setup or the removal of NOVLA %s is already running: start Setup again once it has ended.",
                    g_productInfo.name))
        CopyText(text, sizeof text, SETUP_TITLE);
    MessageBoxA(NULL, text, SETUP_TITLE, MB_OK | MB_ICONINFORMATION);
    return false;
}
