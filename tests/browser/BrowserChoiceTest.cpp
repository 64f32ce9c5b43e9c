// Choices in the scene, accessory and bubble browsers, made with the mouse, become journal records.
#include "BrowserFixture.h"

#include "support/HintCounter.h"
#include "support/TestFiles.h"

#include "engine/document/JournalKind.h"
#include "engine/document/LoadFromPcRequest.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerKind.h"
#include "engine/layers/LayerText.h"
#include "library/browser/AccessoryTree.h"
#include "library/browser/BubbleTree.h"
#include "library/browser/SceneTree.h"
#include "platform/ui/ModalHost.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>

namespace {

using Kinds = std::vector<int>;
const Kinds AddingGroup{JournalMark, JournalInsertLayer, JournalSelectLayer, JournalMark};
const Kinds ReplacingGroup{JournalMark,        JournalSelectLayer, JournalRemoveLayer,
                           JournalInsertLayer, JournalSelectLayer, JournalMark};

// What a layer is, as the browsers set it.
QString Identity(const Layer& layer)
{
    return QStringLiteral("#%1 kind %2 %3 '%4'").arg(layer.number).arg(layer.kind).arg(layer.path, layer.name);
}

QString ItemName(int number)
{
    return QStringLiteral("http://host/%1.jpg").arg(number);
}

// Plays the person in front of the file dialog: picks the file (or cancels when it is empty), and notes
// each title and whether the journal could take records then.
class Person {
public:
    Person(Journal& journal, QString path)
        : m_answerer([this, &journal, path](QDialog& dialog) {
              titles << dialog.windowTitle();
              journalIdle << journal.IsIdle();
              if (path.isEmpty())
                  return int{QDialog::Rejected};
              auto& files = static_cast<QFileDialog&>(dialog);
              files.setDirectory(QFileInfo(path).absolutePath());
              files.selectFile(QFileInfo(path).fileName());
              static_cast<QDialog&>(files).accept();
              return files.result();
          })
    {
    }
    QStringList titles;
    QList<bool> journalIdle;

private:
    platform::ModalHost::ScopedAnswerer m_answerer;
};

class BrowserChoiceTest : public BrowserTest {
protected:
    BrowserChoiceTest()
    {
        LoadFromPcRequest = 0;
        WriteIndex("EncList", FourCategories());
        WriteIndex("ThumbsA", FourCategories());
        WriteIndex("ThumbsB", FourCategories());
    }
    ~BrowserChoiceTest() override { LoadFromPcRequest = 0; }

