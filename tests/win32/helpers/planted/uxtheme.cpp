// Test helper: a library planted beside a copy of the installer under the
// name of a system library the common controls load (uxtheme.dll). It
// exports nothing; loading it at all is what a test looks for, by the
// marker file its entry writes.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE marker = CreateFileA("C:\\planted-library-loaded.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (marker != INVALID_HANDLE_VALUE)
            CloseHandle(marker);
    }
    return TRUE;
}
