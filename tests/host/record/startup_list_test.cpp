// The start-up rename list of Windows 9x, which removes a file in use at the
// next restart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/startup_list.h"

namespace {

struct RenameCase {
    std::string before;
    const char* path;
    std::string after;  // the text afterwards; before when refused
    bool added;
};

TEST(StartupRemoval, KeepsEveryLineAndAddsOneToTheRenameSection)
{
    const std::string other = "[386Enh]\r\nx=1\r\n";
    const RenameCase cases[] = {
        {"", "C:\\A.EXE", "[rename]\r\nNUL=C:\\A.EXE\r\n", true},
        {other, "C:\\A.EXE", other + "[rename]\r\nNUL=C:\\A.EXE\r\n", true},
        // A last line without its line end gets one; LF-only lines stay.
        {"[386Enh]\nx=1", "C:\\A", "[386Enh]\nx=1\r\n[rename]\r\nNUL=C:\\A\r\n", true},
        {"[rename]", "C:\\A", "[rename]\r\nNUL=C:\\A\r\n", true},
        // A second NUL key, after the section's last line, before the blank
        // line and the next section; the first [rename] section only.
        {"[Rename]\r\nNUL=C:\\B\r\n\r\n" + other + "[rename]\r\n", "C:\\A",
         "[Rename]\r\nNUL=C:\\B\r\nNUL=C:\\A\r\n\r\n" + other + "[rename]\r\n", true},
        {" [ rename ] \r\nC:\\NEW=C:\\OLD\r\n" + other, "C:\\A",
         " [ rename ] \r\nC:\\NEW=C:\\OLD\r\nNUL=C:\\A\r\n" + other, true},
        // Already listed (without regard to case): nothing changes.
        {"[rename]\r\n nul=c:\\progra~1\\a.exe \r\n", "C:\\PROGRA~1\\A.EXE",
         "[rename]\r\n nul=c:\\progra~1\\a.exe \r\n", true},
        // Listed in another section only: that line does not count.
        {"[x]\r\nNUL=C:\\A\r\n", "C:\\A", "[x]\r\nNUL=C:\\A\r\n[rename]\r\nNUL=C:\\A\r\n", true},
        {"[renamed]\r\n", "C:\\A", "[renamed]\r\n[rename]\r\nNUL=C:\\A\r\n", true},
        {other, "", other, false},
        {other, "C:\\A\r\nNUL=C:\\B", other, false},
        // Exactly full, then one byte too many.
        {std::string(64 - 22, 'x'), "C:\\A", std::string(64 - 22, 'x') + "\r\n[rename]\r\nNUL=C:\\A\r\n", true},
        {std::string(64 - 21, 'x'), "C:\\A", std::string(64 - 21, 'x'), false},
    };
    for (const RenameCase& c : cases) {
        std::vector<char> text(c.before.begin(), c.before.end());
        text.resize(64);
        size_t length = c.before.size(), firstChange = 12345, same = 0;
        EXPECT_EQ(c.added, AddStartupRemoval(text.data(), &length, 64, c.path, &firstChange)) << c.before;
        EXPECT_EQ(c.after, std::string(text.data(), length)) << c.before;
        // Everything before the first change is as it was.
        while (same < c.before.size() && same < c.after.size() && c.before[same] == c.after[same])
            ++same;
        EXPECT_TRUE(!c.added || firstChange == same) << c.before;
    }
}

}  // namespace
