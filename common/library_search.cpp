#include "common/library_search.h"

#include "common/folders.h"
#include "common/path_text.h"
#include "common/win32.h"

// Not in every SDK's headers: the System folder alone.
#define SEARCH_SYSTEM32_ONLY 0x00000800

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFn)(LPCSTR);

// The system libraries that the installer and the uninstaller, and the
// shell, the common controls and COM on their behalf, load by name once the
// process runs (not those the programs import, which the loader has mapped
// before the entry): the visual styles and what they draw with (uxtheme,
// dwmapi, msimg32), the input methods (imm32), accessibility (oleacc), the
// shell's link and property code (linkinfo, ntshrui, propsys, apphelp) and
// COM's class catalog and the security helpers it calls (clbcatq, cryptbase,
// userenv, version). A name missing from a version's System folder is
// simply not loaded there. Dependencies before the libraries that load them.
static const char kLateLibraries[] = "msimg32\0dwmapi\0uxtheme\0imm32\0oleacc\0version\0userenv\0cryptbase\0"
                                     "apphelp\0clbcatq\0propsys\0linkinfo\0ntshrui\0";

// Loads each library of names (each ended by a terminator, the list by an
// empty name) by its full path in the System folder system. Its own
// imports are looked for beside it first (LOAD_WITH_ALTERED_SEARCH_PATH).
static void LoadEach(const char* system, const char* names)
{
    char path[PATH_CAPACITY];
    for (const char* name = names; *name != '\0'; name += TextLength(name, PATH_CAPACITY) + 1)
        if (FormatText(path, sizeof path, "%s\\%s.dll", system, name))
            LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Where the search cannot be restricted, the libraries of kLateLibraries
// are loaded from the System folder before anything loads them by name: a
// later load by name then finds each in the process already and never
// looks in the program's own folder, which the search of these versions
// always asks first. No error box for a library that cannot be loaded.
static void LoadLateLibrariesFromSystemFolder(HMODULE kernel)
{
    char system[PATH_CAPACITY];
    SystemFolderPath(system, GetSystemDirectoryA);
    if (system[0] == '\0')
        return;
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The common controls too where no activation context can name them
    // (Windows 95 to ME, NT 4, 2000): from XP on, the manifest's dependency
    // takes them from the side-by-side store, never from beside the program.
    if (GetProcAddress(kernel, "CreateActCtxA") == NULL)
        LoadEach(system, "comctl32\0");
    LoadEach(system, kLateLibraries);
    SetErrorMode(errorMode);
}

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
    LoadLateLibrariesFromSystemFolder(kernel);
}
