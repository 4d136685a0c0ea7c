// The C library functions the installer's and the uninstaller's code call,
// named once by an object built without link-time optimisation. The linker
// faults (it crashes) when a function of msvcrt.dll is called only by
// optimised objects, from two or more of them, in a program without the
// runtime's start-up code: looking the function up again after the
// optimisation goes wrong. Named here, each is found on the first pass. A
// function added to either program that the linker then crashes on belongs
// in this list. Nothing here is called, and the linker drops this table
// again.
#include <stdlib.h>
#include <string.h>

extern "C" const void* const g_runtimeImports[] = {
    (const void*)memcpy, (const void*)memmove, (const void*)memset,  (const void*)memcmp, (const void*)strlen,
    (const void*)strchr, (const void*)strrchr, (const void*)strcmp,  (const void*)malloc, (const void*)free,
};
