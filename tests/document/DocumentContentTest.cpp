#include "DocumentFixture.h"

#include "engine/base/AppPaths.h"
#include "engine/document/JournalKind.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerText.h"
#include "platform/PathJoin.h"

namespace {

using ByteList = std::vector<uint8_t>;

class DocumentContentTest : public DocumentTest {};

TEST_F(DocumentContentTest, ANewProjectShowsTheStartUpPictureAtStepZero)
{
    WriteScrambledPicture(platform::JoinPath(paths.Get().resourceFolder, QStringLiteral("welcome.bki")), 1024, 8);
    document.brushSize = 48;
    document.startPromptShown = true;
    AddLayer(QStringLiteral("Face 1"));
    ASSERT_TRUE(document.NewDocument());
    ASSERT_NE(document.scene, nullptr);
    EXPECT_EQ(document.scene->kind, LayerKindOwnFile);
    EXPECT_EQ(document.scene->number, 0);
    EXPECT_EQ(document.scene->path, platform::JoinPath(paths.Get().resourceFolder, QStringLiteral("welcome.bki")));
    EXPECT_EQ(document.scene->flags, LayerFlagsBackground);
    EXPECT_EQ(document.scene->size, (PointF{1024, 8}));  // loaded at once
    EXPECT_TRUE(document.layers.IsEmpty());
    EXPECT_EQ(document.selectedIndex, -1);
    EXPECT_EQ(document.step, StepStart);
    EXPECT_EQ(document.brushSize, 32);
    EXPECT_FALSE(document.startPromptShown);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.GetTitle(), QStringLiteral("Untitled"));
    EXPECT_FALSE(journal.CanUndo());
}

TEST_F(DocumentContentTest, ChoosingAnotherSceneAtStepTwoGoesBackQuietly)
{
    // A scene photo in the cache loads at once and is promoted to layer 0 in front of its background.
    WritePicture(platform::JoinPath(paths.Get().cacheFolder, QStringLiteral("Scenes/5.jpg")), 1024, 8);
    document.step = StepChooseScene;
    ASSERT_TRUE(journal.AddNewScene(QStringLiteral("http://server/5.jpg"), 5));
    EXPECT_EQ(document.step, StepSceneChosen);
    ASSERT_EQ(document.layers.GetCount(), 1);
    Layer* photo = document.layers.GetAt(0);
    EXPECT_EQ(photo->kind, LayerKindScene);
    EXPECT_EQ(photo->name, QStringLiteral("Scene"));
    EXPECT_EQ(photo->flags, LayerFlagsScenePhoto);
    EXPECT_EQ(document.scene->kind, LayerKindBackground);
    EXPECT_EQ(document.scene->number, 5);

    shell.calls.clear();
    ASSERT_TRUE(journal.AddNewScene(QStringLiteral("http://server/6.jpg"), 6));
    EXPECT_EQ(document.step, StepChooseScene);
    EXPECT_TRUE(shell.calls.contains(QStringLiteral("SetStepBarStep 1 1")));  // no tip
    EXPECT_TRUE(document.layers.IsEmpty());  // the promoted photo is gone
    EXPECT_EQ(document.scene->kind, LayerKindScene);  // still downloading: not promoted
    EXPECT_EQ(document.scene->name, QStringLiteral("Scene"));
    EXPECT_EQ(document.scene->flags, LayerFlagsScenePhoto);
}

TEST_F(DocumentContentTest, NewSceneRecordsBothScenesAndUndoBringsTheOldOneBack)
{
    document.NewScene(0, QStringLiteral("a"), false);
    ASSERT_TRUE(journal.AddNewScene(QStringLiteral("bc"), 0x01020304));
    // 16 + 4 + 6 = 26, padded to 28.
    EXPECT_EQ(LastRecord(), (ByteList{9, 0, 28, 0, 0, 0, 0, 0, 4, 3, 2, 1, 'a', 0, 0, 0,
                                      'b', 0, 'c', 0, 0, 0, 0, 0, 28, 0, 0, 9}));
    EXPECT_EQ(document.scene->number, 0x01020304);
    EXPECT_EQ(document.scene->path, QStringLiteral("bc"));
    journal.Undo();
    EXPECT_EQ(document.scene->number, 0);
    EXPECT_EQ(document.scene->path, QStringLiteral("a"));
    journal.Redo();
    // Brought back, the photo that is not there waits at the back of the list, in front of its
    // background, where the records after it expect it.
    ASSERT_EQ(document.layers.GetCount(), 1);
    EXPECT_EQ(document.layers.GetAt(0)->path, QStringLiteral("bc"));
    EXPECT_EQ(document.layers.GetAt(0)->kind, LayerKindScene);
    EXPECT_EQ(document.scene->kind, LayerKindBackground);
    EXPECT_EQ(document.scene->number, 0x01020304);
    journal.Undo();
    EXPECT_EQ(document.scene->path, QStringLiteral("a"));
    EXPECT_TRUE(document.layers.IsEmpty());
}

