#pragma once
// The installer's check of its own payload, so that a damaged download is
// refused before it writes anything, and each file is checked again as it is
// written.
#include <stdint.h>

#include "payload/product.h"

// True when the payload is whole: the checksums resource holds one checksum
// per row; every row's resource exists and is as long as its row says; its
// bytes, expanded or raw, have the recorded CRC-32; every compressed stream
// ends exactly at its last stored byte (the packer's streams all do, so one
// that ends earlier is damaged); and the texts the wizard shows (LICENSE,
// WELCOME) can be read and are not empty. Checks every row, whichever
// Windows generation it is for: a damaged download is damaged anywhere.
bool VerifyPayload();

// The bytes of a row's resource, or null when the resource is missing or
// holds fewer bytes than the row says (nothing may read beyond it).
const uint8_t* RowBytes(const PayloadEntry* entry);

// The recorded CRC-32 of row's file, once VerifyPayload has returned true.
uint32_t RowChecksum(unsigned row);
