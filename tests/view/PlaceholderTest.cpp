// An accessory or bubble whose content is on its way, or never came, as the person sees it in the
// editing view: its words inside its own frame, big enough to read, and a click on them picks it.
#include "ViewFixture.h"

#include "support/LayerPictures.h"
#include "support/TestPictures.h"

#include "engine/base/TaskList.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"

#include <QTest>

namespace {

constexpr int ReadableHeight = 10;  // view pixels from the top of the tallest letter to the foot of the lowest

class PlaceholderTest : public ViewTest {
protected:
    PlaceholderTest() { SetScene(1600, 1200, 0xFFFFFFFF); }
    // The layer's frame in view pixels.
    QRect Frame(const Layer& layer) const
    {
        const QRect r = DocumentFrame(layer);
        return QRect(ViewPoint({static_cast<float>(r.left()), static_cast<float>(r.top())}),
                     ViewPoint({static_cast<float>(r.right()), static_cast<float>(r.bottom())}));
    }
    // The words are inside the frame and readable, and a click on them selects the layer.
    void ExpectWordsInFrameAndClickable(Layer& layer)
    {
        document.selectedIndex = -1;
        view->OnUpdate(nullptr, HintRedraw, nullptr);
        const QImage shown = Painted();
        SaveForALook(shown, QStringLiteral("placeholder-%1").arg(layer.pendingTask ? "pending" : "failed"));
        const QRect words = DarkBounds(shown);
        const QRect frame = Frame(layer);
        ASSERT_FALSE(words.isEmpty());
        EXPECT_TRUE(frame.contains(words)) << "words " << words.x() << ", " << words.y() << " " << words.width()
                                           << " x " << words.height() << "; frame " << frame.x() << ", "
                                           << frame.y() << " " << frame.width() << " x " << frame.height();
        EXPECT_GE(words.height(), ReadableHeight);
        EXPECT_GT(words.width(), 4 * words.height());  // a line of words, not a dot
        QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, words.center());
        EXPECT_EQ(document.GetSelectedLayer(), &layer);
    }
};

TEST_F(PlaceholderTest, RegressionAPendingOrFailedLayerShowsItsWordsInsideItsFrame)
{
    struct Case {
        const char* name;
        int32_t kind;
        int32_t step;
    } const cases[] = {{"accessory", LayerKindAccessory, StepAccessories}, {"bubble", LayerKindBubble, StepBubble}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document.layers.DeleteAll();
        document.step = c.step;
        // Not in the cache, and no queue to fetch it: it waits until the task list's next tick fails it.
        Layer* layer =
            document.InsertLayer(c.kind, 0, 0, QString(), QStringLiteral("Hat"), 9999, Rect{10, 10, 300, 200});
        ASSERT_NE(layer, nullptr);
        ASSERT_NE(layer->pendingTask, nullptr);
        {
            SCOPED_TRACE("Loading...");
            ExpectWordsInFrameAndClickable(*layer);
        }
        RunTaskList();
        ASSERT_TRUE(layer->LoadFailed());
        {
            SCOPED_TRACE("Load Failed.");
            ExpectWordsInFrameAndClickable(*layer);
        }
    }
}

// On a dark scene the words stand on a white band of their own, inside the frame.
TEST_F(PlaceholderTest, TheWordsCanBeReadOnADarkScene)
{
    SetScene(1600, 1200, 0xFF000000);
    document.step = StepAccessories;
    Layer* layer = document.InsertLayer(LayerKindAccessory, 0, 0, QString(), QStringLiteral("Hat"), 9999, Rect{});
    ASSERT_NE(layer, nullptr);
    RunTaskList();
    view->OnUpdate(nullptr, HintRedraw, nullptr);
    QImage shown = Painted();
    shown.invertPixels();  // the band, light, becomes dark
    const QRect band = DarkBounds(shown);
    EXPECT_TRUE(Frame(*layer).contains(band));
    EXPECT_GE(band.height(), ReadableHeight);
    // Black letters inside the band.
    shown.invertPixels();
    EXPECT_FALSE(DarkBounds(shown.copy(band)).isEmpty());
}

} // namespace
