// Parsing without a request queue: the structure the tags give, and the queries the browsers make.
#include "library/download/Request.h"
#include "support/CatalogText.h"
#include "support/ScopedAppPaths.h"

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

using namespace std::string_view_literals;

namespace {

class CatalogParseTest : public ::testing::Test {
protected:
    std::string Parsed(const QByteArray& text)
    {
        EXPECT_TRUE(ParseText(m_catalog, text));
        return Describe(m_catalog).toStdString();
    }

    ScopedAppPaths m_paths;
    Catalog m_catalog{QStringLiteral("EncList"), QStringLiteral("Thumbs")};
};

TEST_F(CatalogParseTest, TagGrammar)
{
    const struct {
        std::string_view text;
        const char* catalog;
    } cases[] = {
        {"<CAT Animals>\n<SUB Dogs>\n<12 \"Rex\" 10 20 30 40>\n", "C 0,0 Animals | S 0 Dogs | I 12 Rex 10,20,40,60"},
        {"<cat Animals><sUb Dogs><1 \"a\" 0 0 1 1>", "C 0,0 Animals | S 0 Dogs | I 1 a 0,0,1,1"},
        // A bare name, or a name followed by a line break, has no separator: ignored.
        {"<CAT><CAT\nAnimals><SUB\r\nDogs><CAT\tZoo><FOO bar> text <DEFSCENE>", "C 0,0 Zoo"},
        {"<CAT A><SUB One><SUB Two><1 \"x\" 0 0 1 1>", "C 0,0 A | S 0 Two | I 1 x 0,0,1,1"},
        // A title still pending at the next category becomes that category's first subcategory.
        {"<CAT A><SUB S><CAT B><1 \"x\" 0 0 1 1>", "C 0,0 A | C 0,0 B | S 0 S | I 1 x 0,0,1,1"},
        // Items before the first subcategory join the one before (here: none).
        {"<CAT A><1 \"x\" 0 0 1 1><SUB S><2 \"y\" 0 0 1 1>", "C 0,0 A | S 1 S | I 1 x 0,0,1,1 | I 2 y 0,0,1,1"},
        {"<SUB S><1 \"n\" 1  2 3 4>", "S 0 S | I 1 n 1,0,3,3"},          // an extra separator: an empty field
        {"<SUB S><1 \"n\" -5 10 20 30>", "S 0 S | I 1 n 5,10,25,40"},     // text before the first digit dropped
        {"<SUB S><3 Name 1 2 3 4>", "S 0 S | I 3  1,2,4,6"},               // no quotes: no name
        {"<SUB S><4 'x\"y' 1 2 3 4>", "S 0 S | I 4 x 1,2,4,6"},              // an apostrophe's run hides a quote
        {"<SUB S><5 \"n\">", "S 0 S | I 5 n 0,0,0,0"},                      // no numbers
        {"<SUB S><6 \"n\" 1 -2 3 -4>", "S 0 S | I 6 n 1,-2,4,-6"},
        {"<SUB S><7\v\"n\"\f1\t2 3 4>", "S 0 S | I 7 n 1,2,4,6"},           // every separator
        {"<SUB S><8 \"n\" 1\n2 3 4>", "S 0 S | I 8 n 1,3,1,7"},             // a line break separates nothing
        {"<SUB S><9x \"n\" 1 2 3 4 5>", "S 0 S | I 9 n 1,2,4,6"},
        {"it's <CAT Hidden>", ""},
        {"it's <CAT Hidden> isn't <CAT Seen>", "C 0,0 Hidden> isn't <CAT Seen"},
        {"<CAT A>> <CAT B>", "C 0,0 A | C 0,0 B"},                            // the stray ">": an empty tag
        {"<CAT A><CAT B", "C 0,0 A"},                                         // unclosed: the parse ends
        {"<CAT A>'<CAT B>", "C 0,0 A"},
        {"<CAT A>\0<CAT B>"sv, "C 0,0 A"},                                      // the text ends at a 0 byte
        {"<CAT A><SUB Caf\xc3\xa9 \xe2\x98\x95><1 \"\xc3\xbc\" 0 0 1 1>",
         "C 0,0 A | S 0 Caf\xc3\xa9 \xe2\x98\x95 | I 1 \xc3\xbc 0,0,1,1"},
    };
    for (const auto& c : cases) {
        const QByteArray text(c.text.data(), static_cast<qsizetype>(c.text.size()));
        EXPECT_EQ(Parsed(text), c.catalog) << c.text;
    }
}

TEST_F(CatalogParseTest, DefaultsAreReadAndKeptAcrossParses)
{
    Parsed("<DEFSCENE 12><deffACE -7>");
    EXPECT_EQ(m_catalog.defaultScene, 12);
    EXPECT_EQ(m_catalog.defaultFace, -7);
    Parsed("<CAT A>");
    EXPECT_EQ(m_catalog.defaultScene, 12);
    EXPECT_EQ(m_catalog.defaultFace, -7);
}

TEST_F(CatalogParseTest, RegressionRectangleEdgesOverflow32Bits)
{
    // x and w saturate at the 32-bit limit; x + w is added in 64 bits and kept as its 32-bit value.
    EXPECT_EQ(Parsed("<SUB S><99999999999 \"n\" 99999999999 -99999999999 2147483647 10>"),
              std::string("S 0 S | I 2147483647 n 2147483647,-2147483648,-2,-2147483638"));
    EXPECT_EQ(Parsed("<SUB S><1 \"n\" 0 -2147483648 0 -1>"), std::string("S 0 S | I 1 n 0,-2147483648,0,2147483647"));
}

// The decoding dropped a byte-order mark at the start of a tag, so the tag read as the one after it.
TEST_F(CatalogParseTest, RegressionByteOrderMarkAfterTheBracketMakesNoTag)
{
    EXPECT_EQ(Parsed("<\xEF\xBB\xBF" "CAT A><CAT B><SUB T><\xEF\xBB\xBF" "SUB S><1 \"x\" 0 0 1 1>"),
              "C 0,0 B | S 0 T | I 1 x 0,0,1,1");
}

TEST_F(CatalogParseTest, RegressionUnreadableIndexIsReportedAndEmptiesTheCatalogue)
{
    Parsed("<CAT A><SUB S><1 \"x\" 0 0 1 1>");
    EXPECT_FALSE(m_catalog.Parse(m_paths.Get().cacheFolder + QStringLiteral("missing.txt")));
    EXPECT_EQ(Describe(m_catalog), QString());
    EXPECT_EQ(m_catalog.GetRowRange(0, 0), RowRange{});
}

// Category 0 without subcategories; category 1 with two, the second holding the items that follow
// category 2's tag before its own first subcategory; item 0 before any subcategory.
class CatalogQueryTest : public CatalogParseTest {
protected:
    void SetUp() override
    {
        Parsed("<1 \"zero\" 0 0 1 1><CAT Empty><CAT One><SUB A><2 \"a\" 0 0 1 1><SUB B><3 \"b\" 0 0 1 1>"
               "<CAT Two><4 \"late\" 0 0 1 1><SUB C><5 \"c\" 0 0 1 1><6 \"c2\" 0 0 1 1>");
    }
};

TEST_F(CatalogQueryTest, CountsAndLocations)
{
    EXPECT_EQ(m_catalog.GetSubcategoryCount(0), 0);
    EXPECT_EQ(m_catalog.GetSubcategoryCount(1), 2);
    EXPECT_EQ(m_catalog.GetSubcategoryCount(2), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, 0), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, 1), 2);  // "b" and "late"
    EXPECT_EQ(m_catalog.GetItemCount(2, 0), 2);
    EXPECT_EQ(m_catalog.GetSubcategoryFirstItem(2, 0), 4);
    EXPECT_EQ(m_catalog.GetSubcategoryName(1, 1), QStringLiteral("B"));
    const int32_t expected[][2] = {{-1, -1}, {1, 0}, {1, 1}, {1, 1}, {2, 0}, {2, 0}};
    for (int32_t i = 0; i < 6; ++i) {
        int32_t category = 99;
        int32_t subcategory = 99;
        EXPECT_EQ(m_catalog.Locate(i, category, subcategory), expected[i][0] >= 0) << i;
        EXPECT_EQ(category, expected[i][0]) << i;
        EXPECT_EQ(subcategory, expected[i][1]) << i;
    }
}

