// The destination page's disk-space text.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include "payload/table_rules.h"
#include "wizard/byte_size.h"

namespace {

std::string Format(uint32_t bytes)
{
    char out[32];
    memset(out, 'x', sizeof out);
    FormatByteSize(out, sizeof out, bytes);
    return out;
}

struct Case {
    uint32_t bytes;
    const char* text;
};

TEST(FormatByteSize, WorkedExamples)
{
    const Case cases[] = {
        {0, "0 Bytes"},           {1, "1.00 Bytes"},          {12, "12.0 Bytes"},        {512, "512 Bytes"},
        {999, "999 Bytes"},       {1000, "0.97 KB"},          {1023, "0.99 KB"},         {1536, "1.50 KB"},
        {10240, "10.0 KB"},       {999999, "976 KB"},         {1000000, "0.95 MB"},      {12345678, "11.7 MB"},
        {123456789, "117 MB"},    {1000000000, "0.93 GB"},    {4294967295u, "4.00 GB"},
        {RequiredSpaceFor(&g_payloadTable, OS_LEGACY), "957 KB"},  // the product's, as the page shows them
        {RequiredSpaceFor(&g_payloadTable, OS_MODERN), "1.08 MB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, Format(c.bytes)) << c.bytes;
}

TEST(FormatByteSize, RangeBoundariesAreDecimalWithBinaryDivisors)
{
    const Case cases[] = {
        // Each range's last and next range's first value.
        {999, "999 Bytes"},        {1000, "0.97 KB"},
        {999999, "976 KB"},        {1000000, "0.95 MB"},
        {999999999, "953 MB"},     {1000000000, "0.93 GB"},
        // Values of 2^31 and more are not negative.
        {2147483648u, "2.00 GB"},  {3221225472u, "3.00 GB"},
        // The divisor's own value and the two-digit to three-digit steps.
        {1024, "1.00 KB"},         {102399, "99.9 KB"},        {102400, "100 KB"},
        // 104,857,599 / 2^20 is 99.9999990..., which a 32-bit float holds as 100.
        {1048576, "1.00 MB"},      {104857599, "100 MB"},      {104857500, "99.9 MB"},
        {1073741824, "1.00 GB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, Format(c.bytes)) << c.bytes;
}

TEST(FormatByteSize, HalfwayCountsGoToTheEvenFloat)
{
    // Counts exactly halfway between two floats, where the tie going the
    // other way would show one digit more or less: so few that the sweeps
    // below may miss them all.
    const Case cases[] = {
        {16882073, "16.0 MB"},      // 16.099998 MB, not 16.1
        {16986931, "16.2 MB"},      // 16.200001 MB, not 16.1
        {1073741280, "1.00 GB"},    // not 0.99
        {1170378048, "1.08 GB"},    // not 1.09
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, Format(c.bytes)) << c.bytes;
}

// The text as the page printed it while it held the value as a 32-bit float
// and wrote it with the C library's "%f": the oracle for the sweep below.
void FloatText(char* text, size_t capacity, uint32_t bytes)
{
    const char* unit = "Bytes";
    double divisor = 1.0;
    if (bytes >= 1000000000u) {
        unit = "GB";
        divisor = 1073741824.0;
    } else if (bytes >= 1000000u) {
        unit = "MB";
        divisor = 1048576.0;
    } else if (bytes >= 1000u) {
        unit = "KB";
        divisor = 1024.0;
    }
    float value = static_cast<float>(static_cast<double>(bytes) / divisor);
    if (value == 0.0f) {
        snprintf(text, capacity, "0 %s", unit);
        return;
    }
    char digits[32];
    snprintf(digits, sizeof digits, "%f", static_cast<double>(value));
    snprintf(text, capacity, "%.*s %s", digits[3] == '.' ? 3 : 4, digits, unit);
}

// Compares every count first, first + step, ... below end with the oracle;
// stops at the first difference.
void ExpectFloatText(uint64_t first, uint64_t end, uint64_t step)
{
    for (uint64_t n = first; n < end; n += step) {
        uint32_t bytes = static_cast<uint32_t>(n);
        char expected[32];
        char text[32];
        FloatText(expected, sizeof expected, bytes);
        FormatByteSize(text, sizeof text, bytes);
        if (strcmp(expected, text) != 0)
            FAIL() << bytes << ": " << text << ", not " << expected;
    }
}

// The sweep is split in two tests of about a second each, so that they can
// run side by side.
TEST(FormatByteSize, MatchesTheFloatTextAroundEveryThreshold)
{
    // Every count below 2^21 holds the 1000 and 1,000,000 thresholds with
    // 65536 counts either side.
    ExpectFloatText(0, 1u << 21, 1);
    ExpectFloatText(1000000000u - 65536, 1000000000u + 65537, 1);
    ExpectFloatText(0xFFFFFFFFu - 65536, 0x100000000u, 1);
}

TEST(FormatByteSize, MatchesTheFloatTextAcrossAllCounts)
{
    ExpectFloatText(12345, 0x100000000u, 2003);  // about 2.1 million counts
}

TEST(FormatByteSize, NeverWritesBeyondItsCapacity)
{
    char out[8];
    memset(out, 'x', sizeof out);
    FormatByteSize(out, 6, 999999);  // "976 KB" needs 7 bytes
    EXPECT_STREQ("", out);
    EXPECT_EQ('x', out[6]);
    FormatByteSize(out, 7, 999999);
    EXPECT_STREQ("976 KB", out);
}

}  // namespace
