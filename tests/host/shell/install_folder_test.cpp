// Which existing program folder the installation run may empty.
#include <gtest/gtest.h>

#include "payload/install_folder.h"

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
