// Which existing program folder the installation run may empty.
#include <gtest/gtest.h>

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
