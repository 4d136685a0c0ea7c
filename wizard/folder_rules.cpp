// The rules a program folder typed on the destination page must meet.
#include "wizard/folder_rules.h"

#include <string.h>

#include "common/path_text.h"
#include "common/path_walk.h"
#include "record/install_record.h"

FolderVerdict CheckInstallFolder(const char* typed, const char* productName, size_t longestFileName,
                                 char* committed, size_t capacity)
{
    if (capacity > 0)
        committed[0] = '\0';
    if (typed[0] == '\0')
        return FOLDER_EMPTY;
    // A colon and a backslash after the first character, which itself is
    // not checked.
    if (!HasDriveRoot(typed))
        return FOLDER_NO_DRIVE;
    if (typed[3] == '\0')
        return FOLDER_ROOT;

    bool built = ContainsTextNoCase(typed, productName) ? CopyText(committed, capacity, typed)
                                                         : JoinPath(committed, capacity, typed, productName);
    if (!built)
        return FOLDER_TOO_LONG;
    // Every file of the program folder must still have a path that fits.
    size_t length = strlen(committed);
    if (length + 1 + longestFileName > capacity - 1) {
        committed[0] = '\0';
        return FOLDER_TOO_LONG;
    }
    if (!IsSoundProgramFolder(committed, productName)) {
        committed[0] = '\0';
        char letter = (char)(typed[0] | 0x20);
        return letter >= 'a' && letter <= 'z' ? FOLDER_NOT_PLAIN : FOLDER_NO_LETTER;
    }
    return FOLDER_ACCEPTED;
}

size_t LongestFileName(const PayloadTable* table)
{
    size_t longest = 0;
    for (unsigned i = 0; i < table->rowCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        const char* name = table->rows[i].fileName;
        size_t length = TextLength(name, sizeof table->rows[i].fileName);
        if (length > longest)
            longest = length;
    }
    return longest;
}

bool FormatFolderMessage(char* out, size_t capacity, FolderVerdict verdict)
{
    const char* reason;
    switch (verdict) {
    case FOLDER_EMPTY:
        reason = "%sPath may not be empty!";
        break;
    case FOLDER_NO_DRIVE:
        reason = "%sMissing : or \\ in drive.";
        break;
    case FOLDER_ROOT:
        reason = "%sPath may not be a root drive...";
        break;
    case FOLDER_TOO_LONG:
        reason = "%sPath is too long for the program files!";
        break;
    case FOLDER_NO_LETTER:
        reason = "%sThe drive must be a letter.";
        break;
    case FOLDER_NOT_PLAIN:
        reason = "%sA folder name may not be empty, . or .., end in a dot or a space, or hold / * ? \" < > | :";
        break;
    default:
        if (capacity > 0)
            out[0] = '\0';
        return false;
    }
    return FormatText(out, capacity, reason, "Path Invalid!\r\n\r\n");
}
