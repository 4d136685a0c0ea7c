// wine-versions: winxp win7
// wine-env: TZ=America/New_York
// The fixed file time in a time zone away from UTC: 20 July 2007 05:00:00
// local time, converted with the bias in force at the moment of
// installation (standard time in winter, daylight time in summer).
#include <gtest/gtest.h>

#include "install_walk.h"

TEST(InstallTime, EveryFileCarriesTheProductTimeInThisZone)
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    // New York: 300 minutes west of UTC in standard time.
    ASSERT_EQ(300, zone.Bias) << "TZ did not reach Wine";
    ASSERT_TRUE(install::CompleteInstall(install::Options{}));
    ULONGLONG expected = install::ExpectedFileTime();
    for (int row : install::RowsOfThisGeneration()) {
        std::string path = install::TargetOf(row, install::kDefaultFolder);
        install::FileTimes times = install::TimesOf(path);
        ASSERT_TRUE(times.read) << path;
        EXPECT_EQ(expected, times.creation) << path;
        EXPECT_EQ(expected, times.access) << path;
        EXPECT_EQ(expected, times.write) << path;
    }
}
