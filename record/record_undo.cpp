// The undo actions of an installation record's entries.
#include "record/record_undo.h"

#include "common/folders.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/win32.h"
#include "record/registry_root.h"
#include "record/startup_list.h"

enum {
    // Files and folders of this run that only the next restart takes away
    // (or, for a folder on Windows 9x, empties), remembered so that a folder
    // holding only those can follow them. Beyond this many, such a folder is
    // kept as if it held someone else's files.
    SCHEDULED_CAPACITY = 64,
    // The largest WININIT.INI that is edited; a larger one is left alone.
    STARTUP_LIST_CAPACITY = 32 * 1024,
};

static char s_windows[PATH_CAPACITY];
static char s_system[PATH_CAPACITY];
static char s_programs[2][PATH_CAPACITY];
static char s_desktops[2][PATH_CAPACITY];
static bool s_ntFamily;
static const char* s_windowsFolder;
// Only the uninstaller knows itself (NoteRunningProgram): in the installer,
// which never sets it, the test of IsSelf folds away.
static bool s_selfKnown;
static char s_self[PATH_CAPACITY];
static char s_selfShort[PATH_CAPACITY];
static char s_scheduled[SCHEDULED_CAPACITY][PATH_CAPACITY];
static unsigned s_scheduledCount;
static char s_startupList[STARTUP_LIST_CAPACITY];

