#pragma once
// Builds packed DIBs (header, colour table, pixel data) for the banner tests.
#include <cstdint>
#include <vector>

struct DibSpec {
    int32_t width = 4;
    int32_t height = 1;
    uint16_t depth = 8;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t headerSize = 40;
};

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The header, `palette` (blue, green, red per entry; the reserved byte is
// set to 0x5A so that reading it would show), then `data`.
inline std::vector<uint8_t> BuildDib(const DibSpec& spec, const std::vector<uint32_t>& palette,
                                     const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out;
    PutLe(out, spec.headerSize, 4);
    PutLe(out, static_cast<uint32_t>(spec.width), 4);
    PutLe(out, static_cast<uint32_t>(spec.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, spec.depth, 2);
    PutLe(out, spec.compression, 4);
    PutLe(out, static_cast<uint32_t>(data.size()), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, spec.clrUsed, 4);
    PutLe(out, spec.clrUsed, 4);
    if (spec.headerSize > 40)
        out.resize(spec.headerSize, 0);
    for (uint32_t rgb : palette) {  // 0xRRGGBB
        out.push_back(rgb & 0xFF);
        out.push_back((rgb >> 8) & 0xFF);
        out.push_back((rgb >> 16) & 0xFF);
        out.push_back(0x5A);
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
