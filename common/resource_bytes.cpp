#include "common/resource_bytes.h"

const uint8_t* LoadResourceBytes(HINSTANCE module, LPCSTR name, LPCSTR type, DWORD* size)
{
    HRSRC found = FindResourceA(module, name, type);
    *size = found != NULL ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found != NULL ? LoadResource(module, found) : NULL;
    const uint8_t* bytes = loaded != NULL ? (const uint8_t*)LockResource(loaded) : NULL;
    if (bytes == NULL)
        *size = 0;
    return bytes;
}
