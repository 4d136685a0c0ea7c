// BI_RLE8 encoder of the banner generator.
#include "rle8_encode.h"

#include <algorithm>

namespace {

// Length of the run of equal indices starting at x, at most 255.
int RunAt(const uint8_t* row, int x, int width)
{
    int n = 1;
    while (x + n < width && n < 255 && row[x + n] == row[x])
        ++n;
    return n;
}

void EncodeRow(const uint8_t* row, int width, std::vector<uint8_t>& out)
{
    int x = 0;
    while (x < width) {
        const int run = RunAt(row, x, width);
        if (run >= 3) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        // Gather literals up to the next repeat of three or more.
        int end = x;
        while (end < width && end - x < 255 && RunAt(row, end, width) < 3)
            ++end;
        const int literals = end - x;
        if (literals < 3) {
            // Absolute runs need three or more: one or two pixels go as
            // encoded runs of one.
            for (int i = 0; i < literals; ++i) {
                out.push_back(1);
                out.push_back(row[x + i]);
            }
        } else {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(literals));
            out.insert(out.end(), row + x, row + end);
            if (literals & 1)
                out.push_back(0);
        }
        x = end;
    }
}

}  // namespace

std::vector<uint8_t> EncodeRle8(const uint8_t* rows, int width, int height, int rowStride)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y) {
        EncodeRow(rows + static_cast<size_t>(y) * rowStride, width, out);
        out.push_back(0);
        out.push_back(y + 1 < height ? 0 : 1);
    }
    return out;
}
