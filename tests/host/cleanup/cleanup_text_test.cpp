// The uninstaller's texts: the last box.
#include <gtest/gtest.h>

#include <string>

#include "cleanup/cleanup_text.h"

namespace {

SummaryList List(std::initializer_list<const char*> names)
{
    SummaryList list = {};
    for (const char* name : names)
        AddSummaryName(&list, name);
    return list;
}

struct SummaryCase {
    CleanupSummary summary;
    const char* text;
};

TEST(CleanupSummary, SaysWhatWasDoneKeptAndLeftForTheRestart)
{
    const char* const removed = "NOVLA Tessaronix was removed from this computer.";
    const SummaryCase cases[] = {
        {{"Tessaronix", {}, {}, {}, false}, removed},
        {{"Tessaronix", {}, List({"C:\\Data\\Tessaronix Projects"}), {}, true},
         "NOVLA Tessaronix was removed from this computer.\r\n\r\n"
         "The folder C:\\Data\\Tessaronix Projects was kept: it holds files that were not installed by NOVLA "
         "Tessaronix.\r\n\r\nSome files are in use: restart the computer to complete the removal."},
        {{"Tessaronix", {}, List({"A", "B", "C", "D", "E"}), List({"F", "G"}), false},
         "NOVLA Tessaronix was removed from this computer.\r\n\r\n"
         "The folders A, B, C and 2 more were kept: they hold files that were not installed by NOVLA Tessaronix."
         "\r\n\r\nThe files F and G were kept: they were there before NOVLA Tessaronix was installed."},
        {{"Tessaronix", List({"HKEY_CLASSES_ROOT\\.n_tsx", "B", "C"}), {}, List({"F"}), false},
         "Some parts of NOVLA Tessaronix could not be removed: HKEY_CLASSES_ROOT\\.n_tsx, B and C.\r\n\r\n"
         "The file F was kept: it was there before NOVLA Tessaronix was installed."},
        {{"Tessaronix", List({"A", "B", "C", "D"}), {}, {}, true},
         "Some parts of NOVLA Tessaronix could not be removed: A, B, C and 1 more.\r\n\r\n"
         "Some files are in use: restart the computer to complete the removal."},
        // What was left alone, in the record, was said to be removed.
        {{"Tessaronix", {}, {}, {}, false, List({"C:\\B\\Desktop\\Tessaronix.lnk"}), {}, {}, {}, 0},
         "NOVLA Tessaronix was not removed completely: the installation record keeps what was left alone.\r\n\r\n"
         "The item C:\\B\\Desktop\\Tessaronix.lnk was left alone: it belongs to another user's Start menu or "
         "desktop, and goes when that user removes NOVLA Tessaronix."},
        {{"Tessaronix", List({"X"}), {}, {}, false, List({"A", "B"}), {}, List({"C:\\Apps\\..\\Tessaronix"}),
          List({"HKEY_CLASSES_ROOT\\txtfile"}), 1},
         "Some parts of NOVLA Tessaronix could not be removed: X.\r\n\r\n"
         "The items A and B were left alone: they belong to another user's Start menu or desktop, and go when that "
         "user removes NOVLA Tessaronix.\r\n\r\n"
         "The program folder C:\\Apps\\..\\Tessaronix was left alone: the installation record names it otherwise "
         "than Windows reads it, so nothing in it is removed.\r\n\r\n"
         "The item HKEY_CLASSES_ROOT\\txtfile was left alone: NOVLA Tessaronix does not install it.\r\n\r\n"
         "One line of the installation record could not be read: it was kept."},
        {{"Tessaronix", {}, {}, {}, false, {}, List({"L"}), {}, {}, 0},
         "NOVLA Tessaronix was not removed completely: the installation record keeps what was left alone.\r\n\r\n"
         "The item L was left alone: Windows did not say where the Start menu and desktop are. Remove NOVLA "
         "Tessaronix again to remove it."},
        {{"Tessaronix", {}, {}, {}, true, {}, {}, List({"P", "Q"}), List({"A", "B"}), 7},
         "NOVLA Tessaronix was not removed completely: the installation record keeps what was left alone.\r\n\r\n"
         "The program folders P and Q were left alone: the installation record names them otherwise than Windows "
         "reads them, so nothing in them is removed.\r\n\r\n"
         "The items A and B were left alone: NOVLA Tessaronix does not install them.\r\n\r\n"
         "7 lines of the installation record could not be read: they were kept.\r\n\r\n"
         "Some files are in use: restart the computer to complete the removal."},
    };
    for (const SummaryCase& c : cases) {
        EXPECT_EQ(c.summary.notRemoved.count == 0 && std::string(c.text).find("left alone") == std::string::npos &&
                      std::string(c.text).find("could not be read") == std::string::npos,
                  IsCompleteRemoval(&c.summary))
            << c.text;
        char out[1024];
        ASSERT_TRUE(BuildCleanupSummary(out, sizeof out, &c.summary)) << c.text;
        EXPECT_STREQ(c.text, out);
    }
    // What does not fit is refused whole.
    char small[sizeof "NOVLA Tessaronix was removed from this computer."];
    EXPECT_TRUE(BuildCleanupSummary(small, sizeof small, &cases[0].summary));
    EXPECT_FALSE(BuildCleanupSummary(small, sizeof small, &cases[1].summary));
    EXPECT_STREQ("", small);
}

}  // namespace
