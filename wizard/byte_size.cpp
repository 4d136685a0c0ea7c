// The disk-space text of the destination page.
#include "wizard/byte_size.h"

#include "common/path_text.h"

static const char* const kUnitNames[4] = {"Bytes", "KB", "MB", "GB"};

void FormatByteSize(char* out, size_t capacity, uint32_t bytes)
{
    int unit = 0;
    double divisor = 1.0;
    if (bytes >= 1000000000u) {
        unit = 3;
        divisor = 1073741824.0;
    } else if (bytes >= 1000000u) {
        unit = 2;
        divisor = 1048576.0;
    } else if (bytes >= 1000u) {
        unit = 1;
        divisor = 1024.0;
    }
    // The value is kept as a 32-bit float, as the page always showed it:
    // 4,294,967,295 bytes read "4.00 GB", not "3.99 GB".
    float value = static_cast<float>(static_cast<double>(bytes) / divisor);
    if (value == 0.0f) {
        FormatText(out, capacity, "0 %s", kUnitNames[unit]);
        return;
    }
    char scratch[20];
    if (!FormatText(scratch, sizeof scratch, "%f", static_cast<double>(value))) {
        if (capacity > 0)
            out[0] = '\0';
        return;
    }
    // Three integer digits show without decimals, two with one, one with two.
    int precision = scratch[3] == '.' ? 3 : 4;
    FormatText(out, capacity, "%.*s %s", precision, scratch, kUnitNames[unit]);
}
