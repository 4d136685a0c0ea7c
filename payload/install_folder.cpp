#include "payload/install_folder.h"

#include "common/path_text.h"
#include "common/path_walk.h"

bool DefaultProgramFolder(char* out, size_t capacity, const char* programFiles, const char* product)
{
    char maker[PATH_CAPACITY];
    if (TextLength(programFiles, PATH_CAPACITY) < PATH_CAPACITY &&
        IsPlainFolder(programFiles, FolderLength(programFiles), PATH_CAPACITY - 1) &&
        JoinPath(maker, sizeof maker, programFiles, MAKER_FOLDER) && JoinPath(out, capacity, maker, product))
        return true;
    return JoinPath(out, capacity, FIXED_PARENT_FOLDER, product);
}

bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder)
{
    return SameFolder(folder, recorded) || SameFolder(folder, defaultFolder);
}
