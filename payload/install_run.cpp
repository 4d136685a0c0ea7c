// Placeholder until the installation run lands: the progress page opens and
// does nothing.
#include "payload/install_run.h"

INT_PTR CALLBACK ProgressPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}
