#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The catalogue's reading rules for a content index, kept here to check what the generator writes:
// tags run from "<" to the first ">" outside a quoted run, and the search for quotes starts at the
// cursor, so a quote between tags hides what follows it; items are "N "name" x y w h"; a
// subcategory is made by the first item after its tag.
struct IndexText {
    struct Entry {
        int first = 0;   // categories and subcategories: index of the first item; items: the number
        int second = 0;  // categories: index of the first subcategory
        QString name;
        int left = 0, top = 0, right = 0, bottom = 0;  // items: x, y, x + w, y + h
    };

    std::vector<Entry> categories;
    std::vector<Entry> subcategories;
    std::vector<Entry> items;
    int defaultScene = -1;
    int defaultFace = -1;
    int emptyTags = 0;  // a ">" between tags

    static IndexText Parse(const QByteArray& text);

    // The next tag's text from the cursor; false when there is none or it is unclosed.
    static bool ReadTag(const QByteArray& text, qsizetype& cursor, QString& tag);

    // The items of subcategory k.
    std::vector<Entry> ItemsOf(size_t subcategory) const;
    // The subcategories of category c.
    std::vector<size_t> SubcategoriesOf(size_t category) const;
};
