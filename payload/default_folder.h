#pragma once
// The registry texts the installer proposes its program folder from
// (payload/default_folder.cpp). Each reads a text terminated within
// capacity.
#include "common/win32.h"

// False, out empty, when the value cannot be read or does not fit.
bool ReadRegistryText(HKEY root, const char* keyName, const char* valueName, char* out, DWORD capacity);
// The folder an earlier installation recorded; false when none.
bool ReadInstallPath(char* out, DWORD capacity);
// The default folder (payload/install_folder.h) below the folder Windows
// names for programs.
void ReadDefaultProgramFolder(char* out, DWORD capacity);
