// The memory and text functions of common/c_runtime.h. Built without the
// compiler's knowledge of these names (-ffreestanding), so that it never
// turns one of these loops into a call of the function itself.
#include "common/c_runtime.h"

typedef unsigned char Byte;

void* NOVLA_CRT(memcpy)(void* to, const void* from, size_t count)
{
    Byte* out = (Byte*)to;
    const Byte* in = (const Byte*)from;
    while (count-- > 0)
        *out++ = *in++;
    return to;
}

void* NOVLA_CRT(memmove)(void* to, const void* from, size_t count)
{
    Byte* out = (Byte*)to;
    const Byte* in = (const Byte*)from;
    // A destination above the source is copied from the end, so that no
    // byte is overwritten before it is read.
    if (out > in && out < in + count) {
        while (count-- > 0)
            out[count] = in[count];
    } else {
        while (count-- > 0)
            *out++ = *in++;
    }
    return to;
}

void* NOVLA_CRT(memset)(void* to, int value, size_t count)
{
    Byte* out = (Byte*)to;
    while (count-- > 0)
        *out++ = (Byte)value;
    return to;
}

int NOVLA_CRT(memcmp)(const void* a, const void* b, size_t count)
{
    const Byte* p = (const Byte*)a;
    const Byte* q = (const Byte*)b;
    for (; count > 0; --count, ++p, ++q) {
        if (*p != *q)
            return *p - *q;
    }
    return 0;
}

size_t NOVLA_CRT(strlen)(const char* text)
{
    const char* end = text;
    while (*end != '\0')
        ++end;
    return (size_t)(end - text);
}

char* NOVLA_CRT(strchr)(const char* text, int c)
{
    for (;; ++text) {
        if (*text == (char)c)
            return (char*)text;
        if (*text == '\0')
            return 0;
    }
}

char* NOVLA_CRT(strrchr)(const char* text, int c)
{
    const char* last = 0;
    for (;; ++text) {
        if (*text == (char)c)
            last = text;
        if (*text == '\0')
            return (char*)last;
    }
}

int NOVLA_CRT(strcmp)(const char* a, const char* b)
{
    const Byte* p = (const Byte*)a;
    const Byte* q = (const Byte*)b;
    while (*p != '\0' && *p == *q) {
        ++p;
        ++q;
    }
    return *p - *q;
}
