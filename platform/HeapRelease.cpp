#include "platform/HeapRelease.h"

#include <cstdlib>  // defines __GLIBC__ with the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

constexpr int MaxArenas = 2;

} // namespace

void LimitHeapGrowth()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, MaxArenas);
#endif
}

void ReleaseFreedHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace platform
