#include "payload/install_folder.h"

#include "common/path_walk.h"

bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder)
{
    return SameFolder(folder, recorded) || SameFolder(folder, defaultFolder);
}
