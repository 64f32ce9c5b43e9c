#include "WizardFixture.h"

#include "support/Bytes.h"
#include "support/LayerPictures.h"
#include "support/TestLayer.h"

#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerText.h"
#include "platform/Archive.h"
#include "platform/ArchiveError.h"
#include "platform/ArchiveWriter.h"
#include "platform/RecentFileList.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <limits>

namespace {

// The head of a project file: the wide "SMG2", the selected index and the state.
Bytes Head(int32_t selected, int32_t state)
{
    return Bytes().Str("SMG2").I32(selected).I32(state);
}

// Every stored field of every layer, and each picture layer's working picture.
struct Snapshot {
    QStringList fields;
    std::vector<QImage> pictures;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(Document& document)
{
    Snapshot out;
    out.fields << QStringLiteral("step %1 selected %2").arg(document.step).arg(document.selectedIndex);
    auto describe = [&](Layer& l) {
        out.fields << QStringLiteral("%1 f%2 t%3 k%4 #%5 %6 p%7,%8 s%9,%10 z%11,%12 c%13,%14-%15,%16 a%17 "
                                     "g%18,%19,%20 b%21 c%22 [%23]")
                          .arg(l.name).arg(l.flags).arg(l.tag).arg(l.kind).arg(l.number).arg(l.path)
                          .arg(l.position.x).arg(l.position.y).arg(l.scale.x).arg(l.scale.y)
                          .arg(l.size.x).arg(l.size.y)
                          .arg(l.cropTopLeft.x).arg(l.cropTopLeft.y).arg(l.cropBottomRight.x).arg(l.cropBottomRight.y)
                          .arg(l.angle).arg(l.redGamma).arg(l.greenGamma).arg(l.blueGamma)
                          .arg(l.brightness).arg(l.contrast).arg(l.GetText());
        if (auto* picture = dynamic_cast<ImageReference*>(l.GetImage()))
            out.pictures.push_back(*picture->Picture());
    };
    if (document.scene)
        describe(*document.scene);
    for (Node* node = document.layers.next; node != &document.layers; node = node->next)
        describe(*static_cast<Layer*>(node));
    return out;
}

class ProjectFileTest : public WizardTest {
protected:
    ProjectFileTest() { document.SetRecentFiles(&recent); }

    QString PathOf(const QString& name) const { return QDir(folder.path()).filePath(name); }
    // What the person is told when the file name ends inside a record.
    QStringList EndsEarly(const QString& name) const
    {
        return {QStringLiteral("\"%1\" ends early. Only the part before that point was opened.").arg(PathOf(name))};
    }
    // A file with these bytes, opened; whether the open succeeded.
    bool Open(const QByteArray& bytes, const QString& name = QStringLiteral("p.smg"))
    {
        WriteFile(PathOf(name), bytes);
        return document.OpenDocumentFile(PathOf(name));
    }
    // Scene, face with a painted mask and a colour change, two accessories and a bubble, at state 12
    // with the second accessory selected; content comes from the cache and the data folder.
    void Compose()
    {
        const QString cache = paths.Get().cacheFolder;
        WriteFile(PathOf("scene.png"), PngBytes(Filled(32, 24, qRgb(40, 90, 160))));
        WriteFile(cache + "/Scenes/5.jpg", PngBytes(Filled(16, 12, qRgb(200, 150, 120))));
        WriteFile(cache + "/Accessories/1.png", PngBytes(Filled(8, 6, qRgba(250, 10, 10, 128))));
        WriteFile(cache + "/Accessories/2.png", PngBytes(Filled(6, 8, qRgba(10, 250, 10, 255))));
        QFile::copy(DataFile("cloud.emf"), cache + "/Bubbles/3.emf");

        document.step = StepAccessories;
        document.NewScene(0, PathOf("scene.png"), false);
        Layer* face = document.InsertLayer(LayerKindFace, 0, 0, "http://127.0.0.1:8468/f/5.jpg", "", 5, {});
        Layer* hat = document.InsertLayer(LayerKindAccessory, 0, 1, "", "Hat", 1, {});
        Layer* leaf = document.InsertLayer(LayerKindAccessory, 0, 2, "", "Leaf", 2, {});
        Layer* bubble = document.InsertLayer(LayerKindBubble, 0, 3, "", "", 3, {10, 10, 200, 120});
        ASSERT_TRUE(face && hat && leaf && bubble && face->GetImage() && hat->GetImage());
        ASSERT_TRUE(static_cast<LayerText*>(bubble)->HasBubble());

        // A stroke of the eraser: a block of the face's mask cleared, then a brighter colour.
        Image& picture = *face->GetImage();
        std::vector<uint8_t> erased(40 * 30, 0);
        picture.ApplyMask(erased.data(), 40, 100, 200, 0, 0, 40, 30);
        face->brightness = 30;
        face->ApplyColor();
        hat->position = {123.5f, 77.25f};
        hat->angle = 5000;
        leaf->scale = {-0.5f, 0.75f};
        bubble->SetText("Hello there");
        document.selectedIndex = 2;
    }

