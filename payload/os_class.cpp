#include "payload/os_class.h"

#include "common/win32.h"
#include "setup/session.h"

bool GetOsClass(OsClass* osClass)
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    *osClass = OS_CLASS_WIN9X;
    if (!GetVersionExA(&version))
        return false;
    *osClass = ClassifyWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    return true;
}

bool DecideOsClass(OsClass* osClass)
{
    if (!g_session.osClassKnown && (GetOsClass(&g_session.osClass) || GetOsClass(&g_session.osClass)))
        g_session.osClassKnown = 1;
    *osClass = g_session.osClass;
    return g_session.osClassKnown != 0;
}
