// Test helper: a library planted beside a copy of the installer or the
// uninstaller under the name of a system library that loads by name once
// the program runs (built as uxtheme.dll and msimg32.dll). It exports
// nothing; loading it at all is what a test looks for, by the marker file
// its entry writes, which names the library that ran.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(self, path, sizeof path);
        HANDLE marker = CreateFileA("C:\\planted-library-loaded.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (marker != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(marker, path, length < sizeof path ? length : 0, &written, NULL);
            CloseHandle(marker);
        }
    }
    return TRUE;
}
