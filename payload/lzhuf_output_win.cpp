// Writes the decoder's output blocks and the raw rows to the file that the
// installation run has opened.
#include "payload/lzhuf_output_win.h"

#include "payload/lzhuf.h"

static bool WriteToFile(void* file, const uint8_t* bytes, uint32_t count)
{
    DWORD written = 0;
    if (!WriteFile((HANDLE)file, bytes, count, &written, NULL))
        return false;
    return written == count;  // a short write is a full disk too
}

void SetOutputFile(HANDLE file)
{
    if (file == NULL || file == INVALID_HANDLE_VALUE)
        SetLzhufOutput(NULL, NULL);
    else
        SetLzhufOutput(WriteToFile, file);
}
