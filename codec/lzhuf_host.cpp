// Expansion into memory for the host programs: the decoder's output goes to
// a vector for the length of one call.
#include "codec/lzhuf_host.h"

#include "codec/lzhuf.h"

namespace {

bool AppendToVector(void* file, const uint8_t* bytes, uint32_t count)
{
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(file);
    out->insert(out->end(), bytes, bytes + count);
    return true;
}

}  // namespace

bool LzhufExpand(const uint8_t* stored, size_t storedSize, uint32_t fileSize,
                 std::vector<uint8_t>* out, size_t* consumed)
{
    if (storedSize > UINT32_MAX)
        return false;
    out->clear();
    // The size comes from the caller (a command line, a fuzzer): room for
    // up to 64 MB at once, the rest as it comes.
    out->reserve(fileSize < (64u << 20) ? fileSize : (64u << 20));
    LzhufWriteFn previousWriter = g_lzhufDecoder.outputWriter;
    void* previousFile = g_lzhufDecoder.outputFile;
    SetLzhufOutput(AppendToVector, out);
    bool ok = LzhufDecodeStream(stored, (uint32_t)storedSize, fileSize);
    SetLzhufOutput(previousWriter, previousFile);
    if (consumed)
        *consumed = storedSize - g_lzhufDecoder.inputCount;
    return ok;
}
