// Paths and user text walked by character: every comparison and separator
// test on single-byte text as before, and on the double-byte code pages of
// East Asian Windows never splitting a character.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/path_walk.h"
#include "tests/host/common/char_model.h"

namespace {

// Sets the lead bytes of a code page for one test, and single-byte again
// after it.
struct CodePageRules {
    explicit CodePageRules(unsigned number)
    {
        for (const model::CodePage& cp : model::kCodePages)
            if (cp.number == number)
                SetLeadByteRanges(cp.leadBytes);
    }
    ~CodePageRules() { SetLeadByteRanges(nullptr); }
};

// Characters whose second byte is a backslash, a letter or '|' (932: 表
// 95 5C, ソ 83 5C; 950: 許 B3 5C, 功 A5 5C).
#define HYOU "\x95\x5C"
#define SO "\x83\x5C"
#define KYO "\xB3\x5C"
#define KOU "\xA5\x5C"

TEST(PathWalk, DoubleByteCharactersAreNeverSplit)
{
    struct Case {
        unsigned codePage;
        const char* text;
        const char* other;  // the second argument, where the check takes one
        const char* expected;
    };
    const Case joins[] = {
        {932, "C:\\" HYOU, "Tessaronix", "C:\\" HYOU "\\Tessaronix"},
        {932, "C:\\" SO "\\", "Tessaronix", "C:\\" SO "\\Tessaronix"},
        {950, "C:\\" KYO KOU KYO, "Tessaronix", "C:\\" KYO KOU KYO "\\Tessaronix"},
        {1252, "C:\\\x95\\", "Tessaronix", "C:\\\x95\\Tessaronix"},
    };
    for (const Case& c : joins) {
        CodePageRules rules(c.codePage);
        char out[64];
        ASSERT_TRUE(JoinPath(out, sizeof out, c.text, c.other));
        EXPECT_STREQ(c.expected, out) << c.codePage;
    }
    const Case caps[] = {
        // A second byte that is a backslash is no separator, and a letter
        // as second byte is neither lowered nor capitalised.
        {932, "c:\\" HYOU "abc\\DEF", nullptr, "C:\\" HYOU "abc\\Def"},
        {932, "C:\\\x83" "A\\x", nullptr, "C:\\\x83" "A\\X"},
        {950, "c:\\\xA4" "a B", nullptr, "C:\\\xA4" "a B"},
    };
    for (const Case& c : caps) {
        CodePageRules rules(c.codePage);
        char path[64];
        strcpy(path, c.text);
        CapitalizePath(path);
        EXPECT_STREQ(c.expected, path) << c.codePage << " " << c.text;
    }
    CodePageRules rules(932);
    // The product name must begin at a character of the text.
    EXPECT_FALSE(ContainsTextNoCase("C:\\\x83Tessaronix", "Tessaronix"));
    EXPECT_FALSE(ContainsTextNoCase("C:\\\x83tessaronix", "Tessaronix"));
    EXPECT_TRUE(ContainsTextNoCase("C:\\" HYOU "Tessaronix", "TESSARONIX"));
    EXPECT_FALSE(SameTextNoCase("\x83" "a", "\x83" "A"));
    EXPECT_STREQ("Tessaronix", PathBelowFolder("C:\\" HYOU "\\Tessaronix", "C:\\" HYOU));
    EXPECT_EQ(nullptr, PathBelowFolder("C:\\" HYOU "Tessaronix", "C:\\" HYOU));
    EXPECT_TRUE(SameFolder("c:\\" HYOU, "C:\\" HYOU));
    EXPECT_FALSE(SameFolder("C:\\" HYOU, "C:\\\x95"));
    EXPECT_STREQ("\\Tessaronix", LastSeparator("C:\\" HYOU "\\Tessaronix"));
    EXPECT_EQ(strlen("C:\\" HYOU), FolderLength("C:\\" HYOU));
}

TEST(PathWalk, FolderRules)
{
    struct Case {
        unsigned codePage;
        const char* path;
        bool plain;     // IsPlainFolder, at most 259 characters
        bool absolute;  // IsAbsolutePath
    } cases[] = {
        {1252, "C:\\Apps\\Tessaronix", true, true},
        {1252, "C:\\Apps\\", false, true},
        {1252, "C:\\Apps\\\\x", false, true},
        {1252, "C:\\Apps.\\x", false, true},
        {1252, "C:\\Ap|ps", false, true},
        {1252, "C:\\", false, true},
        {1252, "1:\\Apps", false, false},
        {1252, "\\\\server\\share", false, true},
        {1252, "\\\\server\\", false, false},
        {1252, "\\\\server", false, false},
        {1252, "C:Apps", false, false},
        {932, "C:\\" HYOU, true, true},
        {932, "C:\\" HYOU "\\" SO "\\x", true, true},
        {932, "C:\\\x81|", true, true},  // '|' as a second byte
        {932, "C:\\x\x81", false, true},  // cut short at the end
        {932, "\x81:\\x", false, false},
        {950, "\\\\" KYO "\\share", false, true},
        {950, "\\\\server" KYO, false, false},
    };
    for (const Case& c : cases) {
        CodePageRules rules(c.codePage);
        EXPECT_EQ(c.plain, IsPlainFolder(c.path, strlen(c.path), 259)) << c.codePage << " " << c.path;
        EXPECT_EQ(c.absolute, IsAbsolutePath(c.path)) << c.codePage << " " << c.path;
    }
    EXPECT_FALSE(IsPlainFolder("C:\\x\\y", 6, 5));
}

TEST(SameFolder, IgnoresAsciiCaseAndOneTrailingBackslash)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Program Files\\Novla\\Tessaronix", "C:\\Program Files\\Novla\\Tessaronix", true},
        {"c:\\program files\\novla\\tessaronix", "C:\\Program Files\\Novla\\Tessaronix", true},
        {"C:\\Program Files\\Novla\\Tessaronix\\", "C:\\Program Files\\Novla\\Tessaronix", true},
        {"C:\\Program Files\\Novla\\Tessaronix\\\\", "C:\\Program Files\\Novla\\Tessaronix", false},
        {"C:\\Program Files\\Novla", "C:\\Program Files\\Novla\\Tessaronix", false},
        {"C:\\Program Files\\Novla\\Tessaronix2", "C:\\Program Files\\Novla\\Tessaronix", false},
        {"D:\\Program Files\\Novla\\Tessaronix", "C:\\Program Files\\Novla\\Tessaronix", false},
        {"C:\\", "C:\\", true},
        {"C:", "C:\\", false},
        // Bytes above 0x7F are compared as they are.
        {"C:\\\xC4pfel", "C:\\\xE4pfel", false},
        {"", "", false},
        {"C:\\X", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.same, SameFolder(c.a, c.b)) << c.a << " | " << c.b;
        EXPECT_EQ(c.same, SameFolder(c.b, c.a)) << c.b << " | " << c.a;
    }
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

