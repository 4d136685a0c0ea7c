#pragma once
// CRC-32 (the reflected polynomial 0xEDB88320, as in ZIP and PNG), over which
// the packer records every product file and the installer checks it. It
// finds every burst of damage up to 32 bits long and misses other damage
// once in about four billion cases: a download cut short or a bit flipped
// on the way. It does not stand against deliberate tampering, which would
// rewrite the checksums too. Portable: no Windows header.
#include <stddef.h>
#include <stdint.h>

enum { CRC32_START = 0 };

// The checksum of the bytes that follow those already counted in crc
// (CRC32_START for none): Crc32Update(Crc32Update(0, a), b) is the checksum
// of a followed by b. Builds its table on first use (not re-entrant then).
uint32_t Crc32Update(uint32_t crc, const uint8_t* bytes, size_t count);
