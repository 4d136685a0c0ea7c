// The default program folder, and which existing program folder the
// installation run may empty.
#include <gtest/gtest.h>

#include <string>

#include "common/path_text.h"
#include "payload/install_folder.h"

TEST(IsProductFolder, OnlyTheRecordedOrTheDefaultFolder)
{
    const char* def = "C:\\Program Files\\Novla\\Tessaronix";
    EXPECT_TRUE(IsProductFolder("C:\\Program Files\\Novla\\Tessaronix\\", "", def));
    EXPECT_TRUE(IsProductFolder("D:\\Apps\\Tessaronix", "d:\\apps\\tessaronix", def));
    EXPECT_FALSE(IsProductFolder("D:\\Apps\\Tessaronix", "", def));
    EXPECT_FALSE(IsProductFolder("C:\\Users\\root\\Documents", "D:\\Apps\\Tessaronix", def));
    // No recorded folder (empty) never matches an empty folder.
    EXPECT_FALSE(IsProductFolder("", "", ""));
}

TEST(DefaultProgramFolder, TheSystemsProgramFolderOrTheFixedOne)
{
    // Caught: the fixed folder put the 32-bit suite into the 64-bit "Program
    // Files" and an English tree beside a localised system's own.
    const std::string fixed = "C:\\Program Files\\Novla\\Tessaronix";
    const std::string tooLong = "C:\\" + std::string(240, 'p');
    const struct {
        const char* programFiles;
        std::string expected;
    } cases[] = {
        {"C:\\Programme", "C:\\Programme\\Novla\\Tessaronix"},
        {"D:\\Programs\\", "D:\\Programs\\Novla\\Tessaronix"},
        {"C:\\Program Files (x86)", "C:\\Program Files (x86)\\Novla\\Tessaronix"},
        {"", fixed},                        // missing or unreadable
        {"Programme", fixed},               // not drive-rooted
        {"\\\\server\\share\\Apps", fixed},  // a share, not a drive
        {"%ProgramFiles%", fixed},          // not expanded
        {"C:\\", fixed},                    // a bare root
        {"C:\\Apps\\\\", fixed},            // an empty component
        {"C:\\Apps\\..\\Windows", fixed},   // not read as written
        {tooLong.c_str(), fixed},           // the joined folder does not fit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programFiles);
        char out[PATH_CAPACITY] = "x";
        EXPECT_TRUE(DefaultProgramFolder(out, sizeof out, c.programFiles, "Tessaronix"));
        EXPECT_EQ(c.expected, out);
    }
    // A value of exactly the capacity with no terminator is never read past.
    std::string unterminated(PATH_CAPACITY, 'C');
    char out[PATH_CAPACITY];
    EXPECT_TRUE(DefaultProgramFolder(out, sizeof out, unterminated.data(), "Tessaronix"));
    EXPECT_EQ(fixed, out);
    // Where not even the fixed folder fits: false, out empty.
    char small[8] = "x";
    EXPECT_FALSE(DefaultProgramFolder(small, sizeof small, "C:\\P", "Tessaronix"));
    EXPECT_STREQ("", small);
}
