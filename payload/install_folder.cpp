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

bool IsAbsolutePath(const char* path)
{
    char drive = FoldAscii(path[0]);
    if (drive >= 'A' && drive <= 'Z')
        return path[1] == ':' && path[2] == '\\';
    // \\server\share: a server name, then a share name.
    if (path[0] != '\\' || path[1] != '\\' || path[2] == '\0' || path[2] == '\\')
        return false;
    const char* share = strchr(path + 2, '\\');
    return share != NULL && share[1] != '\0' && share[1] != '\\';
}

bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder)
{
    return SameFolder(folder, recorded) || SameFolder(folder, defaultFolder);
}
