// Stand-in for TSXCtxMenu.dll, the Explorer context-menu extension: a DLL
// that loads and answers the two COM entry points a shell extension exports,
// offering no class, so Explorer passes over it without harm.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" {

// The library's entry point, under the name the linker looks for: without
// the runtime's start-up code (which would import the C runtime DLL), the
// system calls it directly.
BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID)
{
    // Explorer starts and ends threads all the time; the extension keeps
    // nothing per thread.
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(const void*, const void*, void** object)
{
    if (object)
        *object = NULL;
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow(void)
{
    return S_OK;
}

}  // extern "C"
