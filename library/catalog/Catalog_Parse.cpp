// Catalog::Parse: the index text's tags become categories, subcategories and items, and every item's
// thumbnail is queued.
#include "library/catalog/Catalog.h"

#include "engine/base/AppPaths.h"
#include "engine/base/Scramble.h"
#include "library/catalog/IndexTags.h"
#include "library/download/RequestManager.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <optional>

namespace {

constexpr QLatin1StringView CategoryTag("CAT");
constexpr QLatin1StringView SubcategoryTag("SUB");
constexpr QLatin1StringView DefaultSceneTag("DEFSCENE");
constexpr QLatin1StringView DefaultFaceTag("DEFFACE");
constexpr QChar NameQuote = QLatin1Char('"');

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Tag names compare without regard to ASCII letter case, the same in every locale.
bool IsTagName(QStringView name, QLatin1StringView tag)
{
    if (name.size() != tag.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const char16_t folded = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
        if (folded != tag[i].unicode())
            return false;
    }
    return true;
}

QStringView LeftTrimmed(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return text.mid(i);
}

// In 64 bits, kept as the 32-bit edge that the sum gives in two's complement.
int32_t Edge(int32_t origin, int32_t extent)
{
    return static_cast<int32_t>(int64_t{origin} + extent);
}

// The numbers after an item's name: cut at the first digit (a sign before it is dropped), then x, y
// and w each up to the next separator (no separator left: an empty field, 0, and the text goes on
// whole), and h from all that remains.
Rect ItemRect(QStringView numbers)
{
    Rect rect;
    if (numbers.isEmpty())
        return rect;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (IsAsciiDigit(numbers[i])) {
            numbers = numbers.mid(i);
            break;
        }
    }
    int32_t field[3] = {0, 0, 0};
    for (int32_t& value : field) {
        const qsizetype separator = FindItemSeparator(numbers);
        if (separator >= 0) {
            value = DecimalValue(numbers.left(separator));
            numbers = numbers.mid(separator + 1);
        }
    }
    const int32_t h = DecimalValue(numbers);
    rect.left = field[0];
    rect.top = field[1];
    rect.right = Edge(field[0], field[2]);
    rect.bottom = Edge(field[1], h);
    return rect;
}

} // namespace

int32_t Catalog::RequestThumbnail(int32_t number, int32_t priority) const
{
    if (!g_paths)
        return RequestQueueFull;  // nowhere to fetch from or to: reads as failed
    const QString relative = QStringLiteral("%1/%2.jpg").arg(folder).arg(number);
    const QString local = g_paths->cacheFolder + relative;
    if (!g_requestManager)
        return QFileInfo::exists(local) ? RequestAlreadyCached : RequestQueueFull;
    // Arrives under local + "_" and is renamed when complete; a thumbnail in the cache is not fetched again.
    return g_requestManager->AddRequest(g_paths->serverUrl + relative, local, priority, true, false);
}

bool Catalog::Parse(const QString& path)
{
    const std::optional<QByteArray> text = ReadScrambledFile(path);

    // The earlier items' requests, by item number (the first item of a number counts). Ids of a queue
    // other than today's mean nothing any more.
    const bool sameQueue = m_queue == g_requestManager;
    QHash<int32_t, int32_t> earlierRequests;
    for (const FileItem& item : items) {
        if ((item.second < 0 || sameQueue) && !earlierRequests.contains(item.first))
            earlierRequests.insert(item.first, item.second);
    }
    categories.clear();
    subcategories.clear();
    items.clear();

    const auto requestFor = [&](int32_t number) {
        const auto earlier = earlierRequests.constFind(number);
        if (earlier != earlierRequests.cend())
            return *earlier;
        return RequestThumbnail(number, RequestPriorityContent);
    };

    QString pendingTitle;
    QString tag;
    TagCursor cursor(text ? text->constData() : "");
    while (ReadTag(tag, cursor)) {
        const qsizetype separator = FindItemSeparator(tag);
        if (separator < 0)
            continue;  // a bare name, or an empty tag
        const QStringView name = QStringView(tag).left(separator);
        const QStringView rest = LeftTrimmed(QStringView(tag).mid(separator + 1));
        if (IsTagName(name, CategoryTag)) {
            categories.emplace_back(static_cast<int32_t>(items.size()), static_cast<int32_t>(subcategories.size()),
                                    rest.toString());
        } else if (IsTagName(name, SubcategoryTag)) {
            pendingTitle = rest.toString();  // a subcategory only once an item follows
        } else if (IsTagName(name, DefaultSceneTag)) {
            defaultScene = DecimalValue(rest);
        } else if (IsTagName(name, DefaultFaceTag)) {
            defaultFace = DecimalValue(rest);
        } else if (IsAsciiDigit(name.front())) {
            // N "name" x y w h: the first character of the rest is taken as the opening quote.
            const QStringView quoted = rest.mid(1);
            const qsizetype close = quoted.indexOf(NameQuote);
            FileItem item(DecimalValue(name), 0, close >= 0 ? quoted.left(close).toString() : QString());
            if (!pendingTitle.isEmpty()) {
                subcategories.emplace_back(static_cast<int32_t>(items.size()), 0, pendingTitle);
                pendingTitle.clear();
            }
            item.second = requestFor(item.first);
            item.rect = ItemRect(close >= 0 ? quoted.mid(close + 1) : quoted);
            items.push_back(std::move(item));
        }
    }

    ListenToQueue();
    if (defaultScene != -1) {
        const auto scene = std::find_if(items.begin(), items.end(),
                                        [&](const FileItem& item) { return item.first == defaultScene; });
        int32_t category = -1;
        int32_t subcategory = -1;
        if (scene != items.end() && Locate(static_cast<int32_t>(scene - items.begin()), category, subcategory))
            PrioritizeCategory(category, subcategory);
    }
    return text.has_value();
}
