#pragma once
// The Windows generation: which of a program's two builds is installed,
// told from the version the system reports (os_class.cpp, portable) and
// asked of the system (os_probe.cpp). Both programs go by it: the installer
// picks its rows, the uninstaller how the system finishes a removal at the
// restart. Portable.
#include <stdint.h>

typedef uint8_t OsClass;
enum : OsClass {
    OS_CLASS_WIN9X = 0,  // Windows 95, 98, ME (not the NT platform)
    OS_CLASS_NT = 1,     // NT 4 and 2000: the legacy builds too
    OS_CLASS_XP = 2,     // NT 5.1 and 5.2 (XP, XP x64, Server 2003)
    OS_CLASS_VISTA = 3,  // NT 6.0 and every later version
};
enum { PLATFORM_WIN32_NT = 2 };

// The class for a version record's platform id, major and minor version.
OsClass ClassifyWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor);

// The Windows-generation probe: asks the system anew at each call. False
// when the version query fails; *osClass is then class 0, as a failed query
// gives, and is not to be installed by (DecideOsClass asks again).
bool GetOsClass(OsClass* osClass);

// The generation the installation goes by, decided once per process: the
// files-in-use probe, the shortcut scope, the required space and the files
// written all see the same answer. The first call asks the system, and asks
// again when the query fails; false when it fails both times (the
// generation is then unknown and nothing may be installed).
bool DecideOsClass(OsClass* osClass);
