#pragma once
#include "common/win32.h"

// Dispatches the messages of window (and its children) for at least
// milliseconds, at most one message per pass and at least one pass. A busy
// wait on the tick count: it paces the installation display while keeping
// the page painting. Messages of other windows stay queued.
void PumpMessagesFor(HWND window, DWORD milliseconds);
