// The browser widget driven by mouse events: rows that open and close, the note and button bands,
// choices, scrolling, the empty notice, thumbnail polling and what is drawn.
#include "BrowserFixture.h"

#include "library/browser/AccessoryTree.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/SceneTree.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/ModalHost.h"
#include "support/WaitUntil.h"

#include <QDialog>

#include <functional>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace browser_layout;

namespace {

struct Opened {
    int32_t category;
    int32_t subcategory;
    friend bool operator==(const Opened&, const Opened&) = default;
};

Opened OpenedIn(const TreeView& view)
{
    return {view.Rows().OpenCategory(), view.Rows().OpenSubcategory()};
}

// The smallest rectangle around the pixels of the area that pass the test.
QRect PixelsWhere(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    QRect box;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (test(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Text is drawn with smoothed edges: its colour shows in the darkest or greenest pixels.
QRect DarkPixels(const QImage& image, int top, int bottom, int left = 0)
{
    return PixelsWhere(image, QRect(left, top, image.width() - left, bottom - top),
                       [](QRgb pixel) { return qGray(pixel) < 128; });
}

QRect GreenTextPixels(const QImage& image, const QRect& area)
{
    return PixelsWhere(image, area, [](QRgb pixel) {
        return qGreen(pixel) >= 100 && qGreen(pixel) <= 200 && qRed(pixel) < qGreen(pixel) - 40 &&
               qBlue(pixel) < qGreen(pixel) - 40;
    });
}

bool HasColour(const QImage& image, const QRect& area, QRgb colour)
{
    return !PixelsWhere(image, area, [colour](QRgb pixel) { return pixel == colour; }).isEmpty();
}

class TreeViewTest : public BrowserTest {
protected:
    TreeViewTest() { document.step = 15; }  // every browser takes input

    void WriteGammaThumbnails()
    {
        WriteThumbnail("Thumbs", 5, ThumbnailBytes(60, 40, qRgb(0, 0, 255)));
        WriteThumbnail("Thumbs", 6, ThumbnailBytes(130, 100, qRgb(0, 200, 0)));
        // 7 is in no cache and, without a queue, failed.
        WriteThumbnail("Thumbs", 8, ThumbnailBytes(20, 20, qRgb(90, 90, 0)));
    }
};

TEST_F(TreeViewTest, ClicksOpenAndCloseRows)
{
    WriteIndex("EncList", FourCategories());
    WriteIndex("ThumbsA", FourCategories());
    struct Case {
        const char* what;
        bool scenes;      // the scene browser (note and button bands) or the accessory one
        int32_t row;      // clicked at its middle; -1 below the rows, -3 5 pixels below the button band
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
        // The accessory browser opens category 0 and its first subcategory: Alpha, A1, a thumbnail, A2,
        // Beta, Gamma, Delta.
        {"without bands row 0 starts at the top", false, -3, {-1, -1}},
        {"a category row below the open one", false, 4, {1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TreeView> view;
        if (c.scenes)
            view = Make<SceneTree>();
        else
            view = Make<AccessoryTree>();
        if (c.row == -1)
            Click(*view, QPoint(60, view->viewport()->height() - 2));
        else if (c.row == -3)
            Click(*view, QPoint(60, BandOf(*view) + 5));
        else
            ClickRow(*view, c.row);
        EXPECT_EQ(OpenedIn(*view), c.opened) << OpenedIn(*view).category << "," << OpenedIn(*view).subcategory;
    }
}

TEST_F(TreeViewTest, AClosedSubcategoryOpensAgain)
{
    WriteIndex("EncList", FourCategories());
    auto view = Make<SceneTree>();
    ClickRow(*view, G1Row);
    EXPECT_EQ(OpenedIn(*view), (Opened{2, -1}));
    EXPECT_EQ(view->Rows().TotalRows(), 6);
    ClickRow(*view, G1Row);
    EXPECT_EQ(OpenedIn(*view), (Opened{2, 0}));
    EXPECT_EQ(view->Rows().Range(), (RowRange{9, 3, 2, 4, 3}));
}

TEST_F(TreeViewTest, TheButtonBandBelongsToTheLoadButton)
{
    WriteIndex("EncList", FourCategories());
    auto view = Make<SceneTree>();
    ASSERT_NE(view->LoadButton(), nullptr);
    EXPECT_EQ(view->LoadButton()->text(), QStringLiteral("Load scene from PC..."));
    EXPECT_EQ(view->LoadButton()->geometry(), QRect(0, 0, view->viewport()->width(), ButtonBandHeight));
    EXPECT_EQ(view->viewport()->childAt(QPoint(100, 10)), view->LoadButton());
    EXPECT_EQ(view->RowAtPoint(QPoint(100, 10)), -2);

    QStringList titles;
    const platform::ModalHost::ScopedAnswerer person([&](QDialog& dialog) {
        titles << dialog.windowTitle();
        return int{QDialog::Rejected};
    });
    QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
    EXPECT_EQ(titles, QStringList{"Select a face to open"});  // state 15
    EXPECT_EQ(OpenedIn(*view), (Opened{2, 0}));
    view->SetLoadButtonText(QStringLiteral("Load face from PC..."));
    EXPECT_EQ(view->LoadButton()->text(), QStringLiteral("Load face from PC..."));
    EXPECT_EQ(Make<AccessoryTree>()->LoadButton(), nullptr);
}

TEST_F(TreeViewTest, ChoosingAThumbnailKeepsTheRowsAndTheScroll)
{
    WriteIndex("EncList", FourCategories());
    auto view = Make<SceneTree>(200);
    view->verticalScrollBar()->setValue(60);
    ASSERT_EQ(view->ScrollPosition(), 60);
    const RowRange before = view->Rows().Range();
    ClickRow(*view, FirstThumbnailRow);
    EXPECT_EQ(view->SelectedItem(), 4);  // item 4 of the catalogue, number 5
    EXPECT_EQ(view->Rows().Range(), before);
    EXPECT_EQ(view->ScrollPosition(), 60);
}

TEST_F(TreeViewTest, ScrollBarStepsGoByRowsWithinThePartsMaximum)
{
    WriteIndex("EncList", FourCategories());
    auto view = Make<SceneTree>(234);  // a page of 200 below the button band
    QScrollBar* bar = view->verticalScrollBar();
    // Inclusive maximum 520 (see TreeRowsTest) less a page of 200, plus one.
    EXPECT_EQ(bar->maximum(), 321);
    EXPECT_EQ(bar->pageStep(), 200);
    struct Step {
        QAbstractSlider::SliderAction action;
        int32_t position;
    };
    // Row tops: 20, 37, 54, 71, 88, 203, 318, 433, 450.
    const Step steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 37},  // from 0 (row 0): to 17 is still row 0, so row 1
        {QAbstractSlider::SliderSingleStepAdd, 54},
        {QAbstractSlider::SliderPageStepAdd, 203},   // 254 lies in row 5
        {QAbstractSlider::SliderSingleStepAdd, 318},
        {QAbstractSlider::SliderSingleStepSub, 203},
        {QAbstractSlider::SliderPageStepSub, 88},    // 203 + 115 - 201 = 117 lies in row 4
        {QAbstractSlider::SliderToMaximum, 321},
        {QAbstractSlider::SliderToMinimum, 0},
    };
    for (const Step& step : steps) {
        bar->triggerAction(step.action);
        EXPECT_EQ(view->ScrollPosition(), step.position) << step.action;
    }
}

TEST_F(TreeViewTest, AnEmptyCatalogueShowsItsNoticeAndIgnoresClicks)
{
    // No index file for the scenes, an index without items for the accessories.
    WriteIndex("ThumbsA", "<CAT Lonely><SUB Nothing>");
    const std::unique_ptr<TreeView> views[] = {Make<SceneTree>(400), Make<AccessoryTree>(400)};
    for (const std::unique_ptr<TreeView>& view : views) {
        const QImage before = Grab(*view);
        view->grab().save(QStringLiteral("/tmp/browser-empty-%1.png").arg(view->GetCatalog().GetIndexName()));
        const int middle = before.height() / 2;
        const QRgb face = view->palette().color(QPalette::Button).rgb();
        EXPECT_EQ(before.pixel(5, before.height() - 5), face);
        EXPECT_EQ(before.pixel(before.width() - 1, BandOf(*view)), face);
        // "Web Directory missing." in the 20 pixels above the middle, "(Downloading...)" in the 20 below,
        // each centred; nothing dark anywhere else below the button band.
        const QRect first = DarkPixels(before, middle - EmptyTextBandHeight, middle);
        const QRect second = DarkPixels(before, middle, middle + EmptyTextBandHeight);
        ASSERT_FALSE(first.isEmpty());
        ASSERT_FALSE(second.isEmpty());
        EXPECT_GT(first.width(), second.width());  // the longer line
        for (const QRect& line : {first, second})
            EXPECT_LE(std::abs(line.left() - (before.width() - 1 - line.right())), 2) << "centred";
        EXPECT_TRUE(DarkPixels(before, BandOf(*view), middle - EmptyTextBandHeight).isEmpty());
        EXPECT_TRUE(DarkPixels(before, middle + EmptyTextBandHeight, before.height()).isEmpty());

        const Opened opened = OpenedIn(*view);
        for (const QPoint point : {QPoint(60, BandOf(*view) + 5), QPoint(60, middle), QPoint(60, 390)})
            Click(*view, point);
        EXPECT_EQ(OpenedIn(*view), opened);
        EXPECT_EQ(document.journal.GetEnd(), 0);
        EXPECT_EQ(Grab(*view), before);
        view->OnTimer();
        EXPECT_FALSE(view->IsPolling());  // no subcategory open: nothing to wait for
    }
}

TEST_F(TreeViewTest, PollingStopsWhenEveryThumbnailIsInAndGoesOnWithAFailedOne)
{
    WriteIndex("EncList", FourCategories());
    WriteGammaThumbnails();
    auto view = Make<SceneTree>();
    EXPECT_TRUE(view->IsPolling());
    view->OnTimer();
    EXPECT_TRUE(view->IsPolling());  // item 7 failed: its placeholder stays, the poll goes on
    ClickRow(*view, G2Row);          // G2's one thumbnail is in the cache
    EXPECT_TRUE(view->IsPolling());
    view->OnTimer();
    EXPECT_FALSE(view->IsPolling());
    ClickRow(*view, G1Row + 1);      // G2's own row now: closed, nothing to poll, nothing started
    EXPECT_FALSE(view->IsPolling());
    ClickRow(*view, G1Row);
    EXPECT_TRUE(view->IsPolling());
    // The real timer polls too.
    EXPECT_TRUE(WaitUntil([&] {
        QCoreApplication::processEvents();
        return HasColour(Grab(*view), QRect(ThumbnailX, BandOf(*view) + view->Rows().RowTop(FirstThumbnailRow), 60, 40),
                         qRgb(0, 0, 255));
    }));
}

TEST_F(TreeViewTest, RowsThumbnailsAndTheChosenFrameAreDrawnWhereTheyBelong)
{
    WriteIndex("EncList", FourCategories());
    WriteGammaThumbnails();
    auto view = Make<SceneTree>(600);
    view->OnTimer();
    ClickRow(*view, FirstThumbnailRow);  // item 4, the blue 60 x 40 one
    const QImage image = Grab(*view);
    image.save(QStringLiteral("/tmp/browser-rows.png"));
    const int band = ButtonBandHeight;
    const TreeRows& rows = view->Rows();
    auto expectPicture = [&](const QImage& picture, int x, int y, const char* what) {
        const QImage expected = picture.convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(image.copy(x, y, expected.width(), expected.height()), expected) << what;
    };
    const QImage closed = platform::Resources::Picture(platform::ResourceType::Bitmap, platform::ResourceId::FolderClosed);
    const QImage open = platform::Resources::Picture(platform::ResourceType::Bitmap, platform::ResourceId::FolderOpen);
    const QImage placeholder =
        platform::Resources::Picture(platform::ResourceType::Bitmap, platform::ResourceId::ThumbPlaceholder);
    expectPicture(closed, CategoryIconX, band + rows.RowTop(0), "Alpha's closed folder");
    expectPicture(open, CategoryIconX, band + rows.RowTop(GammaRow), "Gamma's open folder");
    expectPicture(open, SubcategoryIconX, band + rows.RowTop(G1Row), "G1's open folder");
    expectPicture(closed, SubcategoryIconX, band + rows.RowTop(G2Row), "G2's closed folder");
    expectPicture(placeholder, ThumbnailX, band + rows.RowTop(FirstThumbnailRow + 2), "item 7 failed");

    // The chosen 60 x 40 picture: red bars 3 pixels thick around its width and the cell's 100 rows.
    const int y = band + rows.RowTop(FirstThumbnailRow);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255);
    for (const QPoint p : {QPoint(40, y), QPoint(99, y + 2), QPoint(42, y + 50), QPoint(97, y + 99), QPoint(60, y + 97)})
        EXPECT_EQ(image.pixel(p), red) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(43, y + 3), QPoint(96, y + 39)})
        EXPECT_EQ(image.pixel(p), blue) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(50, y + 60), QPoint(100, y + 20), QPoint(39, y + 20)})
        EXPECT_EQ(image.pixel(p), white) << p.x() << "," << p.y();
    // The unchosen green one is a full cell with no frame.
    const int green = band + rows.RowTop(FirstThumbnailRow + 1);
    EXPECT_EQ(image.pixel(40, green), qRgb(0, 200, 0));
    EXPECT_EQ(image.pixel(169, green + 99), qRgb(0, 200, 0));
    // The note and the captions are green, in their bands; the titles black, after the icons.
    const QRect note = GreenTextPixels(image, QRect(0, band, image.width(), NoteBandHeight));
    EXPECT_FALSE(note.isEmpty());
    EXPECT_GE(note.width(), 150);  // a long line
    const QRect caption = GreenTextPixels(image, QRect(0, y + 100, image.width(), 15));
    EXPECT_FALSE(caption.isEmpty());
    EXPECT_GE(caption.left(), ThumbnailX);
    EXPECT_LT(caption.bottom(), y + CaptionBottom);
    EXPECT_FALSE(DarkPixels(image, band + rows.RowTop(0), band + rows.RowTop(1), CategoryTitleX).isEmpty());
    EXPECT_FALSE(DarkPixels(image, band + rows.RowTop(G1Row), band + rows.RowTop(G1Row + 1), SubcategoryTitleX).isEmpty());
}

