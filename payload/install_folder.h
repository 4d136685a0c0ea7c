#pragma once
// Which existing program folder the installation run may empty. Portable.

// True when a and b name the same folder as Windows compares them: ASCII
// letters without regard to case, and one trailing backslash ignored
// (C:\X\ and c:\x are the same folder). Empty texts name no folder.
bool SameFolder(const char* a, const char* b);

// True when path names a place independently of the current folder: a
// drive root (a letter, a colon and a backslash) or a network share
// (\\server\share). An empty path, a bare name, C:name or \name is not.
bool IsAbsolutePath(const char* path);

// True when folder is the product's own: the folder recorded by an earlier
// installation (empty when none) or the default folder. Only such a folder
// is emptied before the files are written; any other existing folder may
// hold the user's data.
bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder);
