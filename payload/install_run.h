#pragma once
#include "common/win32.h"

// Dialog procedure of the progress page (template 1005): half a second after
// it opens, its one-shot timer runs the whole installation.
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the page's one-shot installation timer (IDT_INSTALL, 500 ms).
void StartInstallTimer(HWND page);
// The installation run, on the timer's first tick: extraction, shortcuts,
// registration, then Continue posted to the frame; Cancel after the abort
// message when the extraction or the shortcut step fails. Returns 0.
LRESULT OnInstallTimer(HWND page, UINT_PTR timer);
// Writes every file-table row of this Windows generation into its folder
// with the product's fixed file time, showing each path in label 500 and
// stepping bar 501. False after the "Unable to create destination file!"
// box when a row cannot be written whole (its file cannot be created, its
// resource is missing or short, a write fails); the rows before it stay.
bool ExtractPayload(HWND page);
// The abort message over the frame, then Cancel posted to it.
void AbortInstallation();