TEST_F(TreeViewTest, EveryHintSetsTheEnablingButOnlyLowHintsRepaint)
{
    WriteIndex("ThumbsA", FourCategories());
    auto view = Make<AccessoryTree>();
    QCoreApplication::processEvents();
    struct PaintCounter : QObject {
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
        int paints = 0;
    } counter;
    view->viewport()->installEventFilter(&counter);
    enum class Paint { None, Some, Either };  // Either: the enabling changed, which repaints by itself
    struct Case {
        int32_t state;
        int32_t hint;
        bool enabled;
        Paint paint;
    };
    const Case cases[] = {
        {10, 0, false, Paint::Either}, {11, 100, true, Paint::Either}, {12, 101, true, Paint::None},
        {12, 100, true, Paint::None},  {12, 99, true, Paint::Some},    {13, 100, false, Paint::Either},
        {14, 101, false, Paint::None}, {15, 101, true, Paint::Either}, {16, 0, true, Paint::Some},
        {-1, 100, false, Paint::Either},
    };
    for (const Case& c : cases) {
        document.step = c.state;
        counter.paints = 0;
        document.UpdateAllViews(nullptr, c.hint);
        QCoreApplication::processEvents();
        EXPECT_EQ(view->isEnabled(), c.enabled) << c.state;
        if (c.paint == Paint::None)
            EXPECT_EQ(counter.paints, 0) << c.state << " " << c.hint;
        if (c.paint == Paint::Some)
            EXPECT_GT(counter.paints, 0) << c.state << " " << c.hint;
    }
}

} // namespace
