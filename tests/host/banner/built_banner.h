#pragma once
// The banner the build draws (bannergen writes banner.bmp next to the test
// and benchmark programs), as the packed DIB the installer carries: the
// 14-byte file header left off, as the resource compiler does. Empty when
// the file is missing or is no bitmap file.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<uint8_t> BuiltBannerResource()
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
    path = path.substr(0, path.rfind('/') + 1) + "banner.bmp";
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M')
        return {};
    return std::vector<uint8_t>(bytes.begin() + 14, bytes.end());
}
