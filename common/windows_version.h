#pragma once
// The version of the running Windows as it is, not as a compatibility mode
// reports it: the one probe that both the installer (the generation it
// installs, the shortcut scope, the restart removals of an abort) and the
// uninstaller (the restart removals, the administrator check) go by.
// Platform code.
#include "common/win32.h"

struct WindowsVersion {
    DWORD platformId;  // VER_PLATFORM_WIN32_NT on the NT family
    DWORD major;
    DWORD minor;
};

// False when the system cannot say (GetVersionExA fails); *version is then
// all zero, which is no NT system.
bool ReadWindowsVersion(WindowsVersion* version);
