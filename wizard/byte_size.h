#pragma once
// The disk-space text of the destination page. Portable.
#include <stddef.h>
#include <stdint.h>

// Writes a byte count as the destination page shows it: "Bytes" below 1000,
// "KB" below 1,000,000, "MB" below 1,000,000,000, else "GB". The thresholds
// are decimal, the divisors powers of two, and the number is cut (not
// rounded) to three significant digits: "0.97 KB", "12.0 Bytes", "957 KB".
// A zero count reads "0 Bytes". Out stays empty when capacity is too small.
void FormatByteSize(char* out, size_t capacity, uint32_t bytes);
