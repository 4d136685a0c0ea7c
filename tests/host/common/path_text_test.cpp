// Path and text building: the joins, copies and capitalisation every part of
// the installer relies on, and their bounds on over-long input.
#include <gtest/gtest.h>

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

    EXPECT_TRUE(FormatText(out, sizeof out, "v%s", "5.00"));
    EXPECT_STREQ("v5.00", out);
    EXPECT_FALSE(FormatText(out, sizeof out, "%s", "far too long"));
    EXPECT_STREQ("", out);
}

struct CapsCase {
    const char* before;
    const char* after;
};

TEST(CapitalizePath, CapitalisesWordsAndLowersTheRest)
{
    const CapsCase cases[] = {
        {"C:\\WINDOWS\\SYSTEM32", "C:\\Windows\\System32"},
        {"c:\\windows", "C:\\Windows"},
        {"C:\\WINDOWS", "C:\\Windows"},
        {"C:\\", "C:\\"},
        {"", ""},
        // Two separators in a row: the second is consumed as the character
        // after the first, so the letter after it is an ordinary one.
        {"C:\\my  DOCS", "C:\\My  docs"},
        {"C:\\A\\\\BC", "C:\\A\\\\bc"},
        // A leading separator has no effect on the letter after it.
        {"\\windows", "\\windows"},
        {"\\WINDOWS", "\\windows"},
        // A separator at the very end.
        {"C:\\WIN\\", "C:\\Win\\"},
        {"C:\\Program files", "C:\\Program Files"},
        // Digits and punctuation are left alone, and so are bytes from 0x80.
        {"C:\\\xC9T\xC9", "C:\\\xC9t\xC9"},
        {"C:\\1ABC", "C:\\1abc"},
    };
    for (const CapsCase& c : cases) {
        char path[64];
        strcpy(path, c.before);
        CapitalizePath(path);
        EXPECT_STREQ(c.after, path) << c.before;
    }
}

TEST(CapitalizePath, NeverReadsPastTheTerminator)
{
    // A separator right before the terminator must not let the walk step
    // over it into the bytes that follow.
    char path[8] = {'C', ':', '\\', '\0', 'X', 'Y', 'Z', '\0'};
    CapitalizePath(path);
    EXPECT_EQ('X', path[4]);
    EXPECT_EQ('Y', path[5]);
}

TEST(ContainsTextNoCase, FindsTheNameAnywhereInAnyCase)
{
    EXPECT_TRUE(ContainsTextNoCase("C:\\Apps\\TESSARONIX", "Tessaronix"));
    EXPECT_TRUE(ContainsTextNoCase("C:\\Apps\\Tessaronix2\\Bin", "Tessaronix"));
    EXPECT_TRUE(ContainsTextNoCase("C:\\OldTessaronix", "Tessaronix"));
    EXPECT_FALSE(ContainsTextNoCase("c:\\apps", "Tessaronix"));
    EXPECT_FALSE(ContainsTextNoCase("C:\\Tessaroni", "Tessaronix"));
}

}  // namespace
