// The browser widget driven by mouse events: rows that open and close, the bands, choices, scrolling,
// the empty notice, thumbnail polling and what is drawn.
#include "BrowserFixture.h"

#include "library/browser/AccessoryTree.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/SceneTree.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "support/TestPictures.h"
#include "support/WaitUntil.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace browser_layout;

namespace {

using Opened = std::pair<int32_t, int32_t>;  // the open category and subcategory

Opened OpenedIn(const TreeView& view)
{
    return {view.Rows().OpenCategory(), view.Rows().OpenSubcategory()};
}

// The box around the pixels of rows top to bottom - 1, from column left on, darker than mid-grey
// (smoothed text shows its colour in its darkest pixels).
QRect DarkPixels(const QImage& image, int top, int bottom, int left = 0)
{
    QRect box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage Bitmap(int32_t id)
{
    return platform::Resources::Picture(platform::ResourceType::Bitmap, id).convertToFormat(QImage::Format_RGB32);
}

class TreeViewTest : public BrowserTest {
protected:
    TreeViewTest()
    {
        document.step = 15;  // every browser takes input
        WriteIndex("EncList", FourCategories());
        WriteIndex("ThumbsA", FourCategories());
    }
    void WriteGammaThumbnails()  // 7 is missing: without a queue it has failed
    {
        WriteThumbnail("Thumbs", 5, ThumbnailBytes(60, 40, qRgb(0, 0, 255)));
        WriteThumbnail("Thumbs", 6, ThumbnailBytes(130, 100, qRgb(0, 200, 0)));
        WriteThumbnail("Thumbs", 8, ThumbnailBytes(20, 20, qRgb(90, 90, 0)));
    }
};

TEST_F(TreeViewTest, ClicksOpenAndCloseRows)
{
    struct Case {
        const char* what;
        bool scenes;  // the scene browser (note and button bands, Gamma and G1 open) or the accessories
                      // (no bands; Alpha, A1, one thumbnail, A2, Beta, Gamma, Delta)
        int32_t row;  // clicked at its middle; -1 below the rows, -3 five pixels below the button band
        Opened opened;
    };
    const Case cases[] = {
        {"the open category's row closes it", true, GammaRow, {-1, -1}},
        {"another category opens with no subcategory", true, 0, {0, -1}},
        {"the open subcategory's row closes it", true, G1Row, {2, -1}},
        {"another subcategory opens", true, G2Row, {2, 1}},
        {"a category below the open one", true, DeltaRow, {3, -1}},
        {"below the rows everything closes", true, -1, {-1, -1}},
        {"the note band counts as row 0", true, -3, {0, -1}},
        {"a thumbnail changes no row", true, FirstThumbnailRow + 1, {2, 0}},
        {"without bands row 0 starts at the top", false, -3, {-1, -1}},
        {"a category row below the open one", false, 4, {1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<TreeView> view = c.scenes ? std::unique_ptr<TreeView>(Make<SceneTree>())
                                                        : std::unique_ptr<TreeView>(Make<AccessoryTree>());
        if (c.row == -1)
            Click(*view, QPoint(60, view->viewport()->height() - 2));
        else if (c.row == -3)
            Click(*view, QPoint(60, BandOf(*view) + 5));
        else
            ClickRow(*view, c.row);
        EXPECT_EQ(OpenedIn(*view), c.opened);
    }
}

TEST_F(TreeViewTest, TheButtonBandBelongsToTheLoadButton)
{
    auto view = Make<SceneTree>();
    EXPECT_EQ(view->LoadButton()->text(), QStringLiteral("Load scene from PC..."));
    EXPECT_EQ(view->viewport()->childAt(QPoint(100, ButtonBandHeight - 1)), view->LoadButton());
    const Person cancelling(document.journal, QString());
    QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
    EXPECT_EQ(cancelling.titles, QStringList{"Select a face to open"});  // state 15
    EXPECT_EQ(OpenedIn(*view), Opened(2, 0));
    EXPECT_EQ(Make<AccessoryTree>()->LoadButton(), nullptr);
}

TEST_F(TreeViewTest, ScrollStepsGoByRowsAndAChoiceKeepsRowsAndScroll)
{
    auto view = Make<SceneTree>(234);  // a page of 200 below the button band
    QScrollBar* bar = view->verticalScrollBar();
    // The inclusive maximum: the last row's bottom (467) less one, plus the note band again and the
    // button band; the bar's last position shows the page that ends there.
    EXPECT_EQ(bar->maximum(), 466 + 20 + 34 - 200 + 1);
    // Row tops: 20, 37, 54, 71, 88, 203, 318, 433, 450.
    const std::pair<QAbstractSlider::SliderAction, int32_t> steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 37},  // 0 + 17 is still row 0 (the note band is its): row 1
        {QAbstractSlider::SliderSingleStepAdd, 54},
        {QAbstractSlider::SliderPageStepAdd, 203},   // 254 lies in row 5
        {QAbstractSlider::SliderSingleStepAdd, 318},
        {QAbstractSlider::SliderSingleStepSub, 203},
        {QAbstractSlider::SliderPageStepSub, 88},    // 203 + 115 - 201 lies in row 4
        {QAbstractSlider::SliderToMaximum, 321},
        {QAbstractSlider::SliderToMinimum, 0},
    };
    for (const auto& [action, position] : steps) {
        bar->triggerAction(action);
        EXPECT_EQ(view->ScrollPosition(), position) << action;
    }
    bar->setValue(60);
    const RowRange rows = view->Rows().Range();
    ClickRow(*view, FirstThumbnailRow);
    EXPECT_EQ(view->SelectedItem(), 4);
    EXPECT_EQ(view->Rows().Range(), rows);
    EXPECT_EQ(view->ScrollPosition(), 60);
}

// A step down from the end used to land on the last row's top, which lies above the end when the last
// row is taller than the rest of the page: the view scrolled up.
TEST_F(TreeViewTest, RegressionLineDownAndPageDownAtTheBottomDoNotScrollUp)
{
    auto view = Make<AccessoryTree>();
    ClickRow(*view, 6);  // Delta, below the open Alpha
    ClickRow(*view, 4);  // D1: Alpha, Beta, Gamma, Delta, D1 and its one thumbnail from 85 to 199
    ASSERT_EQ(OpenedIn(*view), Opened(3, 0));
    view->resize(ColumnWidth, 100);
    QScrollBar* bar = view->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    ASSERT_EQ(view->ScrollPosition(), 100);
    for (const QAbstractSlider::SliderAction action :
         {QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderPageStepAdd}) {
        bar->triggerAction(action);
        EXPECT_EQ(view->ScrollPosition(), 100) << action;
    }
    // The same with a click on the bar's down arrow, at its foot.
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 3));
    EXPECT_EQ(view->ScrollPosition(), 100);
    // Up from the end still goes by rows: to D1 at 68, above the thumbnail's row that holds 99 and 100.
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, 3));
    EXPECT_EQ(view->ScrollPosition(), 68);
}