TEST_F(DocumentContentTest, RegressionANewSceneWithoutASceneRecordsNumberZeroAndNoPath)
{
    ASSERT_EQ(document.scene, nullptr);
    ASSERT_TRUE(journal.AddNewScene(QStringLiteral("x"), 3));
    EXPECT_EQ(LastRecord(), (ByteList{9, 0, 24, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 'x', 0, 0, 0, 0, 0, 24, 0, 0, 9}));
    ASSERT_NE(document.scene, nullptr);
    journal.Undo();
    EXPECT_EQ(document.scene, nullptr);  // back to no scene
}

TEST_F(DocumentContentTest, InsertionKeepsTheSelectionOnItsLayer)
{
    Layer* first = document.InsertLayer(LayerKindOwnFile, 0, 0, Picture("f.png"), QString(), 0, Rect{});
    Layer* second = document.InsertLayer(LayerKindOwnFile, 0, 1, Picture("g.png"), QString(), 0, Rect{});
    document.selectedIndex = 0;
    document.InsertLayer(LayerKindOwnFile, 0, 0, Picture("h.png"), QString(), 0, Rect{});
    EXPECT_EQ(document.selectedIndex, 1);
    EXPECT_EQ(document.GetSelectedLayer(), first);
    document.InsertLayer(LayerKindOwnFile, 0, 3, Picture("i.png"), QString(), 0, Rect{});
    EXPECT_EQ(document.selectedIndex, 1);
    EXPECT_EQ(document.layers.GetAt(2), second);
    EXPECT_EQ(document.InsertLayer(LayerKindOwnFile, 0, 9, Picture("j.png"), QString(), 0, Rect{}), nullptr);
    EXPECT_EQ(document.InsertLayer(LayerKindOwnFile, 0, -1, Picture("j.png"), QString(), 0, Rect{}), nullptr);
    EXPECT_EQ(document.InsertLayer(7, 0, 0, Picture("j.png"), QString(), 0, Rect{}), nullptr);
    EXPECT_EQ(document.layers.GetCount(), 4);
}

TEST_F(DocumentContentTest, EachTypeGetsItsLayerClassFlagsAndName)
{
    document.step = StepFinish;  // no initial crop
    // A face photo comes from the cache by its number; the path is its download address.
    WritePicture(paths.Get().cacheFolder + QStringLiteral("Scenes/9.jpg"), 1024, 8);
    Layer* face = document.InsertLayer(LayerKindFace, 0, 0, QStringLiteral("http://x/9.jpg"), QString(), 9, Rect{});
    Layer* own = document.InsertLayer(LayerKindOwnFile, 0, 1, Picture("g.png"), QString(), 0, Rect{});
    Layer* hat = document.InsertLayer(LayerKindAccessory, 0, 2, QStringLiteral("none"), QStringLiteral("Hats"), 3,
                                      Rect{});
    Layer* bubble = document.InsertLayer(LayerKindBubble, 4, 3, Bubble(0), QString(), 0, Rect{1, 2, 30, 40});
    EXPECT_EQ(face->flags, LayerFlagsFace);
    EXPECT_EQ(face->name, QStringLiteral("Face 1"));
    EXPECT_EQ(own->name, QStringLiteral("Face 2"));
    EXPECT_EQ(hat->flags, LayerFlagsAccessory);
    EXPECT_EQ(hat->name, QStringLiteral("Hats 1"));
    ASSERT_NE(dynamic_cast<LayerText*>(bubble), nullptr);
    EXPECT_EQ(bubble->flags, LayerFlagsBubble);
    EXPECT_EQ(bubble->tag, 4);
    EXPECT_EQ(static_cast<LayerText*>(bubble)->GetTextRect(), (Rect{1, 2, 30, 40}));
    EXPECT_EQ(face->size, (PointF{1024, 8}));  // loaded from its file
}