// The short (8.3) form of path; false when the system cannot give it.
static bool ShortPath(const char* path, char* out)
{
    DWORD length = GetShortPathNameA(path, out, PATH_CAPACITY);
    if (length == 0 || length >= PATH_CAPACITY) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void FindUndoScope(UndoScope* scope, const ProductNames* product)
{
    SystemFolderPath(s_windows, GetWindowsDirectoryA);
    SystemFolderPath(s_system, GetSystemDirectoryA);
    SpecialFolderPath(s_programs[0], PATH_CAPACITY, CSIDL_PROGRAMS);
    SpecialFolderPath(s_programs[1], PATH_CAPACITY, CSIDL_COMMON_PROGRAMS);
    SpecialFolderPath(s_desktops[0], PATH_CAPACITY, CSIDL_DESKTOPDIRECTORY);
    SpecialFolderPath(s_desktops[1], PATH_CAPACITY, CSIDL_COMMON_DESKTOPDIRECTORY);
    *scope = {s_windows, s_system, {s_programs[0], s_programs[1]}, {s_desktops[0], s_desktops[1]}, product};
}

void StartUndo(bool ntFamily, const char* windowsFolder)
{
    s_ntFamily = ntFamily;
    s_windowsFolder = windowsFolder;
}

void NoteRunningProgram()
{
    DWORD length = GetModuleFileNameA(NULL, s_self, PATH_CAPACITY);
    s_selfKnown = length != 0 && length < PATH_CAPACITY;
    if (s_selfKnown)
        ShortPath(s_self, s_selfShort);
}

// True when path names the running uninstaller, in its long or short form.
static bool IsSelf(const char* path)
{
    if (!s_selfKnown)
        return false;
    if (SameTextNoCase(path, s_self))
        return true;
    char shortPath[PATH_CAPACITY];
    return s_selfShort[0] != '\0' && ShortPath(path, shortPath) && SameTextNoCase(shortPath, s_selfShort);
}

static bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

static bool IsScheduled(const char* path)
{
    for (unsigned i = 0; i < s_scheduledCount; ++i)
        if (SameTextNoCase(path, s_scheduled[i]))
            return true;
    return false;
}

// Adds "NUL=<short path>" to the [rename] section of WININIT.INI in the
// Windows folder: Windows 95, 98 and ME delete the file while they start.
// Only the bytes from the first one that changes are written, which for the
// usual list at the end of the file is an append.
static bool AddToStartupList(const char* path)
{
    char shortPath[PATH_CAPACITY], listPath[PATH_CAPACITY];
    if (!ShortPath(path, shortPath) || !JoinPath(listPath, sizeof listPath, s_windowsFolder, "WININIT.INI"))
        return false;
    HANDLE file = CreateFileA(listPath, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Read whole or not at all: what follows a part read would be lost.
    DWORD size = GetFileSize(file, NULL), got = 0;
    bool fine = size < STARTUP_LIST_CAPACITY && ReadFile(file, s_startupList, size, &got, NULL) && got == size;
    size_t length = got;
    size_t firstChange = 0;
    fine = fine && AddStartupRemoval(s_startupList, &length, STARTUP_LIST_CAPACITY, shortPath, &firstChange);
    if (fine && firstChange < length) {
        DWORD toWrite = (DWORD)(length - firstChange), written = 0;
        fine = SetFilePointer(file, (LONG)firstChange, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               WriteFile(file, s_startupList + firstChange, toWrite, &written, NULL) && written == toWrite;
    }
    // A close that fails may have lost what was written.
    return CloseHandle(file) && fine;
}

// Remembers path as one that only the restart takes away (or, for a
// folder on Windows 9x, empties).
static void Remember(const char* path)
{
    if (s_scheduledCount < SCHEDULED_CAPACITY && CopyText(s_scheduled[s_scheduledCount], PATH_CAPACITY, path))
        ++s_scheduledCount;
}

bool RemoveAtRestart(const char* path)
{
    bool scheduled = s_ntFamily ? MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE
                                : AddToStartupList(path);
    if (scheduled)
        Remember(path);
    return scheduled;
}

// F and L: a plain file the installation made is deleted; one that was
// there before it is kept, as its earlier contents cannot be brought back
// and someone else may rely on it. The running uninstaller cannot delete
// itself: it goes at the next restart, like a file in use.
static UndoOutcome UndoFile(const RecordEntry* entry)
{
    const char* path = entry->path;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsMissing(GetLastError()) ? UNDO_NOTHING : UNDO_FAILED;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return UNDO_NOTHING;
    if (IsSelf(path))
        return RemoveAtRestart(path) ? UNDO_SCHEDULED_SELF : UNDO_FAILED;
    if (entry->existed)
        return UNDO_KEPT_FILE;
    // A read-only mark that cannot be taken off shows as the delete failing.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes & ~(DWORD)FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(path))
        return UNDO_DONE;
    DWORD error = GetLastError();
    if (IsMissing(error))
        return UNDO_NOTHING;
    if ((error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION) &&
        RemoveAtRestart(path))
        return UNDO_SCHEDULED;
    // It stays: as it was.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes);
    return UNDO_FAILED;
}

enum FolderContent { CONTENT_EMPTY, CONTENT_ONLY_SCHEDULED, CONTENT_FOREIGN, CONTENT_UNREADABLE };

static bool ExamineEntry(const char* path, const WIN32_FIND_DATAA*, void* context)
{
    FolderContent* content = (FolderContent*)context;
    *content = IsScheduled(path) ? CONTENT_ONLY_SCHEDULED : CONTENT_FOREIGN;
    return *content == CONTENT_ONLY_SCHEDULED;
}

// What is in folder: nothing, only what this run removes at the restart,
// or anything else. Links inside are listed, never entered.
static FolderContent ExamineFolder(const char* folder)
{
    FolderContent content = CONTENT_EMPTY;
    if (!WalkFolder(folder, ExamineEntry, &content))
        return GetLastError() == ERROR_FILE_NOT_FOUND ? CONTENT_EMPTY : CONTENT_UNREADABLE;
    return content;
}

// D: a real folder (not a link) that is empty goes now; one that holds only
// what goes at the restart follows it then on NT, whose session manager
// removes empty folders too. Windows 95 and 98 delete only files at start-up,
// so there such a folder stays, empty after the restart, and counts for its
// parent as going with the rest. A folder holding anything else is kept.
static UndoOutcome UndoFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsMissing(GetLastError()) ? UNDO_NOTHING : UNDO_FAILED;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return UNDO_NOTHING;
    switch (ExamineFolder(path)) {
    case CONTENT_EMPTY: {
        if (RemoveDirectoryA(path))
            return UNDO_DONE;
        // Something may have come into it since it was listed.
        DWORD error = GetLastError();
        return IsMissing(error) ? UNDO_NOTHING : error == ERROR_DIR_NOT_EMPTY ? UNDO_KEPT_FOLDER : UNDO_FAILED;
    }
    case CONTENT_ONLY_SCHEDULED:
        if (!s_ntFamily) {
            Remember(path);
            return UNDO_NOTHING;
        }
        return RemoveAtRestart(path) ? UNDO_SCHEDULED : UNDO_FAILED;
    case CONTENT_FOREIGN:
        return UNDO_KEPT_FOLDER;
    case CONTENT_UNREADABLE:
        break;
    }
    return UNDO_FAILED;
}

// V: the value the installation found gets its type and data back; one it
// made goes. A key that is gone took the value with it: nothing to do.
static UndoOutcome UndoValue(const RecordEntry* entry)
{
    HKEY key;
    LONG result = RegOpenKeyExA(RootKeyOf(entry->root), entry->path, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? UNDO_NOTHING : UNDO_FAILED;
    static const BYTE kNoData[1] = {0};
    if (entry->existed)
        result = RegSetValueExA(key, entry->valueName, 0, entry->type,
                                entry->dataSize != 0 ? entry->data : kNoData, entry->dataSize);
    else
        result = RegDeleteValueA(key, entry->valueName);
    RegCloseKey(key);
    if (result == ERROR_SUCCESS)
        return UNDO_DONE;
    return result == ERROR_FILE_NOT_FOUND ? UNDO_NOTHING : UNDO_FAILED;
}

UndoOutcome RemoveKeyWhenEmpty(uint8_t root, const char* path)
{
    HKEY key;
    LONG result = RegOpenKeyExA(RootKeyOf(root), path, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result == ERROR_FILE_NOT_FOUND ? UNDO_NOTHING : UNDO_FAILED;
    DWORD subkeys = 0, values = 0;
    result = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return UNDO_FAILED;
    if (subkeys != 0 || values != 0)
        return UNDO_KEPT_KEY;
    result = RegDeleteKeyA(RootKeyOf(root), path);
    if (result == ERROR_SUCCESS)
        return UNDO_DONE;
    return result == ERROR_FILE_NOT_FOUND ? UNDO_NOTHING : UNDO_FAILED;
}

UndoOutcome UndoEntry(const RecordEntry* entry)
{
    switch (entry->kind) {
    case RECORD_FILE:
    case RECORD_LINK:
        return UndoFile(entry);
    case RECORD_FOLDER:
        return UndoFolder(entry->path);
    case RECORD_VALUE:
        return UndoValue(entry);
    case RECORD_KEY:
        return RemoveKeyWhenEmpty(entry->root, entry->path);
    }
    return UNDO_NOTHING;
}
