#include "platform/HeapRelease.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>  // defines __GLIBC__ with the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

constexpr int MaxArenas = 2;
bool g_releasePending = false;  // the user's thread alone asks and serves

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

void ReleaseFreedHeapWhenIdle()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        ReleaseFreedHeap();
        return;
    }
    if (g_releasePending)
        return;
    g_releasePending = true;
    QTimer::singleShot(IdleReleaseDelayMs, application, [] {
        g_releasePending = false;
        ReleaseFreedHeap();
    });
}

} // namespace platform
