// The wizard frame. For now it only opens and ends: Cancel (102) ends it.
#include "wizard/frame.h"

#include "resources/resource_ids.h"
#include "setup/session.h"

INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        g_session.frame = frame;
        return 1;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CANCEL)
            EndDialog(frame, 1);
        return 0;
    }
    return 0;
}
