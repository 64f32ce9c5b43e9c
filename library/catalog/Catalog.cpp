#include "library/catalog/Catalog.h"

#include "engine/base/AppPaths.h"
#include "engine/layers/ImageReference.h"
#include "library/download/RequestManager.h"

#include <algorithm>

namespace {

bool InRange(int64_t index, size_t size)
{
    return index >= 0 && static_cast<uint64_t>(index) < size;
}

} // namespace

Catalog::Catalog(QString indexName, QString folder) : indexName(std::move(indexName)), folder(std::move(folder)) {}

Catalog::~Catalog()
{
    StopListening();
}

size_t Catalog::SubcategoryEnd(size_t c) const
{
    return c + 1 < categories.size() ? static_cast<size_t>(categories[c + 1].second) : subcategories.size();
}

size_t Catalog::ItemEnd(size_t k) const
{
    return k + 1 < subcategories.size() ? static_cast<size_t>(subcategories[k + 1].first) : items.size();
}

int64_t Catalog::SubcategoryIndex(int32_t c, int32_t s) const
{
    if (s < 0 || s >= GetSubcategoryCount(c))
        return -1;
    return int64_t{categories[static_cast<size_t>(c)].second} + s;
}

int32_t Catalog::GetSubcategoryCount(int32_t c) const
{
    if (!InRange(c, categories.size()))
        return 0;
    const size_t index = static_cast<size_t>(c);
    return static_cast<int32_t>(SubcategoryEnd(index) - static_cast<size_t>(categories[index].second));
}

int32_t Catalog::GetItemCount(int32_t c, int32_t s) const
{
    const int64_t k = SubcategoryIndex(c, s);
    if (k < 0)
        return 0;
    const size_t index = static_cast<size_t>(k);
    return static_cast<int32_t>(ItemEnd(index) - static_cast<size_t>(subcategories[index].first));
}

bool Catalog::Locate(int32_t i, int32_t& category, int32_t& subcategory) const
{
    category = -1;
    subcategory = -1;
    if (!InRange(i, items.size()))
        return false;
    // The item belongs to the last subcategory that starts at or before it (subcategories start in
    // item order), and that subcategory to the last category whose run of subcategories starts at or
    // before it. The same answer as searching the categories from the last one down for the first whose
    // subcategories hold a start at or before the item, without the search.
    const auto holder = std::upper_bound(subcategories.begin(), subcategories.end(), i,
                                         [](int32_t item, const FileItem& k) { return item < k.first; });
    if (holder == subcategories.begin())
        return false;  // before the first subcategory: in no category
    const int32_t k = static_cast<int32_t>(holder - subcategories.begin()) - 1;
    const auto owner = std::upper_bound(categories.begin(), categories.end(), k,
                                        [](int32_t sub, const FileItem& c) { return sub < c.second; });
    if (owner == categories.begin())
        return false;
    category = static_cast<int32_t>(owner - categories.begin()) - 1;
    subcategory = k - categories[static_cast<size_t>(category)].second;
    return true;
}

RowRange Catalog::GetRowRange(int32_t openCategory, int32_t openSubcategory) const
{
    RowRange rows;
    rows.totalRows = static_cast<int32_t>(categories.size());
    if (!InRange(openCategory, categories.size()))
        return rows;
    rows.firstSubcategoryRow = openCategory + 1;
    rows.subcategoryCount = GetSubcategoryCount(openCategory);
    rows.totalRows += rows.subcategoryCount;
    if (SubcategoryIndex(openCategory, openSubcategory) < 0)
        return rows;
    rows.firstThumbnailRow = rows.firstSubcategoryRow + openSubcategory + 1;
    rows.thumbnailCount = GetItemCount(openCategory, openSubcategory);
    rows.totalRows += rows.thumbnailCount;
    return rows;
}

