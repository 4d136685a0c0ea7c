// Stand-in for TSXCtxMenu.dll, the Explorer context-menu extension: a DLL
// that loads and answers the two COM entry points a shell extension exports,
// offering no class, so Explorer passes over it without harm.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
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
