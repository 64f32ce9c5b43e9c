#include "DocumentFixture.h"

#include "engine/layers/LayerImage.h"
#include "platform/HeapRelease.h"
#include "support/LayerPictures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

int64_t ResidentBytes()
{
    int64_t total = 0;
    int64_t pages = -1;
    std::ifstream("/proc/self/statm") >> total >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

// Gives the document count painted side x side layers.
void AddPictures(Document& document, int count, int side)
{
    for (int i = 0; i < count; ++i)
        PictureLayer(Filled(side, side, qRgba(10 * i, 20, 30, 255)), LayerFlagsFace).release()->LinkBefore(&document.layers);
}

// Exit codes of the child process that runs the check.
enum Outcome { Released = 0, TrimmedOnTheUsersPath = 1, KeptAfterThePause = 2 };

// In a process of its own, as the program runs: a closed project's large picture (which raises the C
// library's threshold for blocks mapped on their own, so the next pictures come from the heap), then a
// project of 24 pictures closed beneath a block still in use.
[[noreturn]] void CloseProjectsAndWatchTheMemory(Document& document)
{
    AddPictures(document, 1, 1024);
    document.DeleteContents();
    AddPictures(document, 24, 512);  // some 42 MiB of working pictures and colours
    // The next project's first layer, above them in the heap.
    const std::unique_ptr<LayerImage> next = PictureLayer(Filled(8, 8, qRgba(1, 2, 3, 255)), LayerFlagsFace);
    const int64_t held = ResidentBytes();
    document.DeleteContents();
    const int64_t afterFree = ResidentBytes();
    constexpr int64_t Pictures = 24 * 512 * 512 * 7;  // 4 bytes working, 3 colour
    if (held - afterFree > Pictures / 4) {
        std::fprintf(stderr, "trimmed at once: %lld bytes\n", static_cast<long long>(held - afterFree));
        std::_Exit(TrimmedOnTheUsersPath);
    }
    QElapsedTimer waited;
    waited.start();
    while (held - ResidentBytes() < Pictures * 3 / 4 && waited.elapsed() < 10 * platform::IdleReleaseDelayMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const int64_t released = held - ResidentBytes();
    if (released < Pictures * 3 / 4) {
        std::fprintf(stderr, "released %lld of %lld bytes\n", static_cast<long long>(released),
                     static_cast<long long>(Pictures));
        std::_Exit(KeptAfterThePause);
    }
    std::_Exit(Released);
}

class DocumentHeapTest : public DocumentTest {};

// Trimming the heap as a document's contents were freed made the next project's pictures fault in fresh
// pages (start-up with a project 1.11 to 1.14 times as long): the freed pictures now stay for the next
// document to reuse, and go back to the system once the program pauses. Run in a process of its own,
// so the heap of the other tests neither disturbs the measure nor is disturbed.
TEST_F(DocumentHeapTest, RegressionAClosedProjectsPicturesGoBackToTheSystemOnceTheProgramPauses)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CloseProjectsAndWatchTheMemory(document), ::testing::ExitedWithCode(Released), "");
}

} // namespace
