#include "payload/os_class.h"

OsClass ClassifyWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor)
{
    if (platformId != PLATFORM_WIN32_NT)
        return OS_CLASS_WIN9X;
    // The modern builds are for NT from XP on. Windows 8.1 and 10 report
    // 6.2 to a program without a compatibility manifest, which is still
    // 6.0 or later.
    if (major < 5 || (major == 5 && minor == 0))
        return OS_CLASS_NT;
    return major == 5 ? OS_CLASS_XP : OS_CLASS_VISTA;
}
