#include "common/folders.h"

#include <string.h>

#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/win32.h"

bool PathExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool FileExistsAt(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CreateFolderChain(const char* path, bool (*beforeCreate)(const char* folder))
{
    // Only a drive-rooted path (X:\...) is created: anything else (a network
    // path, a relative path, an empty string) would create folders somewhere
    // other than the user chose, or relative to the current directory.
    char copy[PATH_CAPACITY];
    if (!CopyText(copy, sizeof copy, path) || !HasDriveRoot(copy))
        return false;

    // The paths tested, shortest first: the copy cut before each backslash
    // that follows the root's, then the whole path. Walked by character: in
    // a double-byte code page the second byte of a character may be 0x5C
    // and is no separator.
    bool result = true;
    for (char* p = copy + 3;; p = (char*)NextChar(p)) {
        bool whole = *p == '\0';
        if (!whole && *p != '\\')
            continue;
        *p = '\0';
        if (!PathExists(copy))
            result = (beforeCreate == 0 || beforeCreate(copy)) && CreateDirectoryA(copy, NULL) != FALSE;
        if (whole)
            return result;
        *p = '\\';
    }
}

void SpecialFolderPath(char* out, size_t capacity, int csidl)
{
    out[0] = '\0';
    LPITEMIDLIST items = NULL;
    if (SHGetSpecialFolderLocation(NULL, csidl, &items) != S_OK)
        return;
    char path[MAX_PATH];
    if (SHGetPathFromIDListA(items, path) && IsAbsolutePath(path))
        CopyText(out, capacity, path);
    // Item lists come from the shell's allocator and go back to it.
    CoTaskMemFree(items);
}

void SystemFolderPath(char* out, UINT(WINAPI* query)(LPSTR, UINT))
{
    UINT length = query(out, PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY)
        out[0] = '\0';
}

bool WalkFolder(const char* folder, FolderVisitor visit, void* context)
{
    char path[PATH_CAPACITY];
    if (!JoinPath(path, sizeof path, folder, "*.*"))
        return false;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        const char* name = entry.cFileName;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (JoinPath(path, sizeof path, folder, name) && !visit(path, &entry, context))
            break;
    } while (FindNextFileA(search, &entry));
    FindClose(search);  // A search that cannot be closed has still listed the folder.
    return true;
}

static bool ClearItem(const char* path, const WIN32_FIND_DATAA* entry, void*)
{
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // Read-only, hidden and system files go too; a file that cannot
        // be deleted (in use, no access) stays, and the clearing goes on.
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    } else if (entry->cFileName[0] != '.' && !(entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A folder whose name begins with a dot is not entered, nor a
        // junction or symbolic link, which leads out of the product's
        // folder: never empty what it points to.
        ClearFolder(path);
    }
    return true;
}

bool ClearFolder(const char* folder)
{
    return WalkFolder(folder, ClearItem, NULL);
}

// A move of a folder's files: where they go, how, and how many stayed.
struct FileMove {
    const char* to;
    bool back;
    unsigned left;
};

static bool MoveEntry(const char* path, const WIN32_FIND_DATAA* entry, void* context)
{
    FileMove* move = (FileMove*)context;
    char target[PATH_CAPACITY];
    bool fits = move->to != NULL && JoinPath(target, sizeof target, move->to, entry->cFileName);
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        // Entered as ClearFolder enters it; a path that does not fit counts
        // as one file left.
        if (entry->cFileName[0] != '.' && !(entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            move->left += MoveFolderFiles(path, fits ? target : NULL, move->back) + (move->to != NULL && !fits);
        return true;
    }
    if (fits) {
        CreateDirectoryA(move->to, NULL);  // made with its first file; one that is there stays
        if (move->back) {
            SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(target);
        }
        if (MoveFileA(path, target))
            return true;
    }
    ++move->left;
    return true;
}

unsigned MoveFolderFiles(const char* from, const char* to, bool back)
{
    FileMove move = {to, back, 0};
    WalkFolder(from, MoveEntry, &move);
    // Only an empty folder is removed.
    if (back && move.left == 0)
        RemoveDirectoryA(from);
    return move.left;
}
