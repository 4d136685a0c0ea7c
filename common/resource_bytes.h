#pragma once
// The bytes of one of the program's own resources. Platform code.
#include <stdint.h>

#include "common/win32.h"

// The bytes and size of the resource name of the given type (RT_RCDATA,
// RT_BITMAP) in module; null, with *size 0, when it cannot be found or
// loaded. The bytes live as long as the module.
const uint8_t* LoadResourceBytes(HINSTANCE module, LPCSTR name, LPCSTR type, DWORD* size);
