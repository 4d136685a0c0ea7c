#pragma once
// The system's handle of a RegistryRoot (record/registry_names.h), for the
// programs that write and undo the product's keys. Platform code.
#include "common/win32.h"
#include "record/registry_names.h"

inline HKEY RootKeyOf(uint8_t root) { return root == REGISTRY_HKLM ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT; }
