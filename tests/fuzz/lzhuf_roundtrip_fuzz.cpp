// Any data through the packer's encoder, by both its parses, and back
// through the decoder must come out unchanged, with every stored byte used.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "codec/lzhuf_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The encoder is the slow half; longer data adds little here (the unit
    // tests take 600 KB through many tree rebuilds).
    if (size > 8192)
        return 0;
    for (LzhufParse parse : {LzhufParse::kOptimal, LzhufParse::kLazy}) {
        std::vector<uint8_t> stream = LzhufCompress(data, size, parse);
        std::vector<uint8_t> back;
        size_t consumed = 0;
        if (!LzhufExpand(stream.data(), stream.size(), (uint32_t)size, &back, &consumed))
            abort();
        if (back.size() != size || (size && !std::equal(back.begin(), back.end(), data)) || consumed != stream.size())
            abort();
    }
    return 0;
}
