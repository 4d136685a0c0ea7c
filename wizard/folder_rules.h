#pragma once
// The rules a program folder typed on the destination page must meet, and the
// folder that is committed for it. Portable.
#include <stddef.h>

#include "payload/product.h"

enum FolderVerdict {
    FOLDER_ACCEPTED = 0,
    FOLDER_EMPTY,      // nothing typed
    FOLDER_NO_DRIVE,   // not "X:\..." (second character ':', third '\')
    FOLDER_ROOT,       // a drive root such as C:\ alone
    FOLDER_TOO_LONG,   // the committed folder, or a file path in it, would not fit
    FOLDER_NO_LETTER,  // "X:\..." with X not a letter
    FOLDER_NOT_PLAIN,  // Windows would read the folder otherwise than it is written
};

// Checks the typed folder and, when it is accepted, writes into committed the
// folder the installation goes to: the text as typed when it contains the
// product name anywhere (ASCII case-insensitive, starting at a character of
// the text), else the text joined with
// the product name. The committed folder must leave room for a backslash and
// the longest file name that goes into it: its length plus 1 plus
// longestFileName stays within capacity - 1. The committed folder must also
// be one the uninstaller takes for a program folder (IsSoundProgramFolder,
// the one rule both programs apply): a drive letter, and no empty folder
// name, none that is "." or "..", ends in a dot or a space or holds a
// character Windows does not allow, as Windows would drop or resolve those
// and the files would land in another folder than the one recorded.
// committed is left empty unless the folder is accepted.
FolderVerdict CheckInstallFolder(const char* typed, const char* productName, size_t longestFileName,
                                 char* committed, size_t capacity);

// The longest fileName of the table's rows.
size_t LongestFileName(const PayloadTable* table);

// The text the user is shown for a rejected folder: "Path Invalid!\r\n\r\n"
// and the reason. False (out empty) for FOLDER_ACCEPTED or when out is too
// small.
bool FormatFolderMessage(char* out, size_t capacity, FolderVerdict verdict);
