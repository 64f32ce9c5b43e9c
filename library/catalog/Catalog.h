#pragma once

#include "library/catalog/FileItem.h"
#include "library/catalog/RowRange.h"
#include "library/download/RequestListener.h"

#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

class ImageReference;
class RequestManager;

// The parsed content index of one content browser ("EncList", "ThumbsA" or "ThumbsB"): categories
// that own runs of subcategories, subcategories that own runs of items, in file order. Parsing queues
// every item's thumbnail through g_requestManager. User-interface thread only.
//
// Indexes: c counts categories, s a category's own subcategories from 0, i the items of the whole
// catalogue. Every accessor checks them: an index out of range gives 0, -1 or an empty text as said,
// never an exception or a read outside the arrays.
class Catalog : private RequestListener {
public:
    Catalog(QString indexName, QString folder);
    ~Catalog();
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    // Reads the scrambled index at path and replaces the three arrays; items whose number the earlier
    // items had keep that request. False when the file cannot be read: the catalogue is then empty.
    bool Parse(const QString& path);

    int32_t GetSubcategoryCount(int32_t c) const;  // 0 for no such category
    int32_t GetItemCount(int32_t c, int32_t s) const;  // 0 for no such subcategory
    // The category and subcategory that hold item i. False, with both -1, when the item belongs to
    // none (it stands before the first subcategory, or i is out of range): the browsers then leave
    // it out of the prioritising and give it an empty subcategory title.
    bool Locate(int32_t i, int32_t& category, int32_t& subcategory) const;
    // The rows with that category and subcategory open (-1: none). A category or subcategory that
    // does not exist counts as none.
    RowRange GetRowRange(int32_t openCategory, int32_t openSubcategory) const;
    // Moves the still-queued thumbnails of category c ahead: those of its subcategory s to
    // RequestPriorityOpenSubcategory, the rest of the category to RequestPriorityOpenCategory.
    void PrioritizeCategory(int32_t c, int32_t s);
    // Asks again for the thumbnails of subcategory s of category c whose download failed (the server
    // may be back), ahead of the rest as an open subcategory's.
    void RequestFailedThumbnails(int32_t c, int32_t s);

    QString GetItemName(int32_t i) const;  // empty for no such item
    QString GetCategoryName(int32_t c) const;
    QString GetSubcategoryName(int32_t c, int32_t s) const;
    int32_t GetSubcategoryFirstItem(int32_t c, int32_t s) const;  // -1 for no such subcategory
    const QString& GetFolder() const { return folder; }
    const QString& GetIndexName() const { return indexName; }

    // Item i's thumbnail: its request's status (RequestQueued ... RequestFailed; failed for no such
    // item), its place in the cache ("<cache><folder>/N.jpg"; empty for no such item or without
    // g_paths), and its picture once the request is done (false while it is not, or when the file
    // does not load). Pictures are never enlarged.
    int ThumbnailStatus(int32_t i) const;
    QString ThumbnailPath(int32_t i) const;
    bool LoadThumbnail(int32_t i, ImageReference& picture) const;

    // Read directly by the browsers; only Parse changes them (and the queue's listener the items'
    // request ids, see FileItem::second).
    std::vector<FileItem> categories;
    std::vector<FileItem> subcategories;
    std::vector<FileItem> items;
    int32_t defaultScene = -1;  // the item number of the "DEFSCENE" tag, -1 for none
    int32_t defaultFace = -1;   // the item number of the "DEFFACE" tag (kept; nothing reads it)

private:
    // The end of category c's subcategories and of subcategory k's items (global k), in their arrays.
    size_t SubcategoryEnd(size_t c) const;
    size_t ItemEnd(size_t k) const;
    // The global index of subcategory s of category c, or -1.
    int64_t SubcategoryIndex(int32_t c, int32_t s) const;
    // Asks the queue for item number's thumbnail: an id, or the negated status (FileItem::second).
    int32_t RequestThumbnail(int32_t number, int32_t priority) const;
    // Registers with g_requestManager and indexes the items that hold its ids.
    void ListenToQueue();
    void StopListening();
    void OnRequestUnlisted(int32_t id, int status) override;

    QString indexName;
    QString folder;
    RequestManager* m_queue = nullptr;  // the queue listened to
    std::unordered_map<int32_t, std::vector<size_t>> m_itemsByRequest;  // items holding an id of m_queue
};
