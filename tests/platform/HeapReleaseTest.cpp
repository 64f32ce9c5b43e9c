#include "platform/HeapRelease.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <latch>
#include <thread>
#include <unistd.h>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>

namespace {

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
    // Every thread keeps its block until the arenas are counted, so none can hand an arena on.
    std::latch allocated(Threads);
    std::latch counted(1);
    std::vector<std::jthread> threads;
    for (int i = 0; i < Threads; ++i) {
        threads.emplace_back([&] {
            void* volatile block = std::malloc(4096);  // volatile: the pair is not optimised away
            allocated.count_down();
            counted.wait();
            std::free(block);
        });
    }
    allocated.wait();
    const int arenas = HeapArenas();
    counted.count_down();
    EXPECT_LE(arenas, std::max(before, 2));
}

int64_t ResidentBytes()
{
    int64_t total = 0;
    int64_t pages = -1;
    std::ifstream("/proc/self/statm") >> total >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

// A freed picture that was mapped on its own raises the threshold for mapping, so the pictures after it
// live in the heap; freed beneath a block still in use, they stay resident until the heap is trimmed.
TEST(HeapRelease, FreedPicturesInTheHeapGoBackToTheSystem)
{
    constexpr size_t PictureBytes = 640 * 1024;  // 400 x 400, 32 bits
    constexpr int Pictures = 48;                 // 30 MiB
    void* volatile large = std::malloc(4 * 1024 * 1024);  // volatile: the pair is not optimised away
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

} // namespace
#endif
