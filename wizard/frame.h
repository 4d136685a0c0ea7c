#pragma once
#include "common/win32.h"

// The wizard frame (template IDD_FRAME): the banner at its top, the page area in
// its middle and Continue and Cancel below. It creates the pages one at a
// time over the page area and moves on only on its own two commands,
// IDC_CONTINUE and IDC_CANCEL ("Close" on the finish page), clicked or posted.
INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
// Continue: the step of the current WizardState (a test, then the next page).
void AdvanceWizard(HWND frame);