TEST_F(CatalogQueryTest, RowRanges)
{
    constexpr int32_t No = RowRange::NoRow;
    const struct {
        int32_t category, subcategory;
        RowRange rows;
    } cases[] = {
        {-1, -1, {3, No, 0, No, 0}},
        {1, -1, {5, 2, 2, No, 0}},
        {1, 1, {7, 2, 2, 4, 2}},
        {2, 0, {6, 3, 1, 4, 2}},
        {0, 0, {3, 1, 0, No, 0}},   // a category without subcategories opens with none open
        {3, 0, {3, No, 0, No, 0}},  // no such category: nothing opens
        {1, 2, {5, 2, 2, No, 0}},   // no such subcategory
        {-5, -5, {3, No, 0, No, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_catalog.GetRowRange(c.category, c.subcategory), c.rows) << c.category << " " << c.subcategory;
}

TEST_F(CatalogQueryTest, RegressionOutOfRangeIndexesAreCheckedNotRead)
{
    constexpr int32_t Max = std::numeric_limits<int32_t>::max();
    constexpr int32_t Min = std::numeric_limits<int32_t>::min();
    for (const int32_t bad : {-1, 6, Max, Min}) {
        EXPECT_EQ(m_catalog.GetSubcategoryCount(bad), 0) << bad;
        EXPECT_EQ(m_catalog.GetCategoryName(bad), QString()) << bad;
        EXPECT_EQ(m_catalog.GetItemCount(1, bad), 0) << bad;
        EXPECT_EQ(m_catalog.GetItemCount(bad, 0), 0) << bad;
        EXPECT_EQ(m_catalog.GetSubcategoryName(1, bad), QString()) << bad;
        EXPECT_EQ(m_catalog.GetSubcategoryFirstItem(bad, 0), -1) << bad;
        EXPECT_EQ(m_catalog.ThumbnailPath(bad), QString()) << bad;
        EXPECT_EQ(m_catalog.ThumbnailStatus(bad), RequestFailed) << bad;
        m_catalog.PrioritizeCategory(bad, bad);
    }
    // Subcategory 1 of category 2 would be read past the end of the array; of category 0, category 1's.
    EXPECT_EQ(m_catalog.GetItemCount(2, 1), 0);
    EXPECT_EQ(m_catalog.GetSubcategoryName(0, 0), QString());
    EXPECT_EQ(m_catalog.GetItemName(6), QString());
    EXPECT_EQ(m_catalog.GetItemName(5), QStringLiteral("c2"));
}

TEST_F(CatalogQueryTest, RegressionLocateOfAnItemInNoCategoryAnswersMinusOne)
{
    // Before, the outputs kept what the caller had in them, and the category the last one tried.
    for (const int32_t i : {0, -1, 6, std::numeric_limits<int32_t>::max()}) {
        int32_t category = 1;
        int32_t subcategory = 1;
        EXPECT_FALSE(m_catalog.Locate(i, category, subcategory)) << i;
        EXPECT_EQ(category, -1) << i;
        EXPECT_EQ(subcategory, -1) << i;
    }
}

TEST_F(CatalogParseTest, IndexWithoutItemsAndMissingIndex)
{
    EXPECT_EQ(Parsed("<CAT A><SUB S><CAT B>"), std::string("C 0,0 A | C 0,0 B"));
    EXPECT_EQ(m_catalog.GetRowRange(0, 0), (RowRange{2, 1, 0, RowRange::NoRow, 0}));
    EXPECT_TRUE(m_catalog.items.empty());
    Catalog missing(QStringLiteral("ThumbsA"), QStringLiteral("ThumbsA"));
    EXPECT_FALSE(missing.Parse(m_paths.Get().cacheFolder + QStringLiteral("ThumbsA.txt")));
    EXPECT_EQ(missing.GetRowRange(0, 0), (RowRange{0, RowRange::NoRow, 0, RowRange::NoRow, 0}));
}

} // namespace