// Random texts of the bytes that matter (separators, letters, lead bytes,
// second bytes that look like separators or letters) under each code page:
// every walk agrees with the model of whole characters. With no lead bytes
// the model is the plain byte string, so single-byte text keeps the
// results it always had.
TEST(PathWalk, AgreesWithTheCharacterModel)
{
    const char kBytes[] = "\\\\\\::  ..aAbBtT\x5C\x81\x83\x95\xA5\xB3\xE0\xFE\x40\x7C\x7E\x80";
    std::mt19937 random(20071);
    for (const model::CodePage& cp : model::kCodePages) {
        CodePageRules rules(cp.number);
        for (int n = 0; n < 20000; ++n) {
            std::string text[2];
            for (std::string& t : text)
                for (size_t length = random() % 12; length > 0; --length)
                    t += kBytes[random() % (sizeof kBytes - 1)];
            // Half the pairs share a beginning, so prefixes and equality occur.
            if (n % 2)
                text[1] = text[0].substr(0, random() % (text[0].size() + 1)) + text[1].substr(0, random() % 3);
            std::string wrong = model::Disagreement(cp, text[0], text[1]);
            ASSERT_EQ("", wrong) << cp.number << " on \"" << text[0] << "\", \"" << text[1] << "\"";
        }
    }
}

}  // namespace
