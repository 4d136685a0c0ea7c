#include "payload/payload_check.h"

#include "common/crc32.h"
#include "common/win32.h"
#include "payload/lzhuf.h"
#include "setup/session.h"

static uint32_t s_checksums[PAYLOAD_ROW_CAPACITY];

// The bytes and size of an RCDATA resource; null when it cannot be read.
static const uint8_t* ResourceBytes(const char* name, DWORD* size)
{
    HRSRC resource = FindResourceA(g_session.instance, name, RT_RCDATA);
    *size = resource != NULL ? SizeofResource(g_session.instance, resource) : 0;
    HGLOBAL loaded = resource != NULL ? LoadResource(g_session.instance, resource) : NULL;
    return loaded != NULL ? (const uint8_t*)LockResource(loaded) : NULL;
}

const uint8_t* RowBytes(const PayloadEntry* entry)
{
    DWORD size;
    const uint8_t* bytes = ResourceBytes(entry->resourceName, &size);
    uint32_t needed = entry->storedSize != 0 ? entry->storedSize : entry->fileSize;
    return size >= needed ? bytes : NULL;
}

uint32_t RowChecksum(unsigned row)
{
    return row < PAYLOAD_ROW_CAPACITY ? s_checksums[row] : 0;
}

static bool CountChecksum(void* crc, const uint8_t* bytes, uint32_t count)
{
    *(uint32_t*)crc = Crc32Update(*(uint32_t*)crc, bytes, count);
    return true;
}

// The CRC-32 of a row's file, from its resource; false when the resource
// cannot be read or a stream does not end at its last stored byte.
static bool ChecksumOfRow(const PayloadEntry* entry, uint32_t* crc)
{
    const uint8_t* bytes = RowBytes(entry);
    if (bytes == NULL)
        return false;
    *crc = CRC32_START;
    if (entry->storedSize == 0) {
        *crc = Crc32Update(*crc, bytes, entry->fileSize);
        return true;
    }
    SetLzhufOutput(CountChecksum, crc);
    // inputCount: the stored bytes the decoder did not need.
    bool whole = DecodeEntry(bytes, entry->storedSize, entry->fileSize) && g_lzhufDecoder.inputCount == 0;
    SetLzhufOutput(NULL, NULL);
    return whole;
}

bool VerifyPayload()
{
    const PayloadTable& table = g_payloadTable;
    DWORD size;
    const uint8_t* recorded = ResourceBytes(PAYLOAD_CHECKSUMS_NAME, &size);
    if (recorded == NULL || table.entryCount > PAYLOAD_ROW_CAPACITY || size != 4u * table.entryCount)
        return false;
    for (unsigned row = 0; row < table.entryCount; ++row) {
        const uint8_t* b = recorded + 4 * row;
        s_checksums[row] = (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24;
        uint32_t crc;
        if (!ChecksumOfRow(&table.rows[row], &crc) || crc != s_checksums[row])
            return false;
    }
    static const char* const kTexts[] = {"LICENSE", "WELCOME"};
    for (const char* name : kTexts)
        if (ResourceBytes(name, &size) == NULL || size == 0)
            return false;
    return true;
}
