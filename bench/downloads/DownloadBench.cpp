// The download queue against a plain parallel fetch: 500 files of 20 KB from the loopback content server,
// once through the real queue ticked every 32 ms as the main frame ticks it, once with
// `curl --parallel --parallel-max 5` in the same run. The queue hands each worker at most one download per
// tick, so 500 files on five workers take at least 100 ticks: 3.2 s whatever the network does.
// Also the CPU time of one tick with no request.

#include "engine/base/TaskList.h"
#include "library/download/RequestManager.h"
#include "tools/contentserver/ContentServer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

namespace {

constexpr int FileCount = 500;
constexpr int FileSize = 20 * 1024;
constexpr auto TickPeriod = std::chrono::milliseconds(32);
constexpr int HandOffsPerTick = RequestManager::WorkerCount;

// The content tree and the server, made once for the whole run.
struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<ContentServer> server;

    Fixture()
    {
        const QString tree = dir.filePath(QStringLiteral("tree/Thumbs"));
        QDir().mkpath(tree);
        std::mt19937 random(7);
        QByteArray bytes(FileSize, '\0');
        for (int i = 0; i < FileCount; ++i) {
            for (char& byte : bytes)
                byte = static_cast<char>(random());
            QFile file(tree + QStringLiteral("/%1.jpg").arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(bytes);
        }
        ContentServer::Options options;
        options.root = dir.filePath(QStringLiteral("tree"));
        options.port = 0;
        server = std::make_unique<ContentServer>(options);
        server->Start();
    }

    std::string Url(int i) const { return server->BaseUrl() + "Thumbs/" + std::to_string(i) + ".jpg"; }

    // An empty cache folder for one round.
    QString FreshCache(const char* name) const
    {
        QDir cache(dir.filePath(QString::fromLatin1(name)));
        cache.removeRecursively();
        QDir().mkpath(cache.path());
        return cache.path() + QLatin1Char('/');
    }
};

double ThreadCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_QueueFetch500Ticked32ms(benchmark::State& state)
{
    Fixture& fixture = TheFixture();
    RequestManager manager;
    int64_t ticks = 0;
    double tickCpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString cache = fixture.FreshCache("queue");
        state.ResumeTiming();
        std::vector<int32_t> ids;
        for (int i = 0; i < FileCount; ++i)
            ids.push_back(manager.AddRequest(QString::fromStdString(fixture.Url(i)),
                                             cache + QStringLiteral("%1.jpg").arg(i), RequestPriorityContent, true,
                                             false));
        auto next = std::chrono::steady_clock::now();
        size_t finished = 0;
        while (finished < ids.size()) {
            next += TickPeriod;
            std::this_thread::sleep_until(next);
            const double before = ThreadCpuMicroseconds();
            RunTaskList();
            tickCpu += ThreadCpuMicroseconds() - before;
            ++ticks;
            while (finished < ids.size() && manager.Status(ids[finished]) >= RequestDone)
                ++finished;
        }
        for (int32_t id : ids) {
            if (manager.Status(id) != RequestDone)
                state.SkipWithError("a download failed");
        }
    }
    // What a busy tick costs the user-interface thread: mostly the kernel creating and renaming files.
    state.counters["cpu_per_tick_us"] = tickCpu / static_cast<double>(std::max<int64_t>(ticks, 1));
    state.counters["ticks"] = benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
    state.counters["bound_ms"] = static_cast<double>((FileCount / HandOffsPerTick) * TickPeriod.count());
}

void BM_CurlParallel5(benchmark::State& state)
{
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        state.PauseTiming();
        const QString cache = fixture.FreshCache("curl");
        const std::string config = QFile::encodeName(cache).toStdString() + "list.cfg";
        {
            std::ofstream list(config);
            for (int i = 0; i < FileCount; ++i)
                list << "url = \"" << fixture.Url(i) << "\"\noutput = \"" << QFile::encodeName(cache).toStdString()
                     << i << ".jpg\"\n";
        }
        const std::string command = "curl --silent --fail --noproxy '*' --parallel --parallel-max 5 --config '" +
                                    config + "' >/dev/null 2>&1";
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("curl failed (is it installed?)");
    }
}

void BM_IdleTick(benchmark::State& state)
{
    RequestManager manager;
    for (auto _ : state)
        RunTaskList();
}

} // namespace

BENCHMARK(BM_QueueFetch500Ticked32ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CurlParallel5)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);