    QTemporaryDir folder;
    platform::RecentFileList recent;
};

TEST_F(ProjectFileTest, TheFileIsTheHeadThenTheSceneThenEachLayer)
{
    SetScene(std::make_unique<TestLayer>(LayerFlagsBackground, 0));
    document.scene->path = "scene";
    Layer* first = Add(std::make_unique<TestLayer>(LayerFlagsFace, 4));
    first->position = {1.5f, 2.5f};
    Layer* second = Add(std::make_unique<TestLayer>(LayerFlagsAccessory, 0));
    document.selectedIndex = 1;
    document.step = StepAccessories;

    ASSERT_TRUE(document.OnSaveDocument(PathOf("a.smg")));
    const QByteArray expected = Bytes()
                                    .Append(QByteArray("\xFF\xFE\xFF\x04S\0M\0G\0" "2\0", 12))
                                    .I32(1)
                                    .I32(12)
                                    .Append(CommonPart(LayerFlagsBackground, 0, *document.scene))
                                    .Append(CommonPart(LayerFlagsFace, 4, *first))
                                    .Append(CommonPart(LayerFlagsAccessory, 0, *second));
    EXPECT_EQ(ReadFile(PathOf("a.smg")), expected);
}

TEST_F(ProjectFileTest, ASavedCompositionReopensLayerByLayerAndPixelByPixel)
{
    Compose();
    ASSERT_TRUE(document.RenderRegion({0, 0, 1023, 767}));
    const QImage rendered = *document.renderBuffer->Picture();
    const Snapshot saved = Take(document);
    ASSERT_EQ(saved.pictures.size(), 4u);

    document.SetModifiedFlag(true);
    ASSERT_TRUE(document.DoSave(PathOf("whole.smg")));
    EXPECT_FALSE(document.IsModified());
    document.journal.AddMove(1, 0);  // an edit to undo, which opening must discard
    document.journal.Undo();
    shell.calls.clear();

    ASSERT_TRUE(document.OpenDocumentFile(PathOf("whole.smg")));
    EXPECT_EQ(Take(document), saved);
    ASSERT_TRUE(document.RenderRegion({0, 0, 1023, 767}));
    EXPECT_EQ(*document.renderBuffer->Picture(), rendered);
    EXPECT_EQ(document.step, StepAccessories);
    EXPECT_TRUE(shell.calls.contains("ShowTab 1 1"));
    EXPECT_TRUE(shell.calls.contains("SetActiveTab 1"));
    EXPECT_FALSE(document.journal.CanUndo());
    EXPECT_FALSE(document.journal.CanRedo());
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("whole.smg"));
    EXPECT_EQ(recent.Entries(), QStringList{PathOf("whole.smg")});
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ProjectFileTest, ShortOrForeignFilesOpenQuietlyAsAnEmptyDocument)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        int32_t step;
    };
    const QByteArray record = CommonPart(LayerFlagsBackground, 0, LayerInfo());
    const Case cases[] = {
        {"wrong marker", Bytes().Str("SMG3").I32(0).I32(12).Append(record), -1},
        {"too short", Bytes().Str("SMG2").I32(0), -1},
        {"zero length", QByteArray(), -1},
        {"8-bit marker", Bytes().U8(4).Append("SMG2").I32(0).I32(12), 12},
        {"head only", Head(3, 14), 14},
    };
    for (const Case& c : cases) {
        SetScene(std::make_unique<TestLayer>(LayerFlagsBackground, 0));
        Add(std::make_unique<TestLayer>(LayerFlagsFace, 0));
        document.journal.AddMark();  // history that the open must discard
        document.SetModifiedFlag(false);
        EXPECT_TRUE(Open(c.bytes, QStringLiteral("%1.smg").arg(c.name))) << c.name;
        EXPECT_EQ(document.step, c.step) << c.name;
        EXPECT_FALSE(document.scene) << c.name;
        EXPECT_TRUE(document.layers.IsEmpty()) << c.name;
        EXPECT_EQ(document.selectedIndex, -1) << c.name;
        EXPECT_FALSE(document.IsModified()) << c.name;
        EXPECT_FALSE(document.journal.CanUndo()) << c.name;
        EXPECT_EQ(document.GetShownTitle(), QStringLiteral("%1.smg").arg(c.name));
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// A scene record cut inside its name, whose length claims more bytes than are left, ends the file: the
// bytes after the name's length (here a whole accessory record) are not read as a layer.
TEST_F(ProjectFileTest, RegressionASceneCutInsideItsNameEndsTheList)
{
    LayerInfo hat;
    hat.kind = LayerKindAccessory;
    hat.number = 1;
    hat.name = QStringLiteral("Hat 1");
    const QByteArray accessory = CommonPart(LayerFlagsAccessory, 0, hat);
    const QByteArray cutScene = Bytes().I32(LayerFlagsBackground).I32(0).I32(0).I32(LayerKindOwnFile).Str("scene")
                                    .U8(0xFF).U16(0xFFFE).U8(200);  // 400 bytes of name claimed
    ASSERT_LT(accessory.size(), 400);
    ASSERT_TRUE(Open(Head(0, StepAccessories).Append(cutScene).Append(accessory)));
    EXPECT_FALSE(document.scene);
    EXPECT_TRUE(document.layers.IsEmpty());
    EXPECT_EQ(document.step, StepAccessories);
    EXPECT_EQ(prompts.shown, EndsEarly("p.smg"));
}

// A file that ends inside a record keeps the layers before it, and the person is told (saving would
// replace the file with the part read); one that ends at a record's end opens quietly.
TEST_F(ProjectFileTest, RegressionAFileEndingInsideARecordSaysSo)
{
    LayerInfo hat;
    hat.kind = LayerKindAccessory;
    hat.number = 1;
    const QByteArray scene = CommonPart(LayerFlagsBackground, 0, LayerInfo());
    const QByteArray accessory = CommonPart(LayerFlagsAccessory, 0, hat);
    struct Case {
        const char* name;
        qsizetype keep;  // bytes of the second accessory record
        bool told;
    };
    const Case cases[] = {
        {"whole", accessory.size(), false},
        {"before the record", 0, false},
        {"inside its flags", 2, true},
        {"inside its path", 20, true},
        {"before its last field", accessory.size() - 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        const QString name = QStringLiteral("%1.smg").arg(c.name);
        ASSERT_TRUE(Open(Head(0, StepAccessories).Append(scene).Append(accessory).Append(accessory.left(c.keep)), name));
        EXPECT_EQ(document.layers.GetCount(), c.keep == accessory.size() ? 2 : 1);
        EXPECT_EQ(document.GetShownTitle(), name);
        EXPECT_FALSE(document.IsModified());
        EXPECT_EQ(prompts.shown, c.told ? EndsEarly(name) : QStringList());
    }
}

// A file that ends where a painted layer's picture block should begin is cut inside that record, as
// one cut inside its common part: the layers before it stay and the person is told. A record whose
// common part is malformed, with the file going on after it, is told as damage from that point.
TEST_F(ProjectFileTest, RegressionACutOrDamagedRecordKeepsTheLayersBeforeItAndSaysWhich)
{
    LayerInfo hat;
    hat.kind = LayerKindAccessory;
    hat.number = 1;
    LayerInfo face;
    face.kind = LayerKindFace;
    const QByteArray scene = CommonPart(LayerFlagsBackground, 0, LayerInfo());
    const QByteArray accessory = CommonPart(LayerFlagsAccessory, 0, hat);
    // A wide path whose length is the reserved 0xFFFE, then 131 KB more of the file.
    const QByteArray malformed = Bytes().I32(LayerFlagsAccessory).I32(1).I32(2).I32(LayerKindAccessory)
                                     .U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFE).Append(QByteArray(131 * 1024, '\0'));
    const QString damaged = QStringLiteral("\"%1\" is damaged from one point on. Only the part before that point "
                                           "was opened.");
    struct Case {
        const char* name;
        QByteArray last;  // after the scene and one accessory
        QStringList told;
    };
    const Case cases[] = {
        {"picture block missing", CommonPart(LayerFlagsFace, 0, face), EndsEarly("p.smg")},
        {"malformed string length", malformed, {damaged.arg(PathOf("p.smg"))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        ASSERT_TRUE(Open(Head(0, StepAccessories).Append(scene).Append(accessory).Append(c.last)));
        ASSERT_TRUE(document.scene);
        ASSERT_EQ(document.layers.GetCount(), 1);
        EXPECT_EQ(document.layers.GetAt(0)->number, 1);
        EXPECT_EQ(document.step, StepAccessories);
        EXPECT_EQ(document.GetShownTitle(), QStringLiteral("p.smg"));
        EXPECT_EQ(prompts.shown, c.told);
    }
    // The scene's own record, malformed.
    prompts.shown.clear();
    ASSERT_TRUE(Open(Head(0, StepAccessories).Append(malformed)));
    EXPECT_FALSE(document.scene);
    EXPECT_EQ(prompts.shown, QStringList{damaged.arg(PathOf("p.smg"))});
}

// A damaged file can leave a document without a scene at a state where saving is enabled; writing it
// would give a file that does not read back, so Save As refuses it and says why.
TEST_F(ProjectFileTest, RegressionADocumentWithoutASceneIsNotSaved)
{
    ASSERT_TRUE(Open(Head(-1, StepBubble)));
    prompts.savePath = PathOf("out.smg");
    EXPECT_FALSE(document.DoSave(QString()));
    EXPECT_EQ(prompts.shown, QStringList{"This project has lost its scene picture and cannot be saved. Start a "
                                         "new project or open another one."});
    EXPECT_FALSE(QFile::exists(PathOf("out.smg")));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(buffer);
    platform::Archive archive(writer);
    EXPECT_THROW(document.Serialize(archive), platform::ArchiveError);
}

// An archive error inside a layer's own part (a picture block's tag, count or bytes, a bubble's text) ends the
// open: the failure is reported and a new project takes the place of the emptied document.
TEST_F(ProjectFileTest, RegressionACutLayerPartEndsTheOpenWithANewProject)
{
    LayerInfo bubble;
    bubble.kind = LayerKindBubble;
    bubble.number = 3;
    const QByteArray scene = CommonPart(LayerFlagsBackground, 0, LayerInfo());
    const QByteArray cuts[] = {
        Head(0, 12).Append(scene).Append(CommonPart(LayerFlagsFace, 0, LayerInfo())).Append(QByteArray("\xFF\xFE\xFF\x03I\0", 6)),
        Head(0, 12).Append(scene).Append(CommonPart(LayerFlagsFace, 0, LayerInfo())).Str("IMG").U16(9),
        Head(0, 12).Append(scene).Append(CommonPart(LayerFlagsBubble, 0, bubble)).I32(0).I32(0).I32(9).I32(9)
            .Append(QByteArray("\xFF\xFE\xFF\x05H\0i\0", 8)),
        // A picture block cut short once opened quietly without it and every layer after it.
        Head(0, 12).Append(scene).Append(CommonPart(LayerFlagsFace, 0, LayerInfo())).Str("IMG").U32(50).Append("\x89PNG"),
    };
    for (const QByteArray& bytes : cuts) {
        prompts.shown.clear();
        document.SetTitle("Mine");
        EXPECT_FALSE(Open(bytes, "cut.smg"));
        EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("Could not open \"%1\".\nThe file is damaged or is not a "
                                                            "file of this program.").arg(PathOf("cut.smg"))});
        EXPECT_EQ(document.step, StepStart);
        ASSERT_TRUE(document.scene);
        EXPECT_TRUE(document.scene->path.endsWith("welcome.bki"));
        EXPECT_TRUE(document.layers.IsEmpty());
        EXPECT_TRUE(document.GetPathName().isEmpty());
        EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Untitled"));
        EXPECT_FALSE(document.IsModified());
        EXPECT_TRUE(recent.Entries().isEmpty());
    }
}

// A stored state the wizard does not have left the window in a step that does not exist (every tab
// as it was, no step highlighted, Next Step and saving enabled by the odd number); the file is damaged.
TEST_F(ProjectFileTest, RegressionAStateTheWizardDoesNotHaveIsADamagedFile)
{
    const QByteArray scene = CommonPart(LayerFlagsBackground, 0, LayerInfo());
    for (const int32_t state : {17, 99, -2, std::numeric_limits<int32_t>::min()}) {
        SCOPED_TRACE(state);
        prompts.shown.clear();
        EXPECT_FALSE(Open(Head(0, state).Append(scene), "lying.smg"));
        EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("Could not open \"%1\".\nThe file is damaged or is not a "
                                                            "file of this program.").arg(PathOf("lying.smg"))});
        EXPECT_EQ(document.step, StepStart);
        EXPECT_TRUE(document.GetPathName().isEmpty());
    }
    // The states a project may hold, also the empty document's and the accepted last one, still open.
    for (const int32_t state : {-1, 0, 16}) {
        SCOPED_TRACE(state);
        EXPECT_TRUE(Open(Head(0, state).Append(scene), "fine.smg"));
        EXPECT_EQ(document.step, state);
    }
}

