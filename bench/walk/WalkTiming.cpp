// The wizard walked as a person walks it, in the real program (tests/walk's driver), timing each step:
// start-up with an empty and with a full cache, each content choice with a cold and a warm cache, the
// dialogs, each save and the send, and the project opened again; then the process's peak memory.
//
//   smg_walk_timing [runs]     (default 5; QT_QPA_PLATFORM=offscreen is set here)
//
// Each run makes a new sample library on its own port and a new, empty data folder. A step's time is the
// wall time from the person's action to the program having done it (content downloaded and shown, file
// written), events processed as they come; nothing waits for a clock.
#include "WizardWalk.h"

#include "support/TestFiles.h"

#include "engine/base/Angle.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "platform/HeapRelease.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QMessageBox>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Step name -> one time per run, in milliseconds; names keep the order they were first timed in.
class Timings {
public:
    // Runs the step and keeps its time; false (and a line on stderr) when it did not get there.
    bool Time(const std::string& name, const std::function<bool()>& step)
    {
        const Clock::time_point start = Clock::now();
        const bool ok = step();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (!ok) {
            std::fprintf(stderr, "step failed: %s\n", name.c_str());
            return false;
        }
        if (!m_times.count(name))
            m_order.push_back(name);
        m_times[name].push_back(ms);
        return true;
    }

    void Print() const
    {
        std::printf("%-44s %5s %9s %9s %9s\n", "step", "runs", "median", "min", "max");
        for (const std::string& name : m_order) {
            std::vector<double> t = m_times.at(name);
            std::sort(t.begin(), t.end());
            std::printf("%-44s %5zu %7.1fms %7.1fms %7.1fms\n", name.c_str(), t.size(), t[t.size() / 2], t.front(),
                        t.back());
        }
    }

private:
    std::vector<std::string> m_order;
    std::map<std::string, std::vector<double>> m_times;
};

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// After each run, where the process's memory is: resident, and the C library's heap in use, free in it,
// and in blocks mapped on their own (zeros where the C library is not glibc).
void PrintMemory(int run)
{
    long total = 0;
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &total, &pages) != 2)
            pages = 0;
        std::fclose(statm);
    }
    size_t inUse = 0;
    size_t freeInHeap = 0;
    size_t mapped = 0;
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    inUse = info.uordblks;
    freeInHeap = info.fordblks;
    mapped = info.hblkhd;
#endif
    constexpr double MiB = 1024.0 * 1024.0;
    std::printf("after run %2d: resident %6.1f MiB, heap in use %6.1f MiB, free in heap %6.1f MiB, mapped %6.1f MiB, "
                "peak %6.1f MiB\n",
                run, static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE)) / MiB,
                static_cast<double>(inUse) / MiB, static_cast<double>(freeInHeap) / MiB,
                static_cast<double>(mapped) / MiB, static_cast<double>(PeakRssKiB()) / 1024.0);
}


// A saved project's bytes, and what they would be with every PNG in it written by Qt's PNG writer at its
// default (decoded and encoded again: the same pixels). Zeros when the file cannot be read.
struct ProjectBytes {
    qint64 file = 0;
    qint64 withQtWriter = 0;
};

ProjectBytes MeasureProject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    const QByteArray end("IEND\xae\x42\x60\x82", 8);
    ProjectBytes measured{bytes.size(), bytes.size()};
    for (qsizetype at = bytes.indexOf(signature); at >= 0; at = bytes.indexOf(signature, at + 1)) {
        const qsizetype stop = bytes.indexOf(end, at);
        if (stop < 0)
            return {};
        const QByteArray png = bytes.mid(at, stop + end.size() - at);
        QByteArray again;
        QBuffer buffer(&again);
        buffer.open(QIODevice::WriteOnly);
        if (!QImageWriter(&buffer, "png").write(QImage::fromData(png, "PNG")))
            return {};
        measured.withQtWriter += again.size() - png.size();
    }
    return measured;
}

