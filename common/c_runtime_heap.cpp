// malloc and free of the shipped programs: blocks of the process heap,
// which every Windows has (common/c_runtime.h says why the programs carry
// these). The banner code is their only caller (banner/banner_memory.cpp).
#include <stddef.h>

#include "common/win32.h"

extern "C" void* malloc(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

extern "C" void free(void* block)
{
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}
