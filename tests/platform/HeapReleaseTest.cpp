#include "platform/HeapRelease.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

#if defined(__GLIBC__)
// Blocks mapped on their own, by the C library's count.
size_t MappedBlocks()
{
    return mallinfo2().hblks;
}

// By default freeing a mapped 4 MiB picture raises the C library's mapping threshold to 4 MiB, and every
// smaller picture after it stays in the heap when freed. Limited, a picture of 1 MiB and up is mapped on
// its own whatever was freed before, and goes back to the system when freed.
TEST(HeapRelease, RegressionAFreedPictureNoLongerKeepsLaterPicturesInTheHeap)
{
    platform::LimitHeapGrowth();
    constexpr size_t Large = 4 * 1024 * 1024;
    constexpr size_t Picture = 3 * 1024 * 1024;  // 1024 x 768, 32 bits
    void* large = std::malloc(Large);
    ASSERT_NE(large, nullptr);
    std::free(large);
    const size_t before = MappedBlocks();
    void* picture = std::malloc(Picture);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(MappedBlocks(), before + 1);
    std::free(picture);
    EXPECT_EQ(MappedBlocks(), before);
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

// Pictures below the mapping threshold live in the heap; freed beneath a block still in use, they stay
// resident until the heap is trimmed.
TEST(HeapRelease, FreedPicturesInTheHeapGoBackToTheSystem)
{
    platform::LimitHeapGrowth();
    constexpr size_t PictureBytes = 640 * 1024;  // 400 x 400, 32 bits
    constexpr int Pictures = 48;                 // 30 MiB
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
