#include "platform/HeapRelease.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

#if defined(__GLIBC__)
// The heap arenas the C library has made so far, by its own report.
int HeapArenas()
{
    char* report = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&report, &size);
    if (!stream)
        return -1;
    malloc_info(0, stream);
    std::fclose(stream);
    int arenas = 0;
    for (const char* at = std::strstr(report, "<heap nr="); at; at = std::strstr(at + 1, "<heap nr="))
        ++arenas;
    std::free(report);
    return arenas;
}

// Threads that allocate at the same time no longer make an arena each, whose freed memory each would keep.
TEST(HeapRelease, RegressionThreadsThatAllocateAtOnceShareTwoArenas)
{
    platform::LimitHeapGrowth();
    constexpr int Threads = 6;
    const int before = HeapArenas();
    std::mutex lock;
    std::condition_variable changed;
    int allocated = 0;
    int arenas = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < Threads; ++i) {
        threads.emplace_back([&] {
            void* volatile block = std::malloc(4096);  // volatile: the pair is not optimised away
            std::unique_lock<std::mutex> held(lock);
            ++allocated;
            changed.notify_all();
            // Every thread keeps its block until all have allocated, so none can hand an arena on.
            changed.wait(held, [&] { return allocated == Threads && arenas != 0; });
            held.unlock();
            std::free(block);
        });
    }
    {
        std::unique_lock<std::mutex> held(lock);
        changed.wait(held, [&] { return allocated == Threads; });
        arenas = HeapArenas();
        changed.notify_all();
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_LE(arenas, std::max(before, 2));
}

// Resident bytes of this process.
int64_t ResidentBytes()
{
    long total = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return -1;
    const int read = std::fscanf(statm, "%ld %ld", &total, &resident);
    std::fclose(statm);
    return read == 2 ? static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE) : -1;
}

// A freed picture that was mapped on its own raises the threshold for mapping, so the pictures after it
// live in the heap; freed beneath a block still in use, they stay resident until the heap is trimmed.
TEST(HeapRelease, FreedPicturesInTheHeapGoBackToTheSystem)
{
    constexpr size_t LargeBytes = 4 * 1024 * 1024;
    constexpr size_t PictureBytes = 640 * 1024;  // 400 x 400, 32 bits
    constexpr int Pictures = 48;                 // 30 MiB
    void* volatile large = std::malloc(LargeBytes);  // volatile: the pair is not optimised away
    std::free(large);
    std::vector<void*> pictures;
    for (int i = 0; i < Pictures; ++i) {
        pictures.push_back(std::malloc(PictureBytes));
        ASSERT_NE(pictures.back(), nullptr);
        std::memset(pictures.back(), 1, PictureBytes);
    }
    // Large enough that no free chunk below the pictures serves it: it lies above them.
    void* stillInUse = std::malloc(PictureBytes);
    ASSERT_NE(stillInUse, nullptr);
    for (void* picture : pictures)
        std::free(picture);
    const int64_t freed = ResidentBytes();
    platform::ReleaseFreedHeap();
    const int64_t released = freed - ResidentBytes();
    std::free(stillInUse);
    EXPECT_GT(released, static_cast<int64_t>(PictureBytes) * Pictures * 3 / 4);
}
#endif

} // namespace
