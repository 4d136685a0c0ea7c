// The disk-space text of the destination page.
#include "wizard/byte_size.h"

#include "common/path_text.h"

static const char* const kUnitNames[4] = {"Bytes", "KB", "MB", "GB"};

void FormatByteSize(char* out, size_t capacity, uint32_t bytes)
{
    // The decimal threshold picks the unit; the divisor is 2^shift.
    int unit = 0;
    unsigned shift = 0;
    if (bytes >= 1000000000u) {
        unit = 3;
        shift = 30;
    } else if (bytes >= 1000000u) {
        unit = 2;
        shift = 20;
    } else if (bytes >= 1000u) {
        unit = 1;
        shift = 10;
    }

    // The page has always shown the value as a 32-bit float holds it, so the
    // count is rounded to 24 significant bits, ties to even, as the float
    // does: 4,294,967,295 bytes become 2^32 and read "4.00 GB", not
    // "3.99 GB". Dividing by a power of two moves no mantissa bit, so
    // rounding the count and then dividing equals rounding the quotient. The
    // value is then mantissa / 2^shift: each dropped bit takes one off the
    // shift, and only a count of 2^24 or more (a shift of 20 or 30) drops
    // any, 8 at the most. The last bit dropped decides the rounding, the
    // ones before it only whether the rest is more than half.
    uint32_t mantissa = bytes;
    uint32_t lastDropped = 0;
    uint32_t anyBefore = 0;
    while (mantissa >= (1u << 24)) {
        anyBefore |= lastDropped;
        lastDropped = mantissa & 1;
        mantissa >>= 1;
        --shift;
    }
    mantissa += lastDropped & (anyBefore | mantissa);  // at most 2^24

    // The value's six decimals, rounded to nearest with ties to even as the
    // page's text always had them; they may carry into the integer part.
    // The fraction is first put over 2^30 whatever the unit, so that the
    // 64-bit product is only ever shifted by a constant.
    uint32_t whole = mantissa >> shift;
    uint32_t fraction = (mantissa - (whole << shift)) << (30 - shift);
    uint64_t scaled = (uint64_t)fraction * 1000000u;
    uint32_t millionths = (uint32_t)(scaled >> 30);
    uint32_t rest = (uint32_t)scaled & ((1u << 30) - 1);
    if (rest > (1u << 29) || (rest == (1u << 29) && (millionths & 1) != 0))
        ++millionths;
    if (millionths == 1000000u) {
        ++whole;
        millionths = 0;
    }

    // Three significant digits, cut, not rounded: no decimals after three
    // integer digits, one after two, two after one. The whole part stays
    // below 1000 in every unit (999 Bytes, 976 KB, 953 MB, 4 GB at the
    // most). A zero count reads "0 Bytes", without decimals.
    char decimals[3] = {'.', (char)('0' + millionths / 100000u), (char)('0' + millionths / 10000u % 10u)};
    int shown = (whole >= 100 || bytes == 0) ? 0 : whole >= 10 ? 2 : 3;
    FormatText(out, capacity, "%u%.*s %s", (unsigned)whole, shown, decimals, kUnitNames[unit]);
}
