#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

// The text of a content index: tags from "<" to the first ">" outside a quoted run, in UTF-8; the
// text ends at its first 0 byte. The search for quotes starts at the cursor, not at the "<", so a quote
// between two tags opens a run too, and the run hides every "<" and ">" up to its match.

// Where ReadTag goes on, in a zero-terminated text. open keeps the "<" found last while the position
// has not passed it, so that a run of stray ">" before a far "<" does not look for it again each time.
struct TagCursor {
    explicit TagCursor(const char* text) : position(text) {}

    const char* position;
    const char* open = nullptr;
};

// The next tag's text, decoded and trimmed, with the cursor just past its ">". A ">" that stands
// before the next "<" gives an empty text (the next call finds the same "<" again). False, with an
// empty text, when there is no "<" left (the cursor stays) or the text ends inside the tag or a run.
bool ReadTag(QString& text, TagCursor& cursor);

// n - 1 bytes of UTF-8 as text, trimmed of white space at both ends; empty for n below 2.
void Utf8ToCString(QString& text, const char* bytes, int64_t n);

// Space, TAB, VT and FF separate a tag's name from the rest and an item's numbers (not CR or LF).
bool IsItemSeparator(QChar c);
// The first separator's position, or -1.
qsizetype FindItemSeparator(QStringView text);

// As the C library's integer conversion: white space, an optional sign, then decimal digits up to
// the first other character; 0 without digits. The value saturates at the 32-bit limits.
int32_t DecimalValue(QStringView text);