TEST_F(DocumentContentTest, InsertionRecordBytesAndItsUndo)
{
    document.step = StepFinish;
    const QString path = QStringLiteral("p");
    ASSERT_TRUE(journal.AddInsertLayer(Rect{1, -2, 3, 4}, path, QStringLiteral("N"), 0x0102, LayerKindAccessory, 0));
    // 28 + 4 + 4 = 36.
    EXPECT_EQ(LastRecord(), (ByteList{10, 1, 36, 0, 2, 1, 0, 1, 1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0,
                                      4, 0, 0, 0, 'p', 0, 0, 0, 'N', 0, 0, 0, 36, 0, 1, 10}));
    ASSERT_EQ(document.layers.GetCount(), 1);
    EXPECT_EQ(document.layers.GetAt(0)->name, QStringLiteral("N 1"));
    ExpectUndoRedoRestores([&] {
        return journal.AddInsertLayer(Rect{}, Picture("f.png"), QString(), 0, LayerKindOwnFile, 0);
    });
}

TEST_F(DocumentContentTest, TheSameBubbleInsertedTwiceGetsTagsZeroAndOne)
{
    const QString bubble = Bubble(7);
    journal.AddInsertLayer(Rect{}, bubble, QString(), 7, LayerKindBubble, 0);
    journal.AddInsertLayer(Rect{}, bubble, QString(), 7, LayerKindBubble, 0);
    EXPECT_EQ(LastRecord()[6], 1);
    Layer* front = document.layers.GetAt(1);
    EXPECT_EQ(document.layers.GetAt(0)->tag, 1);
    EXPECT_EQ(front->tag, 0);
    journal.Undo();  // removes the tag-1 layer, at the back
    ASSERT_EQ(document.layers.GetCount(), 1);
    EXPECT_EQ(document.layers.GetAt(0), front);
}

TEST_F(DocumentContentTest, RegressionATagStillInUseAfterADeletionIsNotRepeated)
{
    const QString bubble = Bubble(7);
    journal.AddInsertLayer(Rect{}, bubble, QString(), 7, LayerKindBubble, 0);  // A, tag 0
    journal.AddInsertLayer(Rect{}, bubble, QString(), 7, LayerKindBubble, 1);  // B, tag 1
    Layer* b = document.layers.GetAt(1);
    journal.AddDeleteLayer(0);                                                  // A parked
    journal.AddInsertLayer(Rect{}, bubble, QString(), 7, LayerKindBubble, 0);  // C: not tag 1 again
    EXPECT_EQ(LastRecord()[6], 0);
    journal.Undo();  // takes C back, and leaves B alone
    ASSERT_EQ(document.layers.GetCount(), 1);
    EXPECT_EQ(document.layers.GetAt(0), b);
}

TEST_F(DocumentContentTest, UndoingTheFaceInsertedAtStepFourReturnsToTheFaceChoice)
{
    document.step = StepChooseFace;
    journal.AddInsertLayer(Rect{}, Picture("f.png"), QString(), 0, LayerKindOwnFile, 0);
    EXPECT_EQ(document.step, StepFaceChosen);  // the face loaded at once
    journal.Undo();
    EXPECT_TRUE(document.layers.IsEmpty());
    EXPECT_EQ(document.step, StepChooseFace);
}

TEST_F(DocumentContentTest, ARemovalIsUndoneByMakingTheLayerAgain)
{
    journal.AddInsertLayer(Rect{}, Picture("f.png"), QString(), 0, LayerKindOwnFile, 0);
    journal.AddInsertLayer(Rect{}, Picture("g.png"), QString(), 0, LayerKindOwnFile, 1);
    document.selectedIndex = 1;
    const Layer* kept = document.layers.GetAt(1);
    const QString path = document.layers.GetAt(0)->path;
    ASSERT_TRUE(journal.AddRemoveLayer(0));
    EXPECT_EQ(document.layers.GetCount(), 1);
    EXPECT_EQ(document.selectedIndex, 0);
    EXPECT_EQ(document.GetSelectedLayer(), kept);
    journal.Undo();
    // A new layer of the recorded identity, at its index; the selection stays on its layer.
    ASSERT_EQ(document.layers.GetCount(), 2);
    const Layer* again = document.layers.GetAt(0);
    EXPECT_EQ(again->path, path);
    EXPECT_EQ(again->kind, LayerKindOwnFile);
    EXPECT_EQ(again->tag, 0);
    EXPECT_EQ(again->flags, LayerFlagsFace);
    EXPECT_EQ(again->size, (PointF{1024, 8}));
    EXPECT_EQ(document.GetSelectedLayer(), kept);
    journal.Redo();
    EXPECT_EQ(document.layers.GetCount(), 1);
}

