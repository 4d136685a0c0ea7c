#pragma once
// Folders typed on the destination page, held once for both programs'
// rule: the host test runs each through the page's check and the
// uninstaller's; under Wine, each accepted one is installed into and
// removed by the real programs (cleanup_folder_test). Test code.
#include "wizard/folder_rules.h"

namespace typed {

struct Folder {
    const char* typed;
    FolderVerdict verdict;
    const char* committed;  // when accepted
    bool shiftJis;          // a text of code page 932: typed only where that is the system's
};

// Windows resolves a ".." step, drops a trailing dot or space and joins a
// doubled backslash: the installation went to another folder than the one
// recorded, which the uninstaller then refused, leaving every file behind.
const Folder kFolders[] = {
    {"C:\\Apps\\..\\Tessaronix", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Apps\\Tessaronix.", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Apps\\Tessaronix ", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Apps\\\\Tessaronix", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Apps\\.\\Bin", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Tessaronix\\\\", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Apps\\a:b", FOLDER_NOT_PLAIN, "", false},
    {"C:\\Apps\\a?b", FOLDER_NOT_PLAIN, "", false},
    {"1:\\x", FOLDER_NO_LETTER, "", false},
    {"C:\\", FOLDER_ROOT, "", false},
    {"D:folder", FOLDER_NO_DRIVE, "", false},
    // Accepted as the page always accepted them.
    {"c:\\apps", FOLDER_ACCEPTED, "c:\\apps\\Tessaronix", false},
    {"C:\\Apps\\Tessaronix2\\Bin", FOLDER_ACCEPTED, "C:\\Apps\\Tessaronix2\\Bin", false},
    {"C:\\OldTessaronix\\", FOLDER_ACCEPTED, "C:\\OldTessaronix\\", false},
    // A folder whose last character ends in the byte of a backslash (U+8868).
    {"C:\\\x95\x5c", FOLDER_ACCEPTED, "C:\\\x95\x5c\\Tessaronix", true},
};

}  // namespace typed
