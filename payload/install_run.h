#pragma once
#include "common/win32.h"

// Dialog procedure of the progress page (template 1005): half a second after
// it opens, its one-shot timer runs the whole installation.
INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
