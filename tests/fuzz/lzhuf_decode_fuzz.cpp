// The decoder on any bytes: the first two select the file size, the rest
// is the stored stream. It must produce exactly that many bytes, in blocks of
// at most 1024, read nothing outside the stream and end.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "codec/lzhuf.h"

namespace {

struct Count {
    uint64_t bytes;
};

bool CountWrite(void* file, const uint8_t*, uint32_t count)
{
    if (count == 0 || count > LZHUF_OUTPUT_BLOCK)
        abort();
    static_cast<Count*>(file)->bytes += count;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Mostly short outputs, which are quick; when the first byte is 0xFn,
    // about 64 KB: room for more than 32455 symbols, so the tree gets rebuilt.
    uint32_t fileSize = (uint32_t)data[0] << 8 | data[1];
    if ((data[0] & 0xF0) != 0xF0)
        fileSize &= 0x7FF;
    // The stream is copied so that reading past it is caught.
    size_t storedSize = size - 2;
    uint8_t* stored = storedSize ? static_cast<uint8_t*>(malloc(storedSize)) : nullptr;
    for (size_t i = 0; i < storedSize; ++i)
        stored[i] = data[2 + i];
    Count count = {0};
    SetLzhufOutput(CountWrite, &count);
    bool ok = LzhufDecodeStream(stored, (uint32_t)storedSize, fileSize);
    if (!ok || count.bytes != fileSize || g_lzhufDecoder.inputCount > storedSize)
        abort();
    free(stored);
    return 0;
}
