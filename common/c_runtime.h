#pragma once
// The C library's memory and text functions that the installer's and the
// uninstaller's code, and the compiler's own code (structure copies and
// clears), call: the programs carry them, so that nothing they ship needs a
// C runtime DLL, which Windows 95 does not have. Each reads and writes only
// the bytes its arguments name (count bytes, or a text up to its NUL), as
// the C library defines it. Portable.
//
// In the programs (NOVLA_C_RUNTIME_NAMES) the functions carry the C
// library's own names; elsewhere they carry the prefix novla_, so that the
// host tests compare them with the C library they would otherwise replace.
// The heap (malloc and free) comes from the system (common/c_runtime_heap.cpp).
#include <stddef.h>

#if defined(NOVLA_C_RUNTIME_NAMES)
#define NOVLA_CRT(name) name
#else
#define NOVLA_CRT(name) novla_##name
#endif

extern "C" {
// Copies count bytes; the two blocks must not overlap. Returns to.
void* NOVLA_CRT(memcpy)(void* to, const void* from, size_t count);
// Copies count bytes as if through a buffer: the blocks may overlap.
// Returns to.
void* NOVLA_CRT(memmove)(void* to, const void* from, size_t count);
// Sets count bytes to (unsigned char)value. Returns to.
void* NOVLA_CRT(memset)(void* to, int value, size_t count);
// Compares count bytes as unsigned char: negative, 0 or positive.
int NOVLA_CRT(memcmp)(const void* a, const void* b, size_t count);
// The number of bytes before the text's NUL.
size_t NOVLA_CRT(strlen)(const char* text);
// The first (strchr) or last (strrchr) byte equal to (char)c, the NUL
// included (c 0 finds the NUL); null when there is none.
char* NOVLA_CRT(strchr)(const char* text, int c);
char* NOVLA_CRT(strrchr)(const char* text, int c);
// Compares two texts byte by byte as unsigned char: negative, 0 or
// positive.
int NOVLA_CRT(strcmp)(const char* a, const char* b);
}
