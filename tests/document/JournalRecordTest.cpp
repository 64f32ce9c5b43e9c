#include "DocumentFixture.h"

#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"

namespace {

using ByteList = std::vector<uint8_t>;

class JournalRecordTest : public DocumentTest {
protected:
    // Three layers A, B, C from the back; the one at selected is selected.
    void ThreeLayers(int32_t selected)
    {
        a = AddLayer(QStringLiteral("Face 1"), LayerFlagsFace, LayerKindFace, 11, QStringLiteral("http://x/a.jpg"));
        b = AddLayer(QStringLiteral("Hat 1"), LayerFlagsAccessory, LayerKindAccessory, 0x1234, QStringLiteral("ab"), 2);
        c = AddLayer(QStringLiteral("Text 1"), LayerFlagsBubble, LayerKindBubble, 7, QStringLiteral("b.emf"));
        document.selectedIndex = selected;
    }

    Layer* a = nullptr;
    Layer* b = nullptr;
    Layer* c = nullptr;
};

// ---- Exact bytes ----

TEST_F(JournalRecordTest, MarkStepAndSelectionBytes)
{
    ThreeLayers(-1);
    document.step = 3;
    journal.AddMark();
    EXPECT_EQ(LastRecord(), (ByteList{0, 0, 0, 0}));
    journal.AddStep(4);
    EXPECT_EQ(LastRecord(), (ByteList{1, 4, 0, 1}));
    journal.AddSelectLayer(1);
    EXPECT_EQ(LastRecord(), (ByteList{2, 2, 0, 2}));
    journal.AddSelectLayer(-1);  // none is recorded as 0
    EXPECT_EQ(LastRecord(), (ByteList{2, 0, 2, 2}));
}

TEST_F(JournalRecordTest, PlacementBytes)
{
    ThreeLayers(0);
    journal.AddRotate(182);
    EXPECT_EQ(LastRecord(), (ByteList{3, 0, 182, 0, 0, 0, 0, 3}));
    journal.AddRotate(40000);  // the same turn as -25536
    EXPECT_EQ(LastRecord(), (ByteList{3, 0, 0x40, 0x9C, 0, 0, 0, 3}));
    journal.AddMove(1.5f, -2.0f);
    EXPECT_EQ(LastRecord(), (ByteList{4, 0, 0, 0, 0, 0, 0xC0, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 4}));
    journal.AddScale(-2.0f, 1.5f);
    EXPECT_EQ(LastRecord(), (ByteList{5, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0xC0, 0x3F, 0, 0, 0, 5}));
    journal.AddCrop(0.25f, 0.5f, -0.25f, -0.5f, 1.0f, 2.0f);
    EXPECT_EQ(LastRecord(), (ByteList{6, 0, 0, 0,    0, 0, 0x80, 0x3E, 0, 0, 0, 0x3F, 0, 0, 0x80, 0xBE,
                                      0, 0, 0, 0xBF, 0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0,    6}));
    journal.AddReorder(0);
    EXPECT_EQ(LastRecord(), (ByteList{7, 0, 0, 7}));
    journal.AddReorder(2);
    EXPECT_EQ(LastRecord(), (ByteList{7, 2, 0, 7}));
    journal.AddReorder(-1);
    EXPECT_EQ(LastRecord(), (ByteList{7, 0xFF, 0, 7}));
}

TEST_F(JournalRecordTest, ColourBytes)
{
    ThreeLayers(0);
    journal.AddColor(100, -200, 300, -50, 70);
    EXPECT_EQ(LastRecord(), (ByteList{14, 0, 0xCE, 0xFF, 100, 0, 0, 0, 0x38, 0xFF, 0xFF, 0xFF, 0x2C, 0x01, 0, 0,
                                      70, 0, 0, 14}));
}

TEST_F(JournalRecordTest, PixelBlocksAreCutFromAStridedBuffer)
{
    // A 5-pixel-wide delta buffer holding its own offsets.
    std::vector<uint8_t> delta(25);
    for (size_t i = 0; i < delta.size(); ++i)
        delta[i] = static_cast<uint8_t>(i + 1);

    ASSERT_TRUE(journal.AddPixels(Rect{1, 1, 1, 1}, delta.data(), 5, 3));
    EXPECT_EQ(LastRecord(), (ByteList{8, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                      1, 0, 0, 0, 1, 0, 0, 0, 7, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 8}));

    ASSERT_TRUE(journal.AddPixels(Rect{1, 2, 2, 3}, delta.data(), 5, 0));
    EXPECT_EQ(LastRecord(), (ByteList{8, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0,
                                      2, 0, 0, 0, 3, 0, 0, 0, 12, 13, 17, 18, 40, 0, 0, 0, 0, 0, 0, 8}));

    ASSERT_TRUE(journal.AddPixels(Rect{2, 0, 4, 2}, delta.data(), 5, 1));
    EXPECT_EQ(LastRecord(), (ByteList{8,  0,  0,  0,  48, 0,  0,  0,  1, 0, 0, 0, 2,  0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0,
                                      2, 0, 0, 0, 3, 4, 5, 8, 9, 10, 13, 14, 15, 0, 0, 0, 48, 0, 0, 0, 0, 0, 0, 8}));
    EXPECT_EQ(journal.GetPosition(), 128);
}

TEST_F(JournalRecordTest, PixelRecordsAreRefusedWhenTheyDescribeNoBlock)
{
    const uint8_t delta[16] = {};
    EXPECT_FALSE(journal.AddPixels(Rect{1, 1, 0, 1}, delta, 4, 0));   // no column
    EXPECT_FALSE(journal.AddPixels(Rect{0, 0, 1, 1}, delta, 1, 0));   // rows shorter than the block
    EXPECT_FALSE(journal.AddPixels(Rect{-1, 0, 1, 1}, delta, 4, 0));  // before the buffer
    EXPECT_FALSE(journal.AddPixels(Rect{0, 0, 1, 1}, nullptr, 4, 0));
    EXPECT_FALSE(journal.AddPixels(Rect{0, 0, 1, 1}, delta, 4, -1));
    EXPECT_EQ(journal.GetEnd(), 0);
}

TEST_F(JournalRecordTest, DeletionAndRemovalBytesDifferOnlyInTheOrderOfTagAndIndex)
{
    ThreeLayers(-1);
    ASSERT_TRUE(journal.AddDeleteLayer(1));
    EXPECT_EQ(LastRecord(), (ByteList{11, 1, 20, 0, 0x34, 0x12, 2, 1, 'a', 0, 'b', 0, 0, 0, 0, 0, 20, 0, 0, 11}));
    journal.Undo();
    ASSERT_TRUE(journal.AddRemoveLayer(1));
    EXPECT_EQ(LastRecord(), (ByteList{12, 1, 20, 0, 0x34, 0x12, 1, 2, 'a', 0, 'b', 0, 0, 0, 0, 0, 20, 0, 0, 12}));
}

// ---- Performing and reverting ----

TEST_F(JournalRecordTest, StepRecordsMoveTheWizardAndBack)
{
    document.step = 4;
    ASSERT_TRUE(journal.AddStep(5));
    EXPECT_EQ(document.step, 6);  // 5 is only an entry
    EXPECT_EQ(LastRecord(), (ByteList{1, 5, 0, 1}));
    journal.Undo();
    EXPECT_EQ(document.step, 4);
    journal.Redo();
    EXPECT_EQ(document.step, 6);
}

TEST_F(JournalRecordTest, SelectionRecordsSelectAndRefreshThePanel)
{
    ThreeLayers(-1);
    shell.calls.clear();
    ASSERT_TRUE(journal.AddSelectLayer(2));
    EXPECT_EQ(document.selectedIndex, 2);
    EXPECT_EQ(shell.calls, (QStringList{"SelectLayer 2", "UpdateDialogControls", "FillList 3", "SelectLayer 2"}));
    shell.calls.clear();
    journal.Undo();  // back to none, without refilling the panel
    EXPECT_EQ(document.selectedIndex, -1);
    EXPECT_EQ(shell.calls, (QStringList{"SelectLayer -1", "UpdateDialogControls"}));
}

TEST_F(JournalRecordTest, EveryPlacementKindIsRestoredExactly)
{
    ThreeLayers(1);
    b->position = {10, 20};
    b->angle = 10;
    ExpectUndoRedoRestores([&] { return journal.AddRotate(-20); });
    journal.Redo();
    EXPECT_EQ(b->angle, 65526);  // wrapped
    journal.Undo();
    ExpectUndoRedoRestores([&] { return journal.AddRotate(65000); });
    ExpectUndoRedoRestores([&] { return journal.AddMove(2.5f, -0.75f); });
    ExpectUndoRedoRestores([&] { return journal.AddScale(-2.0f, 0.5f); });
    ExpectUndoRedoRestores([&] { return journal.AddCrop(0.25f, 0.125f, -0.25f, -0.5f, 3.0f, -4.0f); });
    ExpectUndoRedoRestores([&] { return journal.AddColor(500, -600, 700, -80, 90); });
    EXPECT_EQ(a->position, (PointF{0, 0}));
    EXPECT_EQ(c->position, (PointF{0, 0}));
}

TEST_F(JournalRecordTest, PlacementRecordsActOnTheSelectedLayer)
{
    ThreeLayers(2);
    journal.AddMove(3, 4);
    journal.AddColor(1, 2, 3, 4, 5);
    EXPECT_EQ(c->position, (PointF{3, 4}));
    EXPECT_EQ(c->redGamma, 10001);
    EXPECT_EQ(c->greenGamma, 10002);
    EXPECT_EQ(c->blueGamma, 10003);
    EXPECT_EQ(c->brightness, 4);
    EXPECT_EQ(c->contrast, 5);
    EXPECT_EQ(a->position, (PointF{0, 0}));
}

TEST_F(JournalRecordTest, ReorderMovesTheSelectedLayerAndItsSelection)
{
    ThreeLayers(0);
    ExpectUndoRedoRestores([&] { return journal.AddReorder(2); });
    journal.Redo();
    EXPECT_EQ(document.layers.GetAt(0), b);
    EXPECT_EQ(document.layers.GetAt(1), c);
    EXPECT_EQ(document.layers.GetAt(2), a);
    EXPECT_EQ(document.selectedIndex, 2);
    EXPECT_FALSE(journal.AddReorder(1));  // past the front
    EXPECT_FALSE(journal.AddReorder(-3));
    EXPECT_TRUE(journal.AddReorder(-2));
    EXPECT_EQ(document.layers.GetAt(0), a);
}

TEST_F(JournalRecordTest, ADeletedLayerIsParkedAndRestoredByUndo)
{
    ThreeLayers(2);
    ExpectUndoRedoRestores([&] { return journal.AddDeleteLayer(1); });
    journal.Redo();
    EXPECT_EQ(document.layers.GetCount(), 2);
    EXPECT_EQ(document.parkedLayers.GetAt(0), b);  // the same layer, not a copy
    EXPECT_EQ(document.selectedIndex, 1);          // still on C
    journal.Undo();
    EXPECT_EQ(document.layers.GetAt(1), b);
    EXPECT_TRUE(document.parkedLayers.IsEmpty());
    EXPECT_EQ(document.selectedIndex, 2);
}

TEST_F(JournalRecordTest, UndoingTheDeletionOfTheFirstLayerPutsItFirstAgain)
{
    ThreeLayers(0);
    journal.AddDeleteLayer(0);
    EXPECT_EQ(document.selectedIndex, 0);  // the next layer moved into place
    EXPECT_EQ(document.GetSelectedLayer(), b);
    journal.Undo();
    EXPECT_EQ(document.layers.GetAt(0), a);
    EXPECT_EQ(document.selectedIndex, 1);  // the selection at 0 or above moves up
}

TEST_F(JournalRecordTest, ParkedLayersComeBackInTheOrderTheyLeft)
{
    // Two deletions of layers with the same identity: each undo brings back its own layer.
    a = AddLayer(QStringLiteral("Face 1"), LayerFlagsFace, LayerKindFace, 1, QStringLiteral("p"));
    b = AddLayer(QStringLiteral("Face 2"), LayerFlagsFace, LayerKindFace, 1, QStringLiteral("p"));
    journal.AddDeleteLayer(1);
    journal.AddDeleteLayer(0);
    EXPECT_TRUE(document.layers.IsEmpty());
    journal.Undo();
    EXPECT_EQ(document.layers.GetAt(0), a);
    journal.Undo();
    EXPECT_EQ(document.layers.GetAt(1), b);
}

TEST_F(JournalRecordTest, ParkedLayersAreFreedWithTheContents)
{
    ThreeLayers(-1);
    journal.AddDeleteLayer(0);
    journal.AddDeleteLayer(0);
    EXPECT_EQ(document.parkedLayers.GetCount(), 2);
    document.DeleteContents();
    EXPECT_TRUE(document.parkedLayers.IsEmpty());
    EXPECT_TRUE(document.layers.IsEmpty());
}

TEST_F(JournalRecordTest, ARemovalDestroysTheLayerAndKeepsTheSelectionOnItsLayer)
{
    ThreeLayers(2);
    ASSERT_TRUE(journal.AddRemoveLayer(0));
    EXPECT_EQ(document.layers.GetCount(), 2);
    EXPECT_EQ(document.layers.GetAt(0), b);
    EXPECT_EQ(document.selectedIndex, 1);
    EXPECT_TRUE(document.parkedLayers.IsEmpty());
}

// ---- Field widths ----

TEST_F(JournalRecordTest, RegressionFieldsThatDoNotFitRefuseTheRecord)
{
    ThreeLayers(0);
    document.step = 2;
    EXPECT_FALSE(journal.AddStep(256));
    EXPECT_FALSE(journal.AddStep(-1));
    EXPECT_FALSE(journal.AddSelectLayer(255));  // kept plus one in a byte
    EXPECT_FALSE(journal.AddSelectLayer(-2));
    EXPECT_FALSE(journal.AddReorder(128));
    EXPECT_FALSE(journal.AddColor(0, 0, 0, 40000, 0));
    EXPECT_FALSE(journal.AddColor(0, 0, 0, 0, -32769));
    b->number = 65536;
    EXPECT_FALSE(journal.AddDeleteLayer(1));
    EXPECT_FALSE(journal.AddRemoveLayer(1));
    b->number = 1;
    b->tag = 256;
    EXPECT_FALSE(journal.AddDeleteLayer(1));
    b->tag = 0;
    b->path = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_FALSE(journal.AddDeleteLayer(1));  // the terminator would cut the path
    EXPECT_EQ(journal.GetEnd(), 0);
    EXPECT_EQ(hints.redraws, 0);
    EXPECT_EQ(document.step, 2);

    EXPECT_TRUE(journal.AddColor(0, 0, 0, -32768, 32767));
    EXPECT_TRUE(journal.AddSelectLayer(254));
    EXPECT_EQ(LastRecord(), (ByteList{2, 255, 1, 2}));
}

TEST_F(JournalRecordTest, RegressionAnOldSelectionThatDoesNotFitRefusesTheRecord)
{
    ThreeLayers(300);
    EXPECT_FALSE(journal.AddSelectLayer(0));
    EXPECT_EQ(document.selectedIndex, 300);
    EXPECT_EQ(journal.GetEnd(), 0);
}

TEST_F(JournalRecordTest, RegressionIndexesBeyondAByteRefuseDeletion)
{
    for (int i = 0; i < 257; ++i)
        AddLayer(QStringLiteral("Face %1").arg(i));
    EXPECT_FALSE(journal.AddDeleteLayer(256));
    EXPECT_FALSE(journal.AddRemoveLayer(256));
    EXPECT_TRUE(journal.AddDeleteLayer(255));
    EXPECT_EQ(LastRecord()[7], 255);
}

// ---- Missing targets ----

TEST_F(JournalRecordTest, RegressionRecordsForTheSelectedLayerNeedOne)
{
    ThreeLayers(-1);
    EXPECT_FALSE(journal.AddRotate(1));
    EXPECT_FALSE(journal.AddMove(1, 1));
    EXPECT_FALSE(journal.AddScale(1, 1));
    EXPECT_FALSE(journal.AddCrop(0, 0, 0, 0, 1, 1));
    EXPECT_FALSE(journal.AddReorder(1));
    EXPECT_FALSE(journal.AddColor(1, 1, 1, 1, 1));
    EXPECT_FALSE(journal.AddSetText(QStringLiteral("x")));
    document.selectedIndex = 3;  // past the end: no layer is selected
    EXPECT_FALSE(journal.AddMove(1, 1));
    EXPECT_FALSE(journal.AddDeleteLayer(3));
    EXPECT_FALSE(journal.AddRemoveLayer(-1));
    EXPECT_EQ(journal.GetEnd(), 0);
}

TEST_F(JournalRecordTest, RegressionARecordWhoseTargetIsGoneDoesNothing)
{
    ThreeLayers(0);
    journal.AddMove(5, 5);
    journal.AddReorder(1);
    journal.AddColor(1, 1, 1, 1, 1);
    document.selectedIndex = 7;  // as a damaged project file could leave it
    const QString before = Describe(document);
    journal.Undo();
    journal.Undo();
    journal.Undo();
    journal.Redo();
    EXPECT_EQ(Describe(document), before);

    // A deletion whose parked layer has gone, and a pixel record for a layer that is not there.
    document.selectedIndex = -1;
    journal.AddDeleteLayer(0);
    document.parkedLayers.DeleteAll();
    const uint8_t delta[4] = {};
    journal.AddPixels(Rect{0, 0, 1, 1}, delta, 2, 9);
    const QString afterDeletion = Describe(document);
    journal.Undo();
    journal.Undo();
    EXPECT_EQ(Describe(document), afterDeletion);
    journal.Redo();
    journal.Redo();
    EXPECT_EQ(Describe(document), afterDeletion);
}

} // namespace
