// The programs' own C library functions (common/c_runtime.h) against the C
// library: every offset, length and overlap of small blocks, and texts with
// bytes above 0x7F, where a signed compare gives the wrong order.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/c_runtime.h"

namespace {

enum { kBlock = 48, kGuard = 8 };

// A buffer of known bytes with guards on both sides; the functions are
// given only the middle.
struct Buffer {
    unsigned char bytes[kGuard + kBlock + kGuard];
    Buffer()
    {
        for (size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = (unsigned char)(i * 37 + 11);
    }
    unsigned char* block() { return bytes + kGuard; }
};

TEST(CRuntimeMemory, CopyMoveAndFillMatchTheCLibraryAtEveryOffsetAndLength)
{
    for (size_t to = 0; to < kBlock; ++to)
        for (size_t from = 0; from < kBlock; ++from)
            for (size_t count = 0; to + count <= kBlock && from + count <= kBlock; ++count) {
                SCOPED_TRACE(testing::Message() << "to " << to << " from " << from << " count " << count);
                Buffer ours, theirs;
                // Within one buffer: overlapping in both directions.
                EXPECT_EQ(ours.block() + to, novla_memmove(ours.block() + to, ours.block() + from, count));
                memmove(theirs.block() + to, theirs.block() + from, count);
                ASSERT_EQ(0, memcmp(ours.bytes, theirs.bytes, sizeof ours.bytes));
                // Between two buffers, which never overlap.
                Buffer source, ours2, theirs2;
                source.block()[from] ^= 0xFF;
                EXPECT_EQ(ours2.block() + to, novla_memcpy(ours2.block() + to, source.block() + from, count));
                memcpy(theirs2.block() + to, source.block() + from, count);
                ASSERT_EQ(0, memcmp(ours2.bytes, theirs2.bytes, sizeof ours2.bytes));
            }
    for (size_t to = 0; to < kBlock; ++to)
        for (size_t count = 0; to + count <= kBlock; ++count)
            for (int value : {0, 0x7F, 0x80, 0xFF, 0x1AB, -1}) {
                Buffer ours, theirs;
                EXPECT_EQ(ours.block() + to, novla_memset(ours.block() + to, value, count));
                memset(theirs.block() + to, value, count);
                ASSERT_EQ(0, memcmp(ours.bytes, theirs.bytes, sizeof ours.bytes)) << to << " " << count << " " << value;
            }
}

int Sign(int n) { return (n > 0) - (n < 0); }

TEST(CRuntimeMemory, CompareGivesTheCLibrarysOrderWithBytesAboveSeven)
{
    for (size_t count = 0; count <= 12; ++count)
        for (size_t at = 0; at < 12; ++at)
            for (unsigned char other : {0x00, 0x41, 0x7F, 0x80, 0xFF}) {
                unsigned char a[12], b[12];
                for (size_t i = 0; i < sizeof a; ++i)
                    a[i] = b[i] = (unsigned char)(0x41 + i);
                b[at] = other;
                EXPECT_EQ(Sign(memcmp(a, b, count)), Sign(novla_memcmp(a, b, count))) << count << " " << at;
                EXPECT_EQ(Sign(memcmp(b, a, count)), Sign(novla_memcmp(b, a, count))) << count << " " << at;
            }
}

TEST(CRuntimeText, LengthSearchAndCompareMatchTheCLibrary)
{
    const char* const texts[] = {"", "a", "C:\\Program Files\\Novla\\", "\\\\server\\share", "x\x80y\xFFz",
                                 "\x95\\\x83\\", "aaaa", "aaab", "aa", "\xE9t\xE9"};
    const int searched[] = {0, 'a', '\\', ':', 'z', 0x80, 0xFF, -1, 'a' + 256, '\\' - 256};
    for (const char* text : texts) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        EXPECT_EQ(strlen(text), novla_strlen(text));
        for (int c : searched) {
            EXPECT_EQ(strchr(text, c), novla_strchr(text, c)) << c;
            EXPECT_EQ(strrchr(text, c), novla_strrchr(text, c)) << c;
        }
        for (const char* other : texts)
            EXPECT_EQ(Sign(strcmp(text, other)), Sign(novla_strcmp(text, other)))
                << testing::PrintToString(std::string(other));
    }
}

}  // namespace
