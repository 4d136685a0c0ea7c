#pragma once
// Failures in the installation run: a step that cannot go on tells the user
// in a box ("Unable to create destination file!" for a file) and returns
// false; the run then aborts, and the abort undoes what the run did
// (payload/run_undo.h) before "Installation Aborted!". Every action is
// recorded first (record/record_file.h): a line that cannot be written is
// an action not done. The progress page's own texts and bars are not
// examined.
#include "common/win32.h"

// Writes every file-table row of this Windows generation into its folder
// with the product's fixed file time, showing each path in the progress
// page's IDC_FILE_LABEL and stepping its IDC_FILE_BAR. False after the
// "Unable to create destination file!" box when a row cannot be written
// whole (its file cannot be created, its resource is missing or short, a
// write fails); the rows before it stay, for the abort to undo.
bool ExtractPayload(HWND page);

// The pacing of the progress page, in milliseconds. The pauses are for the
// reader, not waits for work: the page keeps painting through each one.
enum InstallPacing {
    INSTALL_START_DELAY = 500,  // from the page's creation to the run
    STEP_PAUSE = 200,           // after each written file and each shortcut
    SUCCESS_PAUSE = 500,        // after each "Success", and after the error box
};
