// The checking reader must follow the catalogue's quirks, or the generated indexes would be checked
// against the wrong rules.
#include "IndexText.h"

#include <gtest/gtest.h>

namespace {

TEST(IndexTextTest, CategorySubcategoryAndItem)
{
    const IndexText index = IndexText::Parse("<CAT Animals>\n<SUB Dogs>\n<12 \"Rex\" 10 20 30 40>\n");
    ASSERT_EQ(index.categories.size(), 1u);
    EXPECT_EQ(index.categories[0].name, QStringLiteral("Animals"));
    ASSERT_EQ(index.subcategories.size(), 1u);
    EXPECT_EQ(index.subcategories[0].name, QStringLiteral("Dogs"));
    ASSERT_EQ(index.items.size(), 1u);
    const IndexText::Entry& rex = index.items[0];
    EXPECT_EQ(rex.first, 12);
    EXPECT_EQ(rex.name, QStringLiteral("Rex"));
    EXPECT_EQ(std::vector<int>({rex.left, rex.top, rex.right, rex.bottom}), std::vector<int>({10, 20, 40, 60}));
}

TEST(IndexTextTest, QuotesBetweenTagsHideTags)
{
    EXPECT_TRUE(IndexText::Parse("it's <CAT Hidden>").categories.empty());
    // The run closes at the next apostrophe, so the tag runs on to the ">" after it.
    const IndexText joined = IndexText::Parse("it's <CAT Hidden> isn't <CAT Seen>");
    ASSERT_EQ(joined.categories.size(), 1u);
    EXPECT_EQ(joined.categories[0].name, QStringLiteral("Hidden> isn't <CAT Seen"));
    EXPECT_TRUE(IndexText::Parse("<CAT Don't>\n<CAT Lost>").categories.empty());
}

TEST(IndexTextTest, NumbersAndNamesFollowTheReadersRules)
{
    const IndexText index = IndexText::Parse("<SUB A><1 \"n\" 1  2 3 4><2 \"m\" -5 10 20 30><3 Name 1 2 3 4>");
    ASSERT_EQ(index.items.size(), 3u);
    EXPECT_EQ(std::vector<int>({index.items[0].left, index.items[0].top, index.items[0].right, index.items[0].bottom}),
              std::vector<int>({1, 0, 3, 3}));
    EXPECT_EQ(index.items[1].left, 5);
    EXPECT_EQ(index.items[2].name, QString());
    EXPECT_EQ(std::vector<int>({index.items[2].left, index.items[2].top, index.items[2].right, index.items[2].bottom}),
              std::vector<int>({1, 2, 4, 6}));
}

TEST(IndexTextTest, PendingSubcategoriesAndStrayBrackets)
{
    const IndexText index = IndexText::Parse("<CAT A><SUB One><SUB Two>> <CAT B><7 \"x\" 0 0 1 1><CAT>");
    ASSERT_EQ(index.subcategories.size(), 1u);
    EXPECT_EQ(index.subcategories[0].name, QStringLiteral("Two"));
    EXPECT_EQ(index.categories.size(), 2u);  // "<CAT>" alone has no separator and is ignored
    EXPECT_EQ(index.emptyTags, 1);
    // The pending title became the first subcategory of the category that came before the item.
    EXPECT_EQ(index.SubcategoriesOf(1), std::vector<size_t>({0}));
    EXPECT_TRUE(index.SubcategoriesOf(0).empty());
}

} // namespace
