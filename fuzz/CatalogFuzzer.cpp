// Parses every input as a content index, twice: as the plain text (stored scrambled, as the cache keeps
// it) and as a stored file (the input's bytes unscrambled). The second parse goes into the same
// catalogue, so the earlier items' requests are taken over. Then every query the browsers make is run
// on the result, some of the queue's requests end, and the structure is checked: no input may crash,
// leak, reach undefined behaviour or give a catalogue whose runs do not fit together.
#include "engine/base/AppPaths.h"
#include "engine/base/Scramble.h"
#include "library/catalog/Catalog.h"
#include "library/download/RequestManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A worker whose thread never starts: the queue only lists requests, nothing is fetched.
class IdleWorker : public DownloadThread {
public:
    using DownloadThread::DownloadThread;

protected:
    void LaunchThread() override {}
};

struct Fixture {
    QTemporaryDir folder;
    AppPaths paths{folder.filePath("program"), QStringList{folder.filePath("data")}};
    QString index = folder.filePath("index.txt");
};

Fixture* g_fixture = nullptr;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void WriteIndex(const QString& path, QByteArray bytes, bool scramble)
{
    if (scramble)
        ScrambleBuffer(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Check(file.write(bytes) == bytes.size());
}

// The search as first described: the categories from the last one down, the first whose first item is
// at or before i and which has a subcategory starting at or before i, searched from its last one down.
// Catalog::Locate finds the same by binary searches.
bool SearchedLocation(const Catalog& catalog, int32_t i, int32_t& category, int32_t& subcategory)
{
    category = -1;
    subcategory = -1;
    for (int32_t c = static_cast<int32_t>(catalog.categories.size()) - 1; c >= 0; --c) {
        if (catalog.categories[static_cast<size_t>(c)].first > i)
            continue;
        for (int32_t s = catalog.GetSubcategoryCount(c) - 1; s >= 0; --s) {
            if (catalog.GetSubcategoryFirstItem(c, s) <= i) {
                category = c;
                subcategory = s;
                return true;
            }
        }
    }
    return false;
}

// Categories own consecutive runs of subcategories and subcategories of items; every item is located
// in the subcategory whose run holds it, and the rows add up.
void CheckStructure(const Catalog& catalog)
{
    const auto items = static_cast<int32_t>(catalog.items.size());
    int32_t located = 0;
    for (int32_t c = 0; c < static_cast<int32_t>(catalog.categories.size()); ++c) {
        const int32_t subcategories = catalog.GetSubcategoryCount(c);
        Check(subcategories >= 0);
        int32_t rows = static_cast<int32_t>(catalog.categories.size()) + subcategories;
        Check(catalog.GetRowRange(c, -1).totalRows == rows);
        for (int32_t s = 0; s < subcategories; ++s) {
            const int32_t first = catalog.GetSubcategoryFirstItem(c, s);
            const int32_t count = catalog.GetItemCount(c, s);
            Check(first >= 0 && count > 0 && first + count <= items);
            Check(catalog.GetRowRange(c, s).totalRows == rows + count);
            for (int32_t i = first; i < first + count; ++i) {
                int32_t category = -1;
                int32_t subcategory = -1;
                Check(catalog.Locate(i, category, subcategory) && category == c && subcategory == s);
                ++located;
            }
        }
        Check(catalog.GetItemCount(c, subcategories) == 0);
    }
    for (int32_t i = 0; i < items; ++i) {
        int32_t category = 0;
        int32_t subcategory = 0;
        const bool found = catalog.Locate(i, category, subcategory);
        Check(found == (category >= 0) && found == (subcategory >= 0));
        int32_t searchedCategory = 0;
        int32_t searchedSubcategory = 0;
        Check(SearchedLocation(catalog, i, searchedCategory, searchedSubcategory) == found);
        Check(searchedCategory == category && searchedSubcategory == subcategory);
        located -= found ? 1 : 0;
        const int status = catalog.ThumbnailStatus(i);
        Check(status >= RequestQueued && status <= RequestFailed);
    }
    Check(located == 0);
}

void Exercise(Catalog& catalog, RequestManager& queue)
{
    CheckStructure(catalog);
    for (int32_t c = -1; c <= static_cast<int32_t>(catalog.categories.size()); ++c) {
        for (int32_t s = -1; s <= catalog.GetSubcategoryCount(c); ++s) {
            catalog.PrioritizeCategory(c, s);
            catalog.GetSubcategoryName(c, s);
        }
        catalog.GetCategoryName(c);
    }
    // Every other request ends, done or failed alternately, as the queue's harvest ends them.
    std::vector<int32_t> listed;
    for (const Request& request : queue.requests)
        listed.push_back(request.id);
    for (size_t k = 0; k < listed.size(); k += 2) {
        queue.status[static_cast<size_t>(listed[k])] = k % 4 ? RequestFailed : RequestDone;
        Check(queue.FindRequest(listed[k]) != nullptr);
        queue.RemoveCurrent();
    }
    CheckStructure(catalog);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    static Fixture fixture;
    g_paths = &fixture.paths;
    g_fixture = &fixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = *g_fixture;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    RequestManager queue(DownloadTimings{}, [](const DownloadTimings& timings) {
        return std::make_unique<IdleWorker>(timings);
    });
    g_requestManager = &queue;
    {
        Catalog catalog(QStringLiteral("EncList"), QStringLiteral("Thumbs"));
        WriteIndex(f.index, input, true);
        Check(catalog.Parse(f.index));
        Exercise(catalog, queue);
        WriteIndex(f.index, input, false);
        Check(catalog.Parse(f.index));
        Exercise(catalog, queue);
    }
    g_requestManager = nullptr;
    return 0;
}
