#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>
#include <set>
#include <vector>

// Writes one content index ("EncList.txt", "ThumbsA.txt", "ThumbsB.txt") as the program's catalogue
// reads it: one tag a line, "<CAT title>", "<SUB title>", "<N "name" x y w h>", "<DEFSCENE N>",
// "<DEFFACE N>", UTF-8. It refuses what that reader would misread: a quote or apostrophe (which opens a
// run that hides every later tag up to its match), "<" or ">", control characters, white space at either
// end of a text (the reader trims it), a subcategory that no item follows (it would become the first
// subcategory of the next category), an item before its category's first subcategory (it would join
// the subcategory before), a repeated item number, and negative numbers (the reader drops a sign).
class CatalogWriter {
public:
    // What the index says, item by item in file order, so that tests can read it back and compare.
    struct Listed {
        QString category;
        QString subcategory;
        int number = 0;
        QString name;
        QRect rect;
    };
    struct Listing {
        std::vector<Listed> items;
        int defaultScene = -1;
        int defaultFace = -1;
    };

    bool Category(const QString& title);
    bool Subcategory(const QString& title);
    // The rectangle is written as its left, top, width and height.
    bool Item(int number, const QString& name, const QRect& rect);
    void DefaultScene(int number) { m_defaultScene = number; }
    void DefaultFace(int number) { m_defaultFace = number; }

    // The whole text, or nothing when something was refused or the structure is incomplete.
    std::optional<QByteArray> Finish();

    const QString& ErrorText() const { return m_error; }
    // Everything accepted so far.
    const Listing& Written() const { return m_listing; }

private:
    bool Fail(const QString& error);
    bool CheckText(const QString& what, const QString& text);
    bool CloseSubcategory();

    QByteArray m_body;
    Listing m_listing;
    QString m_category;
    QString m_subcategory;
    std::set<int> m_numbers;
    int m_defaultScene = -1;
    int m_defaultFace = -1;
    bool m_inCategory = false;
    bool m_categoryHasSubcategory = false;
    bool m_subcategoryOpen = false;
    bool m_subcategoryHasItem = false;
    QString m_error;
};
