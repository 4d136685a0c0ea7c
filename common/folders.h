#pragma once
// Folder helpers of the installation run: existence, creation of a folder
// chain, the emptying of a folder tree, and the shell's special folders.
// Platform code (Win32 file and shell calls).
#include <stddef.h>

#include "common/win32.h"

// True when a file or a folder of that path exists (any failure counts as
// absence).
bool PathExists(const char* path);

// True when a file (not a folder) stands at path.
bool FileExistsAt(const char* path);

// Creates path with every missing parent, shortest first; the drive root is
// never created. Returns the result of the last CreateDirectoryA made, or
// true when none was needed. Only a drive-rooted path (X:\...) of at most
// 259 characters is created: any other (UNC, relative, empty, too long)
// creates nothing and returns false, so no folder ever lands relative to
// the current directory. beforeCreate, when given, is asked first for each
// folder about to be created; a folder it refuses is not created (nor,
// then, the folders below it).
bool CreateFolderChain(const char* path, bool (*beforeCreate)(const char* folder) = 0);

// The file-system path of a special folder (a CSIDL value) into out,
// bounded by capacity; empty when the shell cannot name the folder, names
// no file-system path for it, or one that is not absolute (nothing may land
// relative to the current folder) or does not fit.
void SpecialFolderPath(char* out, size_t capacity, int csidl);

// The Windows or System folder (query: GetWindowsDirectoryA or
// GetSystemDirectoryA) into out, which holds PATH_CAPACITY bytes; empty
// when the system cannot give it or it does not fit.
void SystemFolderPath(char* out, UINT(WINAPI* query)(LPSTR, UINT));

// Called by WalkFolder for each entry: its joined path and its find record.
// False stops the walk.
typedef bool (*FolderVisitor)(const char* path, const WIN32_FIND_DATAA* entry, void* context);

// Lists folder ("*.*" in it), calling visit for each entry but "." and ".."
// until visit returns false. An entry whose joined path would not fit 260
// characters is passed over: a cut path could name some other file. False
// when the folder cannot be listed; GetLastError then says why
// (ERROR_FILE_NOT_FOUND: there is nothing in it at all, as in an empty
// drive root).
bool WalkFolder(const char* folder, FolderVisitor visit, void* context);

// Deletes every file below folder, at every depth, read-only, hidden and
// system files included; folders stay. Folders whose names begin with a dot
// are not entered, nor are links (reparse points) to folders elsewhere. An
// entry whose joined path would not fit 260 characters is skipped. False
// only when folder itself cannot be listed.
bool ClearFolder(const char* folder);

// Moves every file below from, at every depth, by renaming to the same
// place below to (both on one volume: nothing is copied, so no space is
// needed), making to's folders as their first file comes. The entries
// ClearFolder passes over stay where they are, and from's folders stay.
// back: putting files back over what a run wrote there, a file at the
// destination is replaced, and each folder of from that is left empty is
// removed, from itself too; otherwise a file at the destination stops that
// file's move. A file that cannot be moved stays. to null: nothing moves.
// Returns how many files are left below from.
unsigned MoveFolderFiles(const char* from, const char* to, bool back);
