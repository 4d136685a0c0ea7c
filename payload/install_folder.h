#pragma once
// Which existing program folder the installation run may empty. Portable.

// True when folder is the product's own: the folder recorded by an earlier
// installation (empty when none) or the default folder (SameFolder, in
// common/path_walk.h). Only such a folder is emptied before the files are
// written; any other existing folder may hold the user's data.
bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder);
