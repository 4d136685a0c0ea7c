// Link-file paths and the HKEY_CLASSES_ROOT key paths of the shell step.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/shell_text.h"

namespace {

struct LinkCase {
    const char* folder;
    const char* group;
    const char* name;
    const char* expected;  // null: refused
};

TEST(BuildLinkPath, JoinsFolderGroupAndNameWithOneBackslashEach)
{
    const LinkCase cases[] = {
        {"C:\\Start Menu\\Programs", "NOVLA\\Tessaronix", "Tessaronix Help",
         "C:\\Start Menu\\Programs\\NOVLA\\Tessaronix\\Tessaronix Help.lnk"},
        {"C:\\Start Menu\\Programs\\", "NOVLA\\Tessaronix", "Remove",
         "C:\\Start Menu\\Programs\\NOVLA\\Tessaronix\\Remove.lnk"},
        {"C:\\P", "G\\", "N", "C:\\P\\G\\N.lnk"},
        // The desktop link: an empty group adds nothing.
        {"C:\\users\\root\\Desktop", "", "Tessaronix", "C:\\users\\root\\Desktop\\Tessaronix.lnk"},
        {"C:\\", "", "Tessaronix", "C:\\Tessaronix.lnk"},
        // A special folder that was not found: no link relative to the
        // current directory.
        {"", "NOVLA\\Tessaronix", "Remove", nullptr},
        {"", "", "Tessaronix", nullptr},
    };
    for (const LinkCase& c : cases) {
        char out[260];
        memset(out, 'x', sizeof out);
        bool built = BuildLinkPath(out, sizeof out, c.folder, c.group, c.name);
        EXPECT_EQ(c.expected != nullptr, built) << c.folder << "|" << c.group << "|" << c.name;
        EXPECT_EQ(c.expected ? c.expected : "", std::string(out)) << c.folder << "|" << c.name;
    }
}

TEST(BuildLinkPath, RefusesAPathThatDoesNotFitAtEveryLength)
{
    // "C:\P" + "\G" + "\N" + ".lnk" = 14 characters: it needs 15 bytes.
    const std::string full = "C:\\P\\G\\N.lnk";
    for (size_t capacity = 1; capacity <= full.size() + 2; ++capacity) {
        std::string buffer(capacity + 8, '#');
        bool built = BuildLinkPath(&buffer[0], capacity, "C:\\P", "G", "N");
        EXPECT_EQ(capacity > full.size(), built) << capacity;
        EXPECT_EQ(built ? full : "", std::string(buffer.c_str())) << capacity;
        // Nothing beyond the capacity is touched.
        EXPECT_EQ(std::string(8, '#'), buffer.substr(capacity)) << capacity;
    }
}

TEST(BuildLinkPath, RefusesAVeryLongProgramsFolder)
{
    std::string folder = "C:\\" + std::string(250, 'p');
    char out[260];
    EXPECT_FALSE(BuildLinkPath(out, sizeof out, folder.c_str(), "NOVLA\\Tessaronix", "Tessaronix Help"));
    EXPECT_STREQ("", out);
}

TEST(ClassesRootKeyPath, BuildsEachKindForBothVerbs)
{
    struct Case {
        int kind;
        int verb;
        const char* expected;
    } cases[] = {
        {1, 1, ".n_tsx"},
        {2, 1, ".n_tsx"},
        {3, 1, ".n_tsx\\DefaultIcon"},
        {4, 1, ".n_tsx\\shell\\open\\command"},
        {5, 1, ".n_tsx\\shell\\open\\ddeexec"},
        {6, 1, ".n_tsx\\shell\\open\\ddeexec\\application"},
        {7, 1, ".n_tsx\\shell\\open\\ddeexec\\topic"},
        {4, 0, ".n_tsx\\shell\\find\\command"},
        {7, 0, ".n_tsx\\shell\\find\\ddeexec\\topic"},
    };
    for (const Case& c : cases) {
        char out[256];
        EXPECT_TRUE(ClassesRootKeyPath(out, sizeof out, ".n_tsx", c.kind, c.verb)) << c.kind;
        EXPECT_STREQ(c.expected, out) << c.kind << " " << c.verb;
    }
}

TEST(ClassesRootKeyPath, RefusesUnknownKindsAndPathsThatDoNotFit)
{
    char out[256];
    for (int kind : {0, 8, -1, 100}) {
        strcpy(out, "stale");
        EXPECT_FALSE(ClassesRootKeyPath(out, sizeof out, "Drive", kind, 0)) << kind;
        EXPECT_STREQ("", out);
    }
    std::string key(230, 'k');
    EXPECT_TRUE(ClassesRootKeyPath(out, sizeof out, key.c_str(), 4, 0));
    EXPECT_FALSE(ClassesRootKeyPath(out, sizeof out, key.c_str(), 6, 0));
    EXPECT_STREQ("", out);
}

}  // namespace
