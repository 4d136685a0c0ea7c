#include "payload/os_class.h"

#include "common/win32.h"

OsClass GetOsClass()
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    // A failed query leaves the record zero: platform 0, class 0.
    GetVersionExA(&version);
    return ClassifyWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}
