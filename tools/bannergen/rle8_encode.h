#pragma once
// BI_RLE8 encoding of 8-bit index rows, as a DIB stores them.
#include <cstdint>
#include <vector>

// Encodes `height` rows of `width` indices (row 0 first, `rowStride` bytes
// apart) into one BI_RLE8 stream: every row but the last ends with the
// end-of-line code, the last with the end-of-bitmap code. Repeats of three
// or more become encoded runs; stretches without repeats become absolute
// runs (3 to 255 literals, padded to an even length).
std::vector<uint8_t> EncodeRle8(const uint8_t* rows, int width, int height, int rowStride);
