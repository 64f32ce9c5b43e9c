// Row geometry of a browser: heights, tops, hits and scroll steps, with and without the note band.
#include "library/browser/TreeRows.h"

#include <gtest/gtest.h>

namespace {

// Rows: Alpha, Beta, Gamma, G1, three thumbnails, G2, Delta (Gamma and G1 open).
const RowRange GammaOpen{9, 3, 2, 4, 3};

TEST(TreeRowsTest, TopsAndHitsFollowTheRowHeights)
{
    struct Case {
        bool note;
        int32_t row;
        int32_t top;
    };
    // Category and subcategory rows are 17 high, thumbnail rows 115; the note band is 20.
    const Case cases[] = {{false, 0, 0},  {false, 4, 68},  {false, 5, 183},  {false, 7, 413},
                          {false, 9, 447}, {true, -1, 20},  {true, 0, 20},    {true, 4, 88},  {true, 9, 467}};
    for (const Case& c : cases) {
        const TreeRows rows(GammaOpen, c.note);
        EXPECT_EQ(rows.RowTop(c.row), c.top) << c.note << " " << c.row;
        if (c.row >= 0 && c.row < 9) {
            // A row holds its first and last pixel rows.
            EXPECT_EQ(rows.RowAtY(c.top), c.row);
            EXPECT_EQ(rows.RowAtY(c.top + rows.GetRowHeight(c.row) - 1), c.row);
        }
    }
    const TreeRows noted(GammaOpen, true);
    EXPECT_EQ(noted.RowAtY(-5), 0);
    EXPECT_EQ(noted.RowAtY(0), 0);  // the note band belongs to row 0
    EXPECT_EQ(noted.RowAtY(19), 0);
    EXPECT_EQ(noted.RowAtY(467), 9);  // below the last row: the row count
    EXPECT_EQ(noted.RowAtY(100000), 9);
}

TEST(TreeRowsTest, RowsSayWhatTheyShow)
{
    const TreeRows rows(GammaOpen, false);
    EXPECT_EQ(rows.OpenCategory(), 2);
    EXPECT_EQ(rows.OpenSubcategory(), 0);
    const bool thumbnail[] = {false, false, false, false, true, true, true, false, false};
    const bool subcategory[] = {false, false, false, true, false, false, false, true, false};
    for (int32_t row = 0; row < 9; ++row) {
        EXPECT_EQ(rows.IsThumbnailRow(row), thumbnail[row]) << row;
        EXPECT_EQ(rows.IsSubcategoryRow(row), subcategory[row]) << row;
    }
    EXPECT_EQ(rows.CategoryAt(1), 1);
    EXPECT_EQ(rows.CategoryAt(8), 3);
    EXPECT_EQ(rows.SubcategoryAt(3), 0);
    EXPECT_EQ(rows.SubcategoryAt(7), 1);
    EXPECT_EQ(rows.ThumbnailAt(6), 2);

    const TreeRows closed(RowRange{4}, false);
    EXPECT_EQ(closed.OpenCategory(), -1);
    EXPECT_EQ(closed.OpenSubcategory(), -1);
    EXPECT_EQ(closed.CategoryAt(3), 3);
    EXPECT_FALSE(closed.IsSubcategoryRow(3));
}

TEST(TreeRowsTest, LineScrollsLandOnRowTops)
{
    struct Case {
        int32_t from;
        int32_t to;
        int32_t landing;
    };
    const TreeRows rows(GammaOpen, true);  // tops 20, 37, 54, 71, 88, 203, 318, 433, 450
    const Case cases[] = {
        {0, -1, 0},        // above row 0: the top
        {20, 19, 0},       // the note band is row 0's: one row further up is none
        {37, 36, 20},      // one row up
        {88, 87, 71},
        {88, 203, 203},    // a thumbnail row down: the next row's top
        {100, 215, 203},   // from inside a thumbnail row, to inside the next: that one's top
        {100, 101, 203},   // still the same row: one further
        {433, 450, 450},
        {450, 467, 450},   // not past the last row
        {450, 99999, 450},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rows.LineScrollPos(c.from, c.to), c.landing) << c.from << " -> " << c.to;
}

TEST(TreeRowsTest, ScrollMaximumCountsTheNoteAgainAndTheButtonBand)
{
    // The last row's bottom less one, plus the note band and the button band.
    EXPECT_EQ(TreeRows(GammaOpen, false).ScrollMaximum(0), 446);
    EXPECT_EQ(TreeRows(GammaOpen, true).ScrollMaximum(34), 466 + 20 + 34);
    // Without rows the last row is a 17-pixel row at the note band's height.
    EXPECT_EQ(TreeRows(RowRange{}, true).ScrollMaximum(34), 20 + 20 + 34 + 16);
    EXPECT_EQ(TreeRows(RowRange{}, false).ScrollMaximum(0), 16);
}

} // namespace
