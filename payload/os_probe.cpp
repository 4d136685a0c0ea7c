#include "payload/os_class.h"

#include "common/session.h"
#include "common/windows_version.h"

bool GetOsClass(OsClass* osClass)
{
    // The true version, also where a compatibility mode reports another:
    // the programs installed run without that mode, on the system as it is.
    WindowsVersion version;
    bool read = ReadWindowsVersion(&version);
    *osClass = ClassifyWindowsVersion(version.platformId, version.major, version.minor);
    return read;
}

bool DecideOsClass(OsClass* osClass)
{
    if (!g_session.osClassKnown && (GetOsClass(&g_session.osClass) || GetOsClass(&g_session.osClass)))
        g_session.osClassKnown = 1;
    *osClass = g_session.osClass;
    return g_session.osClassKnown != 0;
}
