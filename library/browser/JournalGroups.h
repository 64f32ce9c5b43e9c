#pragma once

#include "platform/Rect.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>

class Document;
class Journal;

// Appends records as one undo step: an opening mark, the records in order, a closing mark. All or
// nothing: when a record is refused (a field that does not fit, no memory) the records appended so far
// are closed into a group and undone at once, so the composition is as it was and no unclosed group is
// left in the log to break the grouping of later Undos. Nothing is appended while the journal is busy.
// True when the whole group is in.
bool AppendGroup(Journal& journal, std::initializer_list<std::function<bool()>> records);

// The adding group of a browser's choice: a new layer of the type in front of all others, then selected.
bool AppendAddingGroup(Document& document, const Rect& rect, const QString& path, const QString& name,
                       int32_t number, int32_t type);
