#include "payload/payload_check.h"

#include <string.h>

#include "common/crc32.h"
#include "common/resource_bytes.h"
#include "common/session.h"
#include "common/win32.h"

static uint32_t s_fileChecksums[PAYLOAD_ROW_CAPACITY];

// The bytes and size of an RCDATA resource; null when it cannot be read.
static const uint8_t* ResourceBytes(const char* name, DWORD* size)
{
    return LoadResourceBytes(g_session.instance, name, RT_RCDATA, size);
}

const uint8_t* RowBytes(const PayloadRow* entry)
{
    DWORD size;
    const uint8_t* bytes = ResourceBytes(entry->resourceName, &size);
    uint32_t needed = entry->storedSize != 0 ? entry->storedSize : entry->fileSize;
    return size >= needed ? bytes : NULL;
}

uint32_t RowChecksum(unsigned row)
{
    return row < PAYLOAD_ROW_CAPACITY ? s_fileChecksums[row] : 0;
}

// A little-endian u32 of the checksums resource; the installer runs on
// little-endian processors only.
static uint32_t ReadU32(const uint8_t* b)
{
    uint32_t value;
    memcpy(&value, b, sizeof value);
    return value;
}

// True when the text resource name can be read and is not empty.
static bool HasText(const char* name)
{
    DWORD size;
    return ResourceBytes(name, &size) != NULL && size != 0;
}

bool VerifyPayload()
{
    const PayloadTable& table = g_payloadTable;
    DWORD size;
    const uint8_t* recorded = ResourceBytes(PAYLOAD_CHECKSUMS_NAME, &size);
    if (recorded == NULL || table.rowCount > PAYLOAD_ROW_CAPACITY || size != 8u * table.rowCount)
        return false;
    for (unsigned row = 0; row < table.rowCount; ++row) {
        const PayloadRow* entry = &table.rows[row];
        const uint8_t* bytes = RowBytes(entry);
        uint32_t stored = entry->storedSize != 0 ? entry->storedSize : entry->fileSize;
        if (bytes == NULL || Crc32Update(CRC32_START, bytes, stored) != ReadU32(recorded + 8 * row))
            return false;
        s_fileChecksums[row] = ReadU32(recorded + 8 * row + 4);
    }
    return HasText("LICENSE") && HasText("WELCOME");
}
