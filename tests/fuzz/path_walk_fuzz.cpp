// Any two texts under any of the code pages the installer meets: every walk
// of common/path_walk.h agrees with the model that cuts the texts into whole
// characters first (tests/host/common/char_model.h), and none reads or
// writes outside its text. The first byte picks the code page; the rest is
// split at its first NUL into the two texts.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "tests/host/common/char_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const model::CodePage& cp = model::kCodePages[data[0] % (sizeof model::kCodePages / sizeof model::kCodePages[0])];
    SetLeadByteRanges(cp.leadBytes);
    std::string rest((const char*)data + 1, size - 1);
    size_t cut = rest.find('\0');
    std::string a = rest.substr(0, cut);
    std::string b = cut == std::string::npos ? "" : rest.substr(cut + 1);
    b = b.substr(0, b.find('\0'));
    if (!model::Disagreement(cp, a, b).empty())
        abort();
    IsPlainFolder(a.c_str(), a.size(), 259);
    IsAbsolutePath(a.c_str());
    return 0;
}