TEST_F(DocumentContentTest, InsertionsAndScenesSendOnlyTheHintsOfTheirLoading)
{
    hints.redraws = 0;
    journal.AddInsertLayer(Rect{}, Picture("f.png"), QString(), 0, LayerKindOwnFile, 0);
    EXPECT_EQ(hints.redraws, 1);
    hints.redraws = 0;
    journal.AddNewScene(Picture("s.png"), 0);
    EXPECT_EQ(hints.redraws, 1);
}

TEST_F(DocumentContentTest, RegressionInsertionFieldsThatDoNotFitAreRefused)
{
    EXPECT_FALSE(journal.AddInsertLayer(Rect{}, QString(), QString(), 65536, LayerKindAccessory, 0));
    EXPECT_FALSE(journal.AddInsertLayer(Rect{}, QString(), QString(), -1, LayerKindAccessory, 0));
    EXPECT_FALSE(journal.AddInsertLayer(Rect{}, QString(), QString(), 1, 6, 0));
    EXPECT_FALSE(journal.AddInsertLayer(Rect{}, QString(), QString(), 1, LayerKindAccessory, 1));  // past the end
    EXPECT_FALSE(journal.AddInsertLayer(Rect{}, QString(32760, QChar('x')), QString(), 1, LayerKindAccessory, 0));
    EXPECT_EQ(journal.GetEnd(), 0);
    for (int i = 0; i < 255; ++i)
        AddLayer(QStringLiteral("Hat %1").arg(i), LayerFlagsAccessory);
    EXPECT_FALSE(journal.AddInsertLayer(Rect{}, QString(), QString(), 1, LayerKindAccessory, 255));
    EXPECT_TRUE(journal.AddInsertLayer(Rect{}, QString(), QString(), 1, LayerKindAccessory, 254));
    EXPECT_EQ(LastRecord()[7], 255);
}

// ---- Text ----

class TextRecordTest : public DocumentTest {
protected:
    void SetUp() override
    {
        journal.AddInsertLayer(Rect{}, Bubble(1), QString(), 1, LayerKindBubble, 0);
        document.selectedIndex = 0;
        document.layers.GetAt(0)->SetText(QStringLiteral("A"));
    }
};

TEST_F(TextRecordTest, AnOldTextAAndAnEmptyNewTextGiveSixteenBytes)
{
    ASSERT_TRUE(journal.AddSetText(QString()));
    EXPECT_EQ(LastRecord(), (ByteList{13, 0, 16, 0, 0x41, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, 13}));
    EXPECT_EQ(document.layers.GetAt(0)->GetText(), QString());
}

TEST_F(TextRecordTest, AnEqualTextAppendsNothing)
{
    const int32_t end = journal.GetEnd();
    hints.redraws = 0;
    document.step = 15;
    EXPECT_FALSE(journal.AddSetText(QStringLiteral("A")));
    EXPECT_FALSE(journal.AddSetText(QStringLiteral("A")));
    EXPECT_EQ(journal.GetEnd(), end);
    EXPECT_EQ(hints.redraws, 0);
    EXPECT_FALSE(document.IsModified());
}

TEST_F(TextRecordTest, TextIsRestoredByUndoAndRedo)
{
    ExpectUndoRedoRestores([&] { return journal.AddSetText(QStringLiteral("Hello\nthere")); });
    EXPECT_TRUE(journal.AddSetText(QStringLiteral("a")));  // case counts
}

TEST_F(TextRecordTest, RegressionATextTooLongForTheRecordIsRefused)
{
    // 8 + 4 (old "A") + 2 x (n + 1) must stay below 65536 once padded.
    EXPECT_FALSE(journal.AddSetText(QString(32760, QChar('x'))));
    EXPECT_EQ(document.layers.GetAt(0)->GetText(), QStringLiteral("A"));
    ASSERT_TRUE(journal.AddSetText(QString(32759, QChar('x'))));
    EXPECT_EQ(journal.RecordSize(false), 65532);
    journal.Undo();
    EXPECT_EQ(document.layers.GetAt(0)->GetText(), QStringLiteral("A"));
}

} // namespace
