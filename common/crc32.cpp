#include "common/crc32.h"

// Built on first use rather than stored: 1 KB of zeros costs the program no
// file space, a table of constants would.
static uint32_t s_table[256];

static void BuildTable()
{
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
        s_table[i] = c;
    }
}

uint32_t Crc32Update(uint32_t crc, const uint8_t* bytes, size_t count)
{
    // Entry 1 is never 0 once built.
    if (s_table[1] == 0)
        BuildTable();
    crc = ~crc;
    for (size_t i = 0; i < count; ++i)
        crc = s_table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
