// The version probe of common/windows_version.h.
#include "common/windows_version.h"

// ntdll's RtlGetVersion: 0 (STATUS_SUCCESS) when it filled the record.
typedef LONG(WINAPI* ReadTrueVersion)(RTL_OSVERSIONINFOW* version);

bool ReadWindowsVersion(WindowsVersion* version)
{
    OSVERSIONINFOA reported;
    ZeroMemory(&reported, sizeof reported);
    ZeroMemory(version, sizeof *version);
    reported.dwOSVersionInfoSize = sizeof reported;
    if (!GetVersionExA(&reported))
        return false;
    version->platformId = reported.dwPlatformId;
    version->major = reported.dwMajorVersion;
    version->minor = reported.dwMinorVersion;
    // The compatibility modes of XP to 10 ("Windows 95", "Windows 98 / Me"
    // and later ones) change what kernel32's GetVersionExA reports, not
    // ntdll's RtlGetVersion, which every NT system from 2000 on exports.
    // Windows 95 to ME and NT 4 have neither the modes nor the function:
    // there the reported version is the true one. ntdll being loaded says
    // nothing by itself (Wine loads it in its 9x modes too); only the
    // function's answer counts.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    ReadTrueVersion readTrue = ntdll ? (ReadTrueVersion)(void*)GetProcAddress(ntdll, "RtlGetVersion") : NULL;
    RTL_OSVERSIONINFOW actual;
    ZeroMemory(&actual, sizeof actual);
    actual.dwOSVersionInfoSize = sizeof actual;
    if (readTrue != NULL && readTrue(&actual) == 0) {
        version->platformId = actual.dwPlatformId;
        version->major = actual.dwMajorVersion;
        version->minor = actual.dwMinorVersion;
    }
    return true;
}