    // A face from the scene index in front of the others, selected.
    Layer* AddFace(int number)
    {
        auto* layer = new LayerImage(QString(), LayerFlagsFace, 0);
        layer->kind = LayerKindFace;
        layer->number = number;
        layer->path = ItemName(number);
        layer->LinkBefore(&document.layers);
        document.selectedIndex = document.layers.GetCount() - 1;
        return layer;
    }
    void SetState(int32_t state)
    {
        document.step = state;
        document.UpdateAllViews(nullptr, HintRedraw);
    }
    QStringList Layers() const
    {
        QStringList out;
        for (int32_t i = 0; i < document.layers.GetCount(); ++i)
            out << Identity(*document.layers.GetAt(i));
        return out;
    }
    // The rectangle of the insertion record at offset.
    Rect InsertedRect(int32_t offset) const
    {
        const uint8_t* record = document.journal.GetData() + offset;
        auto i32 = [record](int at) {
            return static_cast<int32_t>(record[at] | record[at + 1] << 8 | record[at + 2] << 16 | uint32_t{record[at + 3]} << 24);
        };
        EXPECT_EQ(record[0], JournalInsertLayer);
        return {i32(8), i32(12), i32(16), i32(20)};
    }
    QString OwnPicture()
    {
        const QString path = QDir(folder.path()).filePath(QStringLiteral("mine.jpg"));
        WriteFile(path, ThumbnailBytes(8, 8, qRgb(1, 2, 3)));
        return path;
    }
    Journal& journal = document.journal;
};

TEST_F(BrowserChoiceTest, EachBrowserTakesInputInItsWizardStates)
{
    auto scenes = Make<SceneTree>();
    auto accessories = Make<AccessoryTree>();
    auto bubbles = Make<BubbleTree>();
    for (int32_t state = -1; state <= 16; ++state) {
        SetState(state);
        EXPECT_EQ(scenes->isEnabled(), (state >= 1 && state <= 4) || state >= 15) << state;
        EXPECT_EQ(accessories->isEnabled(), state == 11 || state == 12 || state >= 15) << state;
        EXPECT_EQ(bubbles->isEnabled(), state >= 13) << state;
    }
    // A disabled browser takes no click.
    SetState(10);
    ClickRow(*scenes, FirstThumbnailRow + 1);
    EXPECT_EQ(scenes->SelectedItem(), 0);
    EXPECT_EQ(journal.GetEnd(), 0);
}

TEST_F(BrowserChoiceTest, ASceneOrFaceChoiceDependsOnTheState)
{
    struct Case {
        const char* what;
        int32_t state;
        int selectedFace;  // the number of a selected face put in first, 0 for none
        Kinds records;
        QStringList layers;  // afterwards
    };
    // Faces are named by the layers themselves: "Face" and the first number no other face has.
    const QString chosen = QStringLiteral("#5 kind 5 http://host/5.jpg 'Face 1'");
    const QString other = QStringLiteral("#6 kind 5 http://host/6.jpg 'Face 1'");
    const Case cases[] = {
        {"a scene up to state 2", 1, 0, {JournalNewScene}, {}},
        {"a scene at state 2", 2, 0, {JournalNewScene}, {}},
        {"the first face", 3, 0, AddingGroup, {chosen}},
        {"another face replaces the selected one", 4, 6, ReplacingGroup, {chosen}},
        {"also in state 3", 3, 6, ReplacingGroup, {chosen}},
        {"the same face again: nothing", 4, 5, {}, {chosen}},
        {"from state 15 a face is added", 15, 6, AddingGroup, {other, "#5 kind 5 http://host/5.jpg 'Face 2'"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        document.DeleteContents();
        if (c.selectedFace)
            AddFace(c.selectedFace);
        auto view = Make<SceneTree>();
        SetState(c.state);
        const int32_t before = journal.GetPosition();
        ClickRow(*view, FirstThumbnailRow);  // item 4, number 5
        EXPECT_EQ(RecordKinds(journal, before), c.records);
        EXPECT_EQ(Layers(), c.layers);
        if (c.records == Kinds{JournalNewScene}) {
            ASSERT_NE(document.scene, nullptr);
            EXPECT_EQ(Identity(*document.scene), QStringLiteral("#5 kind 3 http://host/5.jpg 'Scene'"));
        } else if (!c.records.empty()) {
            EXPECT_EQ(document.selectedIndex, document.layers.GetCount() - 1);  // the new face, in front
        }
    }
}

TEST_F(BrowserChoiceTest, APictureOfTheUsersOwnIsASceneOrAFace)
{
    const QString path = OwnPicture();
    auto view = Make<SceneTree>();
    {
        SetState(1);
        Person person(journal, path);
        QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
        EXPECT_EQ(person.titles, QStringList{"Select a scene to open"});
        EXPECT_EQ(RecordKinds(journal, 0), Kinds{JournalNewScene});
        ASSERT_NE(document.scene, nullptr);
        EXPECT_EQ(Identity(*document.scene), QStringLiteral("#0 kind 0 %1 '@BG@ 1'").arg(path));
    }
    {
        SetState(3);
        const int32_t before = journal.GetPosition();
        Person cancelling(journal, QString());
        QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
        EXPECT_EQ(cancelling.titles, QStringList{"Select a face to open"});
        EXPECT_EQ(journal.GetEnd(), before);
        Person person(journal, path);
        QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
        EXPECT_EQ(RecordKinds(journal, before), AddingGroup);
        EXPECT_EQ(Layers(), QStringList{QStringLiteral("#0 kind 0 %1 'Face 1'").arg(path)});
    }
}

TEST_F(BrowserChoiceTest, AccessoriesAreNamedAfterTheirSubcategoryAndBubblesKeepTheTextRectangle)
{
    SetState(15);
    auto accessories = Make<AccessoryTree>();
    auto bubbles = Make<BubbleTree>();
    ClickRow(*accessories, 2);  // Alpha, A1 and its one thumbnail: item 0, number 1
    EXPECT_EQ(RecordKinds(journal, 0), AddingGroup);
    EXPECT_EQ(InsertedRect(JournalMarkSize), (Rect{1, 2, 4, 6}));
    const int32_t before = journal.GetPosition();
    ClickRow(*bubbles, 2);
    EXPECT_EQ(RecordKinds(journal, before), AddingGroup);
    EXPECT_EQ(Layers(), QStringList({"#1 kind 1 http://host/1.jpg 'A1 1'", "#1 kind 4 http://host/1.jpg 'Text 1'"}));
    const auto* bubble = dynamic_cast<const LayerText*>(document.layers.GetAt(1));
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->GetTextRect(), (Rect{1, 2, 4, 6}));
    EXPECT_EQ(document.selectedIndex, 1);
    // Each choice is one undo step.
    journal.Undo();
    EXPECT_EQ(Layers(), QStringList{"#1 kind 1 http://host/1.jpg 'A1 1'"});
    EXPECT_EQ(journal.GetPosition(), before);
}

TEST_F(BrowserChoiceTest, RegressionAnItemInNoSubcategoryGetsNoName)
{
    // Item 0 stands before its category's first subcategory and so belongs to none.
    WriteIndex("ThumbsA", "<CAT First><7 \"Stray\" 1 1 1 1><SUB Hats><8 \"Top\" 0 0 5 5>");
    SetState(12);
    auto accessories = Make<AccessoryTree>();
    accessories->ChooseItem(0);
    accessories->ChooseItem(1);
    // A layer without a name of its own is given the background's.
    EXPECT_EQ(Layers(), QStringList({"#7 kind 1 Stray '@BG@ 1'", "#8 kind 1 Top 'Hats 1'"}));
}

TEST_F(BrowserChoiceTest, RegressionARefusedRecordLeavesNoHalfGroup)
{
    // Number 70000 does not fit an insertion record.
    WriteIndex("ThumbsA", "<CAT C><SUB S><70000 \"Huge\" 0 0 1 1><SUB T><3 \"Small\" 0 0 1 1>");
    SetState(12);
    auto accessories = Make<AccessoryTree>();
    accessories->ChooseItem(0);
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_TRUE(Layers().isEmpty());
    accessories->ChooseItem(1);
    EXPECT_EQ(RecordKinds(journal, 0), AddingGroup);
    journal.Undo();  // the one choice, and nothing before it
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_TRUE(Layers().isEmpty());
}

TEST_F(BrowserChoiceTest, RegressionAFaceTheJournalCannotRecordLeavesTheSelectedFace)
{
    WriteIndex("EncList", "<CAT C><SUB S><70000 \"http://host/70000.jpg\" 0 0 1 1>");
    AddFace(6);
    SetState(4);
    auto scenes = Make<SceneTree>();
    scenes->ChooseItem(0);
    EXPECT_EQ(journal.GetEnd(), 0);  // not even a group that was taken back
    EXPECT_EQ(Layers(), QStringList{"#6 kind 5 http://host/6.jpg 'Face 1'"});
}

TEST_F(BrowserChoiceTest, RegressionTheFaceDialogOpensAfterTheUpdateHasReachedEveryView)
{
    const QString path = OwnPicture();
    document.step = 2;
    auto scenes = Make<SceneTree>();
    Person person(journal, path);
    ASSERT_TRUE(journal.AddStep(3));  // the wizard enters the face choice and asks for the dialog
    EXPECT_EQ(LoadFromPcRequest, 0);  // taken by the update that followed
    EXPECT_TRUE(person.titles.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(person.titles, QStringList{"Select a face to open"});
    EXPECT_EQ(RecordKinds(journal, JournalStepSize), AddingGroup);
}

TEST_F(BrowserChoiceTest, RegressionTheFaceDialogWaitsForTheJournalToBeIdle)
{
    const QString path = OwnPicture();
    document.step = 2;
    auto scenes = Make<SceneTree>();
    {
        Person cancelling(journal, QString());
        ASSERT_TRUE(journal.AddMark() && journal.AddStep(3) && journal.AddMark());
        QCoreApplication::processEvents();
        ASSERT_EQ(cancelling.titles.size(), 1);
    }
    journal.Undo();  // back to state 2
    ASSERT_EQ(document.step, 2);
    // A view after the browser runs a message loop at every update (a help tip does): inside the Redo's
    // group walk, where nothing can be appended.
    HintCounter nested(document);
    nested.onUpdate = [this] {
        if (!journal.IsIdle())
            QCoreApplication::processEvents();
    };
    Person person(journal, path);
    const int32_t end = journal.GetEnd();
    journal.Redo();
    QCoreApplication::processEvents();
    EXPECT_EQ(person.journalIdle, QList<bool>{true});
    EXPECT_EQ(RecordKinds(journal, end), AddingGroup);
}

} // namespace
