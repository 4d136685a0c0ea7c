#pragma once
// The installer's side of the decoder's output: the current output file.
#include "common/win32.h"

// Makes file the current output file of DecodeEntry and WriteOutput (see
// payload/lzhuf.h); each WriteOutput is then one WriteFile call on it, true
// only when every byte was written. NULL or INVALID_HANDLE_VALUE clears it:
// WriteOutput then fails without writing.
void SetOutputFile(HANDLE file);
