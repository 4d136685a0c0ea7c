#pragma once
// Heap blocks of the banner code (pixel blocks, index buffers, accumulators).
// One place for them so a test can make any one allocation fail.
#include <stddef.h>

// A block of `bytes` bytes (contents undefined), or null when it cannot be
// had. Never fails for want of a test; see BannerFailAllocation.
void* BannerAllocate(size_t bytes);
// Releases a block from BannerAllocate; null is ignored.
void BannerRelease(void* block);

// For tests: the nth allocation from now (counted from 1) returns null;
// 0 disarms. Returns nothing; BannerAllocationCount tells how many
// allocations were asked for since the last call.
void BannerFailAllocation(unsigned n);
unsigned BannerAllocationCount();
