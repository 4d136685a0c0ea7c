#pragma once
// The product's default program folder, and which existing program folder
// the installation run may empty. Portable.
#include <stddef.h>

// The parent of the default folder where the system names no usable program
// folder of its own.
#define FIXED_PARENT_FOLDER "C:\\Program Files\\Novla\\"
// The maker's folder below the system's program folder.
#define MAKER_FOLDER "Novla"

// The folder proposed when no earlier installation recorded one: the
// system's program folder (programFiles, as Windows names it in the
// registry's ProgramFilesDir; may be empty) joined with MAKER_FOLDER and
// product. Where programFiles is not a plain drive-rooted folder
// (IsPlainFolder, in common/path_walk.h; one trailing backslash allowed) or
// the joined folder does not fit in capacity: FIXED_PARENT_FOLDER joined
// with product. False (out empty) when not even that fits.
bool DefaultProgramFolder(char* out, size_t capacity, const char* programFiles, const char* product);

// True when folder is the product's own: the folder recorded by an earlier
// installation (empty when none) or the default folder (SameFolder, in
// common/path_walk.h). Only such a folder is emptied before the files are
// written; any other existing folder may hold the user's data.
bool IsProductFolder(const char* folder, const char* recorded, const char* defaultFolder);
