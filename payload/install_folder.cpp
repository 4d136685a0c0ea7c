#include "payload/install_folder.h"

#include <string.h>

static char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c; }

// Length without one trailing backslash, kept for a bare drive root (C:\).
static size_t FolderLength(const char* path)
{
    size_t length = strlen(path);
    if (length > 3 && path[length - 1] == '\\')
        --length;
    return length;
}

bool SameFolder(const char* a, const char* b)
{
    size_t length = FolderLength(a);
    if (length == 0 || length != FolderLength(b))
        return false;
    for (size_t i = 0; i < length; ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder)
{
    return SameFolder(folder, recorded) || SameFolder(folder, defaultFolder);
}
