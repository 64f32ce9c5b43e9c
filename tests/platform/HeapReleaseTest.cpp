#include "platform/HeapRelease.h"

#include <cstdlib>
#include <gtest/gtest.h>

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
#endif

} // namespace
