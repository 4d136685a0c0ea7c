#include "common/folders.h"

#include <string.h>

#include "common/path_text.h"
#include "common/win32.h"

bool PathExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolderChain(const char* path, bool (*beforeCreate)(const char* folder))
{
    // Only a drive-rooted path (X:\...) is created: anything else (a network
    // path, a relative path, an empty string) would create folders somewhere
    // other than the user chose, or relative to the current directory.
    char copy[PATH_CAPACITY];
    if (!CopyText(copy, sizeof copy, path) || copy[0] == '\0' || copy[1] != ':' || copy[2] != '\\')
        return false;

    // Walk backwards over the backslashes, cutting the copy at each one until
    // the root backslash at index 2. Each backslash is a level to test on the
    // way back, the root's level being the shortest path.
    int levels = 0;
    for (size_t i = strlen(copy); i-- > 2;) {
        if (copy[i] != '\\')
            continue;
        ++levels;
        if (i == 2)
            break;
        copy[i] = '\0';
    }

    bool result = true;
    size_t fullLength = strlen(path);
    size_t length = strlen(copy);
    for (int level = 0; level < levels; ++level) {
        if (!PathExists(copy))
            result = (beforeCreate == 0 || beforeCreate(copy)) && CreateDirectoryA(copy, NULL) != FALSE;
        if (length >= fullLength)
            break;
        // Turn the next cut back into a backslash: the copy reads one level
        // deeper.
        copy[length] = '\\';
        length += strlen(copy + length);
    }
    return result;
}

bool ClearFolder(const char* folder)
{
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, folder, "*.*"))
        return false;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && entry.cFileName[0] == '.')
            continue;
        // A name that does not fit is skipped: a cut path could name some
        // other file.
        if (!JoinPath(path, sizeof path, folder, entry.cFileName))
            continue;
        if (isFolder) {
            // A junction or symbolic link leads out of the product's folder:
            // never empty what it points to.
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                ClearFolder(path);
        } else {
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return true;
}
