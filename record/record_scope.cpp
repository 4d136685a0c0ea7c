// The scope of an installation record: what it may make the uninstaller
// undo, whatever else its lines name.
#include "record/install_record.h"

#include <string.h>

#include "common/path_text.h"
#include "common/path_walk.h"

bool IsSoundProgramFolder(const char* folder, const char* productName)
{
    return productName[0] != '\0' && IsPlainFolder(folder, FolderLength(folder), RECORD_PATH_LENGTH) &&
           ContainsTextNoCase(folder, productName);
}

unsigned RecordProgramFolders(const RecordView* view, const char* productName, const char** folders,
                              unsigned capacity)
{
    unsigned count = 0;
    for (unsigned i = 0; i < view->entryCount && i < RECORD_ENTRY_CAPACITY && count < capacity; ++i) {
        const RecordEntry* entry = &view->entries[i];
        if (entry->kind != RECORD_RUN || !IsSoundProgramFolder(entry->path, productName))
            continue;
        bool known = false;
        for (unsigned k = 0; k < count && !known; ++k)
            known = SameFolder(entry->path, folders[k]);
        if (!known)
            folders[count++] = entry->path;
    }
    return count;
}

// True when name is one of names (ASCII letters without regard to case).
static bool IsListed(const char* name, const char* const* names, unsigned count)
{
    for (unsigned i = 0; i < count; ++i)
        if (SameTextNoCase(name, names[i]))
            return true;
    return false;
}

// True when path is folder\<one of names>; false when folder is empty.
static bool IsNamedFileIn(const char* path, const char* folder, const char* const* names, unsigned count)
{
    const char* rest = PathBelowFolder(path, folder);
    return rest != NULL && IsListed(rest, names, count);
}

static bool IsFileInScope(const char* path, const UndoScope* scope, const char* const* programFolders,
                          unsigned programFolderCount)
{
    if (IsNamedFileIn(path, scope->windowsFolder, scope->product->fileNames, scope->product->fileNameCount) ||
        IsNamedFileIn(path, scope->systemFolder, scope->product->fileNames, scope->product->fileNameCount))
        return true;
    for (unsigned i = 0; i < programFolderCount; ++i)
        if (IsNamedFileIn(path, programFolders[i], scope->product->fileNames, scope->product->fileNameCount))
            return true;
    return false;
}

static bool IsLinkInScope(const char* path, const UndoScope* scope)
{
    for (unsigned i = 0; i < 2; ++i) {
        if (IsNamedFileIn(path, scope->desktopFolders[i], scope->product->linkNames, scope->product->linkNameCount))
            return true;
        const char* inPrograms = PathBelowFolder(path, scope->programsFolders[i]);
        if (inPrograms != NULL &&
            IsNamedFileIn(inPrograms, scope->product->programGroup, scope->product->linkNames, scope->product->linkNameCount))
            return true;
    }
    return false;
}

// A plain folder (no trailing backslash) that is a program folder or one of
// its parents, or the program group or one of its parents below a Programs
// folder.
static bool IsFolderInScope(const char* path, const UndoScope* scope, const char* const* programFolders,
                            unsigned programFolderCount)
{
    if (!IsPlainFolder(path, strlen(path), RECORD_PATH_LENGTH))
        return false;
    for (unsigned i = 0; i < programFolderCount; ++i)
        if (PathBelowFolder(programFolders[i], path) != NULL)
            return true;
    for (unsigned i = 0; i < 2; ++i) {
        const char* inPrograms = PathBelowFolder(path, scope->programsFolders[i]);
        // PathBelowFolder takes no empty folder: the Programs folder itself
        // is not in scope.
        if (inPrograms != NULL && PathBelowFolder(scope->product->programGroup, inPrograms) != NULL)
            return true;
    }
    return false;
}

bool IsEntryInScope(const RecordEntry* entry, const UndoScope* scope, const char* const* programFolders,
                    unsigned programFolderCount)
{
    switch (entry->kind) {
    case RECORD_FILE:
        return IsFileInScope(entry->path, scope, programFolders, programFolderCount);
    case RECORD_LINK:
        return IsLinkInScope(entry->path, scope);
    case RECORD_FOLDER:
        return IsFolderInScope(entry->path, scope, programFolders, programFolderCount);
    case RECORD_KEY:
        return IsProductKey(entry->root, entry->path, scope->product->name);
    case RECORD_VALUE:
        return IsProductValue(entry->root, entry->path, entry->valueName, scope->product->name);
    case RECORD_MOVE:
        if (IsFileInScope(entry->path, scope, programFolders, programFolderCount))
            return true;
        for (unsigned i = 0; i < programFolderCount; ++i)
            if (SameFolder(entry->path, programFolders[i]))
                return true;
        return false;
    }
    return false;
}

