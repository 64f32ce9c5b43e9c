#include "platform/HeapRelease.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <latch>
#include <thread>
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

// The arenas after six threads have allocated at once, each keeping its block until they are counted
// (so none can hand an arena on to another).
int ArenasAfterSixThreadsAllocate()
{
    constexpr int Threads = 6;
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
    return arenas;
}

// In a process of its own, started as the program starts (the limit first, when asked) and then busy on
// six threads: exits 0 when the threads made new arenas beyond two exactly when not limited, and says
// what it counted otherwise. The limit stays in that process; the tests after it keep the C library's own.
[[noreturn]] void AllocateOnSixThreads(bool limited)
{
    if (limited)
        platform::LimitHeapGrowth();
    const int before = HeapArenas();
    const int after = ArenasAfterSixThreadsAllocate();
    const bool beyondTwo = after > std::max(before, 2);
    if (beyondTwo == limited || before < 1) {
        std::fprintf(stderr, "%d arenas before, %d after\n", before, after);
        std::_Exit(1);
    }
    std::_Exit(0);
}

// Each thread that allocated kept an arena of its own, and the memory freed into it. Limited as main
// limits it, six threads allocating at once share two; without the limit the same threads make more, so
// the count can tell the two apart.
TEST(HeapRelease, RegressionThreadsThatAllocateAtOnceShareTwoArenasOnceLimited)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(AllocateOnSixThreads(true), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(AllocateOnSixThreads(false), ::testing::ExitedWithCode(0), "");
}

} // namespace
#endif
