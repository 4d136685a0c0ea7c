#pragma once
#include "common/win32.h"

// Dialog procedure of the progress page (template 1005): half a second after
// it opens, its one-shot timer runs the whole installation: extraction,
// shortcuts, registration, then Continue posted to the frame; Cancel after
// the abort message when the extraction or the shortcut step fails.
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The pacing of the progress page, in milliseconds. The pauses are for the
// reader, not waits for work: the page keeps painting through each one.
enum InstallPacing {
    INSTALL_START_DELAY = 500,  // from the page's creation to the run
    STEP_PAUSE = 200,           // after each written file and each shortcut
    SUCCESS_PAUSE = 500,        // after each "Success", and after the error box
};
