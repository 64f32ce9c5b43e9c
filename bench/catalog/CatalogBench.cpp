// Parsing a content index of 5,000 items against reading the same file's bytes alone. The parse is
// measured as the program meets it: once with an empty cache (every thumbnail is queued, the first
// 4,096 with ids, the rest failed for want of one) and once with every thumbnail cached (each is looked
// for on disk and not queued); and the tags alone, without looking for thumbnails. Also the
// prioritising of one category of 250 items among the queued ones.

#include "engine/base/AppPaths.h"
#include "engine/base/Scramble.h"
#include "library/catalog/Catalog.h"
#include "library/download/RequestManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Categories = 20;
constexpr int SubcategoriesPerCategory = 10;
constexpr int ItemsPerSubcategory = 25;  // 20 x 10 x 25 = 5,000 items

// A worker whose thread never starts: parsing only queues, and nothing is fetched while it is measured.
class IdleWorker : public DownloadThread {
public:
    using DownloadThread::DownloadThread;

protected:
    void LaunchThread() override {}
};

std::unique_ptr<RequestManager> IdleQueue()
{
    return std::make_unique<RequestManager>(DownloadTimings{}, [](const DownloadTimings& timings) {
        return std::make_unique<IdleWorker>(timings);
    });
}

// Two folders of program paths, one with an empty cache and one with every thumbnail in it, and the
// scrambled index in both.
struct Fixture {
    QTemporaryDir folder;
    AppPaths empty{folder.filePath("empty/program"), QStringList{folder.filePath("empty/data")}};
    AppPaths cached{folder.filePath("cached/program"), QStringList{folder.filePath("cached/data")}};
    QByteArray text;

    Fixture()
    {
        text = "<DEFSCENE 1>\n<DEFFACE 2>\n";
        int number = 1;
        for (int c = 0; c < Categories; ++c) {
            text += "<CAT Category " + QByteArray::number(c) + ">\n";
            for (int s = 0; s < SubcategoriesPerCategory; ++s) {
                text += "<SUB Subcategory " + QByteArray::number(s) + ">\n";
                for (int i = 0; i < ItemsPerSubcategory; ++i, ++number) {
                    text += "<" + QByteArray::number(number) + " \"http://127.0.0.1:8468/Scenes/" +
                            QByteArray::number(number) + ".jpg\" 0 0 1024 768>\n";
                    QFile thumbnail(cached.cacheFolder + QStringLiteral("Thumbs/%1.jpg").arg(number));
                    thumbnail.open(QIODevice::WriteOnly);
                }
            }
        }
        QByteArray stored = text;
        ScrambleBuffer(reinterpret_cast<uint8_t*>(stored.data()), stored.size());
        for (const AppPaths* paths : {&empty, &cached}) {
            QFile file(IndexPath(*paths));
            file.open(QIODevice::WriteOnly);
            file.write(stored);
        }
    }

    static QString IndexPath(const AppPaths& paths) { return paths.cacheFolder + QStringLiteral("EncList.txt"); }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_ReadIndexBytes(benchmark::State& state)
{
    const QString path = Fixture::IndexPath(TheFixture().empty);
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
        if (bytes.size() != TheFixture().text.size())
            state.SkipWithError("the file was not read whole");
    }
    state.SetBytesProcessed(state.iterations() * TheFixture().text.size());
    state.counters["file_bytes"] = static_cast<double>(TheFixture().text.size());
}

void BM_ReadScrambledIndex(benchmark::State& state)
{
    const QString path = Fixture::IndexPath(TheFixture().empty);
    for (auto _ : state) {
        std::optional<QByteArray> text = ReadScrambledFile(path);
        benchmark::DoNotOptimize(text->data());
    }
    state.SetBytesProcessed(state.iterations() * TheFixture().text.size());
}

// A fresh queue and catalogue each time (made and freed outside the measurement). Without program
// paths nothing is looked for or queued: the tags alone.
void ParseWith(benchmark::State& state, AppPaths* paths)
{
    AppPaths* saved = g_paths;
    g_paths = paths;
    const QString path = Fixture::IndexPath(TheFixture().empty);
    for (auto _ : state) {
        state.PauseTiming();
        auto queue = IdleQueue();
        g_requestManager = queue.get();
        auto catalog = std::make_unique<Catalog>(QStringLiteral("EncList"), QStringLiteral("Thumbs"));
        state.ResumeTiming();
        catalog->Parse(path);
        state.PauseTiming();
        if (catalog->items.size() != static_cast<size_t>(Categories * SubcategoriesPerCategory * ItemsPerSubcategory))
            state.SkipWithError("the index did not parse whole");
        state.counters["queued"] = static_cast<double>(queue->requests.size());
        catalog.reset();
        g_requestManager = nullptr;
        queue.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * TheFixture().text.size());
    g_paths = saved;
}

void BM_ParseIndexEmptyCache(benchmark::State& state)
{
    ParseWith(state, &TheFixture().empty);
}

void BM_ParseIndexAllCached(benchmark::State& state)
{
    ParseWith(state, &TheFixture().cached);
}

void BM_ParseIndexTagsOnly(benchmark::State& state)
{
    ParseWith(state, nullptr);
}

void BM_PrioritizeCategoryOf5000Queued(benchmark::State& state)
{
    AppPaths* saved = g_paths;
    g_paths = &TheFixture().empty;
    auto queue = IdleQueue();
    g_requestManager = queue.get();
    Catalog catalog(QStringLiteral("EncList"), QStringLiteral("Thumbs"));
    catalog.Parse(Fixture::IndexPath(TheFixture().empty));
    int32_t c = 0;
    for (auto _ : state) {
        catalog.PrioritizeCategory(c, 0);
        c = (c + 1) % Categories;
    }
    g_requestManager = nullptr;
    g_paths = saved;
}

} // namespace

BENCHMARK(BM_ReadIndexBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadScrambledIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseIndexEmptyCache)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseIndexAllCached)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseIndexTagsOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrioritizeCategoryOf5000Queued)->Unit(benchmark::kMicrosecond);
