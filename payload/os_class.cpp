#include "payload/os_class.h"

#include "common/win32.h"
#include "setup/session.h"

// One version query: false when the system does not answer.
static bool QueryOsClass(OsClass* osClass)
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return false;
    *osClass = ClassifyWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    return true;
}

OsClass GetOsClass()
{
    // A failed query leaves class 0.
    OsClass osClass = OS_CLASS_WIN9X;
    QueryOsClass(&osClass);
    return osClass;
}

bool DecideOsClass(OsClass* osClass)
{
    if (!g_session.osClassKnown && (QueryOsClass(&g_session.osClass) || QueryOsClass(&g_session.osClass)))
        g_session.osClassKnown = 1;
    *osClass = g_session.osClass;
    return g_session.osClassKnown != 0;
}
