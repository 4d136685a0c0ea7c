// Heap blocks of the banner code, with the allocation-failure hook of the
// tests. The installer has one thread, so plain statics suffice.
#include "banner/banner_memory.h"

#include <stdlib.h>

static unsigned s_failAt;
static unsigned s_count;

void* BannerAllocate(size_t bytes)
{
    ++s_count;
    if (s_failAt != 0 && s_count == s_failAt)
        return NULL;
    return malloc(bytes ? bytes : 1);
}

void BannerRelease(void* block)
{
    free(block);
}

void BannerFailAllocation(unsigned n)
{
    s_failAt = n;
    s_count = 0;
}

unsigned BannerAllocationCount()
{
    return s_count;
}