TEST_F(TreeViewTest, AnEmptyCatalogueShowsItsNoticeAndIgnoresClicks)
{
    QFile::remove(paths.Get().cacheFolder + QStringLiteral("EncList.txt"));  // no index at all
    WriteIndex("ThumbsA", "<CAT Lonely><SUB Nothing>");                       // an index without items
    for (const std::unique_ptr<TreeView>& view : {std::unique_ptr<TreeView>(Make<SceneTree>(400)),
                                                  std::unique_ptr<TreeView>(Make<AccessoryTree>(400))}) {
        const QImage before = Grab(*view);
        SaveForALook(before, QStringLiteral("browser-empty-") + view->GetCatalog().GetIndexName());
        EXPECT_EQ(before.pixel(5, before.height() - 5), view->palette().color(QPalette::Button).rgb());
        // "Web Directory missing." in the 20 rows above the middle, "(Downloading...)" in the 20 below,
        // each centred; nothing else dark below the button band.
        const int middle = before.height() / 2;
        const QRect first = DarkPixels(before, middle - EmptyTextBandHeight, middle);
        const QRect second = DarkPixels(before, middle, middle + EmptyTextBandHeight);
        ASSERT_GT(first.width(), second.width());
        ASSERT_GT(second.width(), 50);
        for (const QRect& line : {first, second})
            EXPECT_LE(std::abs(line.left() - (before.width() - 1 - line.right())), 2);
        EXPECT_EQ(DarkPixels(before, BandOf(*view), before.height()), first | second);

        const Opened opened = OpenedIn(*view);
        for (const QPoint point : {QPoint(60, BandOf(*view) + 5), QPoint(60, middle), QPoint(60, 390)})
            Click(*view, point);
        EXPECT_EQ(OpenedIn(*view), opened);
        EXPECT_EQ(Grab(*view), before);
        view->OnTimer();
        EXPECT_FALSE(view->IsPolling());
    }
}

