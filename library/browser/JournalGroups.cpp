#include "library/browser/JournalGroups.h"

#include "engine/document/Document.h"
#include "engine/document/Journal.h"

bool AppendGroup(Journal& journal, std::initializer_list<std::function<bool()>> records)
{
    if (!journal.IsIdle() || !journal.AddMark())
        return false;
    int32_t appended = 0;
    bool whole = true;
    for (const std::function<bool()>& record : records) {
        if (!record()) {
            whole = false;
            break;
        }
        ++appended;
    }
    if (journal.AddMark()) {
        if (whole)
            return true;
        journal.Undo();  // the cut group, back to its opening mark
        return false;
    }
    // Not even the closing mark fits: take the records back one by one.
    for (; appended > 0; --appended)
        journal.Undo();
    return false;
}

bool AppendAddingGroup(Document& document, const Rect& rect, const QString& path, const QString& name,
                       int32_t number, int32_t type)
{
    Journal& journal = document.journal;
    const int32_t n = document.layers.GetCount();
    return AppendGroup(journal, {[&] { return journal.AddInsertLayer(rect, path, name, number, type, n); },
                                 [&] { return journal.AddSelectLayer(n); }});
}
