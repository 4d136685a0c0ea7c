#pragma once
// Services the wizard's pages share: the two cached fonts, enabling and
// showing a control, and the product texts carried as resources.
#include "common/win32.h"

// Sets the page's control in the shared fixed-pitch font (the page's dialog
// font with height -12 and face "Courier New"), made on first use.
void ApplyFixedFont(HWND page, int controlId);
// Sets the page's control in the shared bold font (the page's dialog font
// with weight 700), made on first use.
void ApplyBoldFont(HWND page, int controlId);
// EnableWindow on the window's control.
void EnableControl(HWND window, int controlId, bool enable);
// Shows (SW_SHOW) or hides (SW_HIDE) the window's control.
void ShowControl(HWND window, int controlId, bool show);
// Sets exactly the bytes of the RCDATA text `name` (which carries no
// terminator) as the text of the page's control. False, the control left
// empty, when the text cannot be loaded, is empty or is larger than the page
// can hold.
bool SetResourceText(HWND page, int controlId, const char* name);

// A setup file whose own resources cannot be read is damaged: says so over
// the frame, and ends the wizard as Cancel does.
void ReportDamagedSetup();

// The box every damaged setup file shows.
#define DAMAGED_SETUP_TEXT "The setup file is damaged. Please download it again."

