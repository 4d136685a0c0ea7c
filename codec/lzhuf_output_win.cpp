// Writes the decoder's output blocks and the raw rows to the file that the
// installation run has opened.
#include "codec/lzhuf_output_win.h"

#include "codec/lzhuf.h"
#include "common/crc32.h"

static uint32_t s_written;

static bool WriteToFile(void* file, const uint8_t* bytes, uint32_t count)
{
    s_written = Crc32Update(s_written, bytes, count);
    DWORD written = 0;
    if (!WriteFile((HANDLE)file, bytes, count, &written, NULL))
        return false;
    return written == count;  // a short write is a full disk too
}

uint32_t LzhufOutputChecksum()
{
    return s_written;
}

void LzhufSetOutputFile(HANDLE file)
{
    s_written = CRC32_START;
    if (file == NULL || file == INVALID_HANDLE_VALUE)
        SetLzhufOutput(NULL, NULL);
    else
        SetLzhufOutput(WriteToFile, file);
}
