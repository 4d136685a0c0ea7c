#pragma once
// The installer's side of the decoder's output: the current output file.
#include <stdint.h>

#include "common/win32.h"

// Makes file the current output file of LzhufDecodeStream and LzhufWriteOutput (see
// codec/lzhuf.h); each LzhufWriteOutput is then one WriteFile call on it, true
// only when every byte was written. NULL or INVALID_HANDLE_VALUE clears it:
// LzhufWriteOutput then fails without writing.
void LzhufSetOutputFile(HANDLE file);

// The CRC-32 of the bytes written to the current output file since
// LzhufSetOutputFile made it current.
uint32_t LzhufOutputChecksum();
