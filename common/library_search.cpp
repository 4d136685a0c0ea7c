#include "common/library_search.h"

#include "common/win32.h"

// Not in every SDK's headers: the System folder alone.
#define SEARCH_SYSTEM32_ONLY 0x00000800

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFn)(LPCSTR);

void RestrictLibrarySearch()
{
    // kernel32 is in every process before its entry runs: looking it up
    // loads nothing.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == NULL)
        return;
    // Through void*: a function pointer of another type, on purpose.
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)(void*)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault != NULL && GUARDED_CALL("SetDefaultDllDirectories", FALSE, setDefault(SEARCH_SYSTEM32_ONLY)))
        return;
    SetDllDirectoryFn setDirectory = (SetDllDirectoryFn)(void*)GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDirectory != NULL)
        setDirectory("");
}