TEST_F(TreeViewTest, PollingStopsWhenEveryThumbnailIsInAndGoesOnWithAFailedOne)
{
    WriteGammaThumbnails();
    auto view = Make<SceneTree>();
    view->OnTimer();
    EXPECT_TRUE(view->IsPolling());  // item 7 failed: its placeholder stays, the poll goes on
    ClickRow(*view, G2Row);          // G2's one thumbnail is in the cache
    view->OnTimer();
    EXPECT_FALSE(view->IsPolling());
    ClickRow(*view, G1Row + 1);      // G2's own row now: closed, nothing started
    EXPECT_FALSE(view->IsPolling());
    ClickRow(*view, G1Row);          // opened again: its thumbnails come back through the real timer
    EXPECT_TRUE(WaitUntil([&] {
        QCoreApplication::processEvents();
        const int y = BandOf(*view) + view->Rows().RowTop(FirstThumbnailRow);
        return Grab(*view).pixel(ThumbnailX + 10, y + 10) == qRgb(0, 0, 255);
    }));
}

TEST_F(TreeViewTest, FoldersThumbnailsPlaceholderFrameAndTextsAreDrawnWhereTheyBelong)
{
    WriteGammaThumbnails();
    auto view = Make<SceneTree>(600);
    view->OnTimer();
    ClickRow(*view, FirstThumbnailRow);  // item 4, the blue 60 x 40 picture
    const QImage image = Grab(*view);
    SaveForALook(image, QStringLiteral("browser-rows"));
    auto top = [&](int32_t row) { return ButtonBandHeight + view->Rows().RowTop(row); };
    auto expectAt = [&](const QImage& picture, int x, int y) {
        EXPECT_EQ(image.copy(x, y, picture.width(), picture.height()), picture) << x << "," << y;
    };
    expectAt(Bitmap(platform::ResourceId::FolderClosed), CategoryIconX, top(0));
    expectAt(Bitmap(platform::ResourceId::FolderOpen), CategoryIconX, top(GammaRow));
    expectAt(Bitmap(platform::ResourceId::FolderOpen), SubcategoryIconX, top(G1Row));
    expectAt(Bitmap(platform::ResourceId::FolderClosed), SubcategoryIconX, top(G2Row));
    expectAt(Bitmap(platform::ResourceId::ThumbPlaceholder), ThumbnailX, top(FirstThumbnailRow + 2));
    // The chosen picture: red bars 3 pixels thick inside its width and the cell's 100 rows.
    const int y = top(FirstThumbnailRow);
    const std::pair<QPoint, QRgb> pixels[] = {
        {{40, y}, qRgb(255, 0, 0)},       {{99, y + 2}, qRgb(255, 0, 0)},  {{42, y + 50}, qRgb(255, 0, 0)},
        {{97, y + 99}, qRgb(255, 0, 0)},  {{43, y + 3}, qRgb(0, 0, 255)},  {{96, y + 39}, qRgb(0, 0, 255)},
        {{50, y + 60}, qRgb(255, 255, 255)}, {{100, y + 20}, qRgb(255, 255, 255)},
        {{40, y + 115}, qRgb(0, 200, 0)}, {{169, y + 214}, qRgb(0, 200, 0)},  // the next one, unframed
    };
    for (const auto& [point, colour] : pixels)
        EXPECT_EQ(image.pixel(point), colour) << point.x() << "," << point.y();
    // Titles after their icons; the note and the caption in green within their bands.
    EXPECT_GE(DarkPixels(image, top(0), top(1), 16).left(), CategoryTitleX);
    EXPECT_GE(DarkPixels(image, top(G1Row), top(G1Row + 1), 35).left(), SubcategoryTitleX);
    for (const QRect& band : {QRect(0, ButtonBandHeight, 225, NoteBandHeight), QRect(0, y + 100, 225, 12)}) {
        const QImage text = image.copy(band);
        int green = 0;
        for (int i = 0; i < text.width() * text.height(); ++i) {
            const QRgb pixel = text.pixel(i % text.width(), i / text.width());
            green += qGreen(pixel) > qRed(pixel) + 60 && qGreen(pixel) > qBlue(pixel) + 60;
        }
        EXPECT_GT(green, 20) << band.y();
    }
}

} // namespace
