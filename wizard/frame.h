#pragma once
#include "common/win32.h"

// Dialog procedure of the wizard frame (template 1001).
INT_PTR CALLBACK FrameDialogProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