// A save that fails on the way leaves the previous file whole, no temporary file behind, the document
// modified, and tells the person.
TEST_F(ProjectFileTest, RegressionAFailedSaveKeepsTheOldFileAndTheModifiedFlag)
{
    struct BrokenLayer final : Layer {
        BrokenLayer() : Layer(LayerFlagsBackground, 0) {}
        bool LoadFile(const QString&) override { return false; }
        bool Store(platform::ArchiveWriter& archive) override
        {
            Layer::Store(archive);
            throw platform::ArchiveError("the disk is full");
        }
    };
    SetScene(std::make_unique<TestLayer>(LayerFlagsBackground, 0));
    Add(std::make_unique<BrokenLayer>());
    document.step = StepBubble;
    document.SetModifiedFlag(true);
    WriteFile(PathOf("keep.smg"), "the old project");

    EXPECT_FALSE(document.DoSave(PathOf("keep.smg")));
    EXPECT_EQ(ReadFile(PathOf("keep.smg")), QByteArray("the old project"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"keep.smg"});
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(prompts.shown,
              QStringList{QStringLiteral("Could not save \"%1\".\nthe disk is full").arg(PathOf("keep.smg"))});
    EXPECT_TRUE(recent.Entries().isEmpty());
}

TEST_F(ProjectFileTest, AModifiedDocumentAsksBeforeItIsReplaced)
{
    WriteFile(PathOf("other.smg"), Head(-1, 14));
    SetScene(std::make_unique<TestLayer>(LayerFlagsBackground, 0));
    document.SetTitle("Untitled");
    document.SetModifiedFlag(true);

    prompts.answer = platform::DocumentPrompts::Answer::Cancel;
    EXPECT_FALSE(document.OpenDocumentFile(PathOf("other.smg")));
    EXPECT_EQ(prompts.shown, QStringList{"Save changes to Untitled?"});
    EXPECT_TRUE(document.scene);

    // Yes saves through Save As first (the document has no file yet).
    prompts.shown.clear();
    prompts.answer = platform::DocumentPrompts::Answer::Yes;
    prompts.savePath = PathOf("mine.smg");
    EXPECT_TRUE(document.OpenDocumentFile(PathOf("other.smg")));
    EXPECT_EQ(prompts.shown, (QStringList{"Save changes to Untitled?", "save as Untitled"}));
    EXPECT_TRUE(ReadFile(PathOf("mine.smg")).startsWith(Head(-1, -1).Get()));
    EXPECT_EQ(document.step, StepBubble);
    EXPECT_EQ(recent.Entries(), (QStringList{PathOf("other.smg"), PathOf("mine.smg")}));
}

TEST(RecentFileListTest, KeepsTheLastFourMostRecentFirst)
{
    platform::RecentFileList list;
    for (const char* name : {"a", "b", "c", "d", "e", "c"})
        list.Add(name);
    EXPECT_EQ(list.Entries(), (QStringList{"c", "e", "d", "b"}));
    list.Remove("e");
    EXPECT_EQ(list.Entries(), (QStringList{"c", "d", "b"}));
}

} // namespace
