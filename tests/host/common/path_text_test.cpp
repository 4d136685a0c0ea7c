// Path and text building: the joins, copies and formats every part of
// the installer relies on, and their bounds on over-long input.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "common/path_text.h"

namespace {

struct JoinCase {
    const char* folder;
    const char* name;
    const char* joined;
};

TEST(JoinPath, AddsExactlyOneSeparator)
{
    const JoinCase cases[] = {
        {"C:\\Program Files\\Novla\\", "Tessaronix", "C:\\Program Files\\Novla\\Tessaronix"},
        {"C:\\Apps", "Tessaronix", "C:\\Apps\\Tessaronix"},
        {"C:\\Apps", "*.*", "C:\\Apps\\*.*"},
        {"C:\\Apps", "", "C:\\Apps\\"},
        {"C:\\Apps\\", "", "C:\\Apps\\"},
        // Nothing is normalised: doubled and leading separators stay.
        {"C:\\A\\\\", "\\b", "C:\\A\\\\\\b"},
        {"C:\\A", "x\\y", "C:\\A\\x\\y"},
        // An empty folder yields the name alone.
        {"", "Tessaronix.exe", "Tessaronix.exe"},
    };
    for (const JoinCase& c : cases) {
        char out[PATH_CAPACITY];
        ASSERT_TRUE(JoinPath(out, sizeof out, c.folder, c.name)) << c.folder << " + " << c.name;
        EXPECT_STREQ(c.joined, out);
    }
}

TEST(JoinPath, RefusesWhatDoesNotFitInsteadOfCutting)
{
    // 259 characters is the longest path that fits 260 bytes.
    std::string folder(250, 'a');
    folder.insert(0, "C:\\");  // 253 characters
    char out[PATH_CAPACITY];
    memset(out, 'x', sizeof out);
    EXPECT_TRUE(JoinPath(out, sizeof out, folder.c_str(), "12345"));  // 253 + 1 + 5 = 259
    EXPECT_EQ(259u, strlen(out));
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(JoinPath(out, sizeof out, folder.c_str(), "123456"));  // 260
    EXPECT_STREQ("", out);

    // The guard byte after a small buffer is never touched.
    char small[9];
    small[8] = '#';
    EXPECT_FALSE(JoinPath(small, 8, "C:\\Apps", "x"));  // "C:\Apps\x" needs 10
    EXPECT_EQ('#', small[8]);
    EXPECT_TRUE(JoinPath(small, 8, "C:\\A", "xy"));
    EXPECT_STREQ("C:\\A\\xy", small);
}

TEST(JoinPath, MayJoinOntoItsOwnFolder)
{
    char path[PATH_CAPACITY] = "C:\\Apps";
    ASSERT_TRUE(JoinPath(path, sizeof path, path, "Tessaronix"));
    EXPECT_STREQ("C:\\Apps\\Tessaronix", path);
}

TEST(BoundedText, CopyAppendFormatNeverCut)
{
    char out[8];
    EXPECT_TRUE(CopyText(out, sizeof out, "1234567"));
    EXPECT_FALSE(CopyText(out, sizeof out, "12345678"));
    EXPECT_STREQ("", out);

    EXPECT_TRUE(CopyText(out, sizeof out, "abc"));
    EXPECT_TRUE(AppendText(out, sizeof out, "defg"));
    EXPECT_STREQ("abcdefg", out);
    EXPECT_FALSE(AppendText(out, sizeof out, "h"));
    EXPECT_STREQ("abcdefg", out);  // unchanged, not cut
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_FALSE(AppendText(unterminated, sizeof unterminated, ""));

    EXPECT_TRUE(FormatText(out, sizeof out, "v%s", "5.00"));
    EXPECT_STREQ("v5.00", out);
    EXPECT_FALSE(FormatText(out, sizeof out, "%s", "far too long"));
    EXPECT_STREQ("", out);
}

struct FormatCase {
    bool (*format)(char* out, size_t capacity);
    size_t capacity;
    const char* text;  // nullptr: refused, out left empty
};

// A format held in a variable, for what the compiler's format check would
// reject at the call.
const char* Unchecked(const char* format) { return format; }

const char kUnterminated[3] = {'a', 'b', 'c'};

TEST(FormatText, ConversionsFitOrAreRefused)
{
    const FormatCase cases[] = {
        {[](char* o, size_t c) { return FormatText(o, c, "v%s", "5.00"); }, 6, "v5.00"},
        {[](char* o, size_t c) { return FormatText(o, c, "v%s", "5.00"); }, 5, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "%s", ""); }, 1, ""},
        {[](char* o, size_t c) { return FormatText(o, c, "%s", ""); }, 0, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "\"%s\",%d", "C:\\T.exe", 3); }, 13, "\"C:\\T.exe\",3"},
        {[](char* o, size_t c) { return FormatText(o, c, "[%s(\"%%1\")]", "open"); }, 13, "[open(\"%1\")]"},
        {[](char* o, size_t c) { return FormatText(o, c, "%%"); }, 2, "%"},
        {[](char* o, size_t c) { return FormatText(o, c, "%%"); }, 1, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "%d", INT_MIN); }, 12, "-2147483648"},
        {[](char* o, size_t c) { return FormatText(o, c, "%d", INT_MIN); }, 11, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "%d|%d|%d", INT_MAX, 0, -7); }, 16, "2147483647|0|-7"},
        {[](char* o, size_t c) { return FormatText(o, c, "%u|%u", UINT_MAX, 0u); }, 13, "4294967295|0"},
        {[](char* o, size_t c) { return FormatText(o, c, "1995-%u.", 2024u); }, 11, "1995-2024."},
        {[](char* o, size_t c) { return FormatText(o, c, "1995-%u.", 2024u); }, 10, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "[%.*s]", 0, "abc"); }, 3, "[]"},
        {[](char* o, size_t c) { return FormatText(o, c, "[%.*s]", 2, "abc"); }, 5, "[ab]"},
        {[](char* o, size_t c) { return FormatText(o, c, "[%.*s]", 9, "abc"); }, 6, "[abc]"},
        {[](char* o, size_t c) { return FormatText(o, c, "[%.*s]", -1, "abc"); }, 6, "[abc]"},
        // The precision bounds the read: nothing after it is looked at.
        {[](char* o, size_t c) { return FormatText(o, c, "%.*s", 3, kUnterminated); }, 4, "abc"},
        // Conversions it does not know, and a format that ends in '%'.
        {[](char* o, size_t c) { return FormatText(o, c, "%x", 10u); }, 16, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "%5d", 1); }, 16, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, "%.3s", "abcd"); }, 16, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, Unchecked("50%"), 0); }, 16, nullptr},
        {[](char* o, size_t c) { return FormatText(o, c, Unchecked("%.*"), 1, "a"); }, 16, nullptr},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const FormatCase& c = cases[i];
        char out[32];
        memset(out, '#', sizeof out);
        bool formatted = c.format(out, c.capacity);
        EXPECT_EQ(c.text != nullptr, formatted) << "case " << i;
        if (c.capacity > 0) {
            EXPECT_STREQ(c.text ? c.text : "", out) << "case " << i;
        }
        // Nothing at or beyond the capacity is written.
        EXPECT_EQ(std::string(sizeof out - c.capacity, '#'), std::string(out + c.capacity, sizeof out - c.capacity))
            << "case " << i;
    }
}

}  // namespace