void Catalog::PrioritizeCategory(int32_t c, int32_t s)
{
    if (!m_queue || !InRange(c, categories.size()))
        return;
    // The wanted priority of every still-queued request of the category, by id; an id that several
    // items share takes the last item's, then the queue's list is walked once.
    std::vector<int32_t> wanted(RequestIdCount, -1);
    bool any = false;
    const size_t first = static_cast<size_t>(categories[static_cast<size_t>(c)].second);
    for (size_t k = first; k < SubcategoryEnd(static_cast<size_t>(c)); ++k) {
        const int32_t priority = static_cast<int64_t>(k - first) == s ? RequestPriorityOpenSubcategory
                                                                       : RequestPriorityOpenCategory;
        for (size_t i = static_cast<size_t>(subcategories[k].first); i < ItemEnd(k); ++i) {
            const int32_t id = items[i].second;
            if (InRange(id, wanted.size()) && m_queue->Status(id) == RequestQueued) {
                wanted[static_cast<size_t>(id)] = priority;
                any = true;
            }
        }
    }
    if (!any)
        return;
    for (Request& request : m_queue->requests) {
        if (InRange(request.id, wanted.size()) && wanted[static_cast<size_t>(request.id)] >= 0)
            request.priority = wanted[static_cast<size_t>(request.id)];
    }
}

void Catalog::RequestFailedThumbnails(int32_t c, int32_t s)
{
    const int64_t k = SubcategoryIndex(c, s);
    if (k < 0 || !m_queue || m_queue != g_requestManager)
        return;
    const size_t subcategory = static_cast<size_t>(k);
    for (size_t i = static_cast<size_t>(subcategories[subcategory].first); i < ItemEnd(subcategory); ++i) {
        if (ThumbnailStatus(static_cast<int32_t>(i)) != RequestFailed)
            continue;
        const int32_t id = RequestThumbnail(items[i].first, RequestPriorityOpenSubcategory);
        items[i].second = id;
        if (id >= 0)
            m_itemsByRequest[id].push_back(i);
    }
}

QString Catalog::GetItemName(int32_t i) const
{
    return InRange(i, items.size()) ? items[static_cast<size_t>(i)].name : QString();
}

QString Catalog::GetCategoryName(int32_t c) const
{
    return InRange(c, categories.size()) ? categories[static_cast<size_t>(c)].name : QString();
}

QString Catalog::GetSubcategoryName(int32_t c, int32_t s) const
{
    const int64_t k = SubcategoryIndex(c, s);
    return k < 0 ? QString() : subcategories[static_cast<size_t>(k)].name;
}

int32_t Catalog::GetSubcategoryFirstItem(int32_t c, int32_t s) const
{
    const int64_t k = SubcategoryIndex(c, s);
    return k < 0 ? -1 : subcategories[static_cast<size_t>(k)].first;
}

int Catalog::ThumbnailStatus(int32_t i) const
{
    if (!InRange(i, items.size()))
        return RequestFailed;
    const int32_t id = items[static_cast<size_t>(i)].second;
    if (m_queue)
        return m_queue->Status(id);
    return id < 0 && id >= RequestQueueFull ? -id : RequestFailed;
}

QString Catalog::ThumbnailPath(int32_t i) const
{
    if (!g_paths || !InRange(i, items.size()))
        return QString();
    return g_paths->cacheFolder + QStringLiteral("%1/%2.jpg").arg(folder).arg(items[static_cast<size_t>(i)].first);
}

bool Catalog::LoadThumbnail(int32_t i, ImageReference& picture) const
{
    if (ThumbnailStatus(i) != RequestDone)
        return false;
    const QString path = ThumbnailPath(i);
    return !path.isEmpty() && picture.Load(path, false);
}

void Catalog::ListenToQueue()
{
    if (m_queue != g_requestManager) {
        StopListening();
        m_queue = g_requestManager;
        if (m_queue)
            m_queue->AddListener(this);
    }
    m_itemsByRequest.clear();
    if (!m_queue)
        return;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].second >= 0)
            m_itemsByRequest[items[i].second].push_back(i);
    }
}

void Catalog::StopListening()
{
    if (m_queue)
        m_queue->RemoveListener(this);
    m_queue = nullptr;
    m_itemsByRequest.clear();
}

void Catalog::OnRequestUnlisted(int32_t id, int status)
{
    // The id may name another request from now on: the items keep the final status instead.
    const auto holders = m_itemsByRequest.find(id);
    if (holders == m_itemsByRequest.end())
        return;
    for (const size_t i : holders->second)
        items[i].second = -status;
    m_itemsByRequest.erase(holders);
}
