#pragma once
// Failures in the installation run: a step that cannot go on tells the user
// in a box ("Unable to create destination file!" for a file) and returns
// false; the run then aborts, and the abort undoes what the run did
// (payload/run_undo.h) before "Installation Aborted!". Every action is
// recorded first (payload/record_file.h): a line that cannot be written is
// an action not done. The progress page's own texts and bars are not
// examined.
#include <stdint.h>

#include "common/win32.h"

// Dialog procedure of the progress page (template IDD_PROGRESS): half a second after
// it opens, its one-shot timer runs the whole installation: extraction,
// shortcuts, registration, then Continue posted to the frame; Cancel after
// the abort message when the extraction or the shortcut step fails.
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// What the shortcut and registry steps could not write. They go on past a
// failure, as they always did, but the run tells the user what is missing
// before the finish page instead of calling the step a success. Each step
// sets its own count.
struct InstallShortfall {
    uint16_t shortcuts;        // link files not written
    uint16_t registryEntries;  // registry values not written, those of a key that could not be had included
};
extern InstallShortfall g_installShortfall;

// Posts WM_COMMAND id (Continue or Cancel) to the frame, as a click would
// arrive; sends it when it cannot be posted, so that the wizard never waits
// for a command that was lost.
void PostFrameCommand(int id);

// The pacing of the progress page, in milliseconds. The pauses are for the
// reader, not waits for work: the page keeps painting through each one.
enum InstallPacing {
    INSTALL_START_DELAY = 500,  // from the page's creation to the run
    STEP_PAUSE = 200,           // after each written file and each shortcut
    SUCCESS_PAUSE = 500,        // after each "Success", and after the error box
};
