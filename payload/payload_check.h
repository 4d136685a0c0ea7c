#pragma once
// The installer's check of its own payload, so that a damaged download is
// refused before it writes anything, and each file is checked again as it is
// written.
#include <stdint.h>

#include "payload/product.h"

// True when the payload is whole: the checksums resource holds two
// checksums per row; every row's resource exists, is as long as its row
// says, and its bytes have the recorded CRC-32; and the texts the wizard
// shows (LICENSE, WELCOME) can be read and are not empty. Checks every row,
// whichever Windows generation it is for: a damaged download is damaged
// anywhere. Reads the stored bytes only (about 1 MB), so it costs a few
// milliseconds before the first page.
bool VerifyPayload();

// The bytes of a row's resource, or null when the resource is missing or
// holds fewer bytes than the row says (nothing may read beyond it).
const uint8_t* RowBytes(const PayloadRow* entry);

// The recorded CRC-32 of row's file as installed, once VerifyPayload has
// returned true.
uint32_t RowChecksum(unsigned row);