// The content half of the walk: a scene, a face of our own, two accessories and a bubble with its text,
// with the steps between; cache names the cache's state in the step names.
bool ChooseContent(WizardWalk& walk, Timings& timings, const std::string& cache)
{
    return timings.Time("Start (Next Step at 0)", [&] { return walk.PressNextStep(StepChooseScene); }) &&
           timings.Time("choose scene, " + cache, [&] { return walk.ChooseScene(0); }) &&
           timings.Time("choose own face (file dialog)", [&] { return walk.ChooseOwnFace(DataFile("rocket.jpg")); }) &&
           timings.Time("Next Step to crop", [&] { return walk.PressNextStep(StepSelectFace); }) &&
           timings.Time("crop drag", [&] { return walk.DragCropCorner({-100, -60}); }) &&
           timings.Time("Next Step to outline", [&] { return walk.PressNextStep(StepOutlineFace); }) &&
           timings.Time("outline stroke", [&] { return walk.DragInView({60, 60}, {{180, 60}, {300, 60}}); }) &&
           timings.Time("Next Step to place", [&] { return walk.PressNextStep(StepPlaceFace); }) &&
           timings.Time("move drag", [&] { return walk.MoveSelectedLayer({40, 20}); }) &&
           timings.Time("Auto Adjust colour (dialog)", [&] { return walk.AutoAdjustColour(); }) &&
           timings.Time("Next Step to accessories", [&] { return walk.PressNextStep(StepAccessories); }) &&
           timings.Time("add accessory 1, " + cache, [&] { return walk.AddAccessory(0); }) &&
           timings.Time("add accessory 2, " + cache, [&] { return walk.AddAccessory(1); }) &&
           timings.Time("Next Step to bubbles", [&] { return walk.PressNextStep(StepBubble); }) &&
           timings.Time("add bubble, " + cache, [&] { return walk.AddBubble(0); }) &&
           timings.Time("edit bubble text (dialog)", [&] { return walk.EditBubbleText(QStringLiteral("Hello\nthere!")); }) &&
           timings.Time("Next Step to finish", [&] { return walk.PressNextStep(StepFinish); });
}

std::vector<ProjectBytes> g_projects;

bool RecordProject(const ProjectBytes& measured)
{
    if (measured.file == 0) {
        std::fprintf(stderr, "the saved project could not be measured\n");
        return false;
    }
    g_projects.push_back(measured);
    return true;
}

bool Run(Timings& timings)
{
    WizardWalk walk;
    const QString project = walk.Path(QStringLiteral("walk.smg"));
    bool ok = timings.Time("start-up, empty cache (3 index downloads)", [&] { return walk.Start(); }) &&
              ChooseContent(walk, timings, "cold cache") &&
              timings.Time("save picture (dialog, JPEG)", [&] { return walk.SavePicture(walk.Path(QStringLiteral("walk.jpg"))); }) &&
              timings.Time("save project (dialog)", [&] { return walk.SaveProject(project); }) &&
              RecordProject(MeasureProject(project)) &&
              timings.Time("send picture (dialog, JPEG, post)", [&] {
                  return walk.SendPicture({QStringLiteral("Ann"), QStringLiteral("ann@example.org"),
                                           QStringLiteral("Look"), QStringLiteral("bob@example.org")});
              }) &&
              timings.Time("File > Exit", [&] { return walk.Exit(); });
    walk.End();
    // The same content again: the cache holds the index files, the thumbnails and the content.
    // The warm walk's changes are not kept: Exit's question is answered No.
    walk.messageReply = QMessageBox::No;
    ok = ok && timings.Time("start-up, full cache", [&] { return walk.Start(); }) &&
         ChooseContent(walk, timings, "warm cache") && walk.Exit();
    walk.End();
    ok = ok && timings.Time("start-up with the project, content loaded", [&] {
        return walk.Start({project}) && WizardWalk::Settle(WizardWalk::AllLoaded) &&
               g_document->step == StepFinish;
    });
    walk.End();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    platform::LimitHeapGrowth();  // as the program's main does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitTrigTables();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Timings timings;
    long afterFirst = 0;
    for (int run = 0; run < runs; ++run) {
        if (!Run(timings))
            return 1;
        if (run == 0)
            afterFirst = PeakRssKiB();
        PrintMemory(run + 1);
    }
    timings.Print();
    for (const ProjectBytes& measured : g_projects) {
        std::printf("project file: %lld bytes, %lld with Qt's PNG writer (%.3f times)\n",
                    static_cast<long long>(measured.file), static_cast<long long>(measured.withQtWriter),
                    static_cast<double>(measured.file) / static_cast<double>(measured.withQtWriter));
    }
    std::printf("peak RSS: %ld KiB after the first run, %ld KiB after %d runs\n", afterFirst, PeakRssKiB(), runs);
    return 0;
}
