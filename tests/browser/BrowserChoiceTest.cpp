// Choices in the scene, accessory and bubble browsers become journal records; each browser takes
// input, and repaints, by the document's updates.
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

#include <QPushButton>
#include <QTest>

namespace {

using Kinds = std::vector<int>;
const Kinds AddingGroup{JournalMark, JournalInsertLayer, JournalSelectLayer, JournalMark};
const Kinds ReplacingGroup{JournalMark,        JournalSelectLayer, JournalRemoveLayer,
                           JournalInsertLayer, JournalSelectLayer, JournalMark};

// Number, kind, path and name; layers name themselves ("Face 1", "<name> 1", "Text 1").
QString Identity(const Layer& layer)
{
    return QStringLiteral("#%1 kind %2 %3 '%4'").arg(layer.number).arg(layer.kind).arg(layer.path, layer.name);
}

class BrowserChoiceTest : public BrowserTest {
protected:
    BrowserChoiceTest()
    {
        LoadFromPcRequest = 0;
        for (const char* name : {"EncList", "ThumbsA", "ThumbsB"})
            WriteIndex(name, FourCategories());
        m_ownPicture = QDir(folder.path()).filePath(QStringLiteral("mine.jpg"));
        WriteFile(m_ownPicture, ThumbnailBytes(8, 8, qRgb(1, 2, 3)));
    }
    ~BrowserChoiceTest() override { LoadFromPcRequest = 0; }

    // A face that has loaded its picture, or one whose download failed (no picture, nothing on its way).
    void AddSelectedFace(int number, bool loaded = true)
    {
        auto* layer = new LayerImage(QString(), LayerFlagsFace, 0);
        if (loaded)
            EXPECT_TRUE(layer->LoadFile(m_ownPicture));
        layer->kind = LayerKindFace;
        layer->number = number;
        layer->path = QStringLiteral("http://host/%1.jpg").arg(number);
        layer->LinkBefore(&document.layers);
        document.selectedIndex = document.layers.GetCount() - 1;
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

    QString m_ownPicture;
    Journal& journal = document.journal;
};

// Counts the paint events of a widget.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

TEST_F(BrowserChoiceTest, EveryHintSetsTheEnablingButOnlyHintsBelow100Repaint)
{
    const std::unique_ptr<TreeView> views[] = {Make<SceneTree>(), Make<AccessoryTree>(), Make<BubbleTree>()};
    auto enabled = [](int32_t s) {
        return std::vector<bool>{(s >= 1 && s <= 4) || s >= 15, s == 11 || s == 12 || s >= 15, s >= 13};
    };
    PaintCounter counter;  // of the bubble browser
    views[2]->viewport()->installEventFilter(&counter);
    for (int32_t state = -1; state <= 16; ++state) {
        QCoreApplication::processEvents();
        const bool changes = views[2]->isEnabled() != enabled(state)[2];  // which repaints by itself
        document.step = state;
        counter.paints = 0;
        document.UpdateAllViews(nullptr, state % 2 ? HintRedraw : HintRedrawRect);
        QCoreApplication::processEvents();
        for (size_t v = 0; v < 3; ++v)
            EXPECT_EQ(views[v]->isEnabled(), enabled(state)[v]) << state << " " << v;
        if (!changes) {
            EXPECT_EQ(counter.paints, 0) << state;
        }
        counter.paints = 0;
        document.UpdateAllViews(nullptr, HintRedraw - 1);
        QCoreApplication::processEvents();
        EXPECT_GT(counter.paints, 0) << state;
    }
    SetState(10);  // a disabled browser takes no click
    ClickRow(*views[0], FirstThumbnailRow + 1);
    EXPECT_EQ(views[0]->SelectedItem(), 0);
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
        bool selectedFailed = false;  // the selected face's download failed
    };
    const QString chosen = QStringLiteral("#5 kind 5 http://host/5.jpg 'Face 1'");
    const Case cases[] = {
        {"a scene up to state 2", 1, 0, {JournalNewScene}, {}},
        {"a scene at state 2", 2, 0, {JournalNewScene}, {}},
        {"the first face", 3, 0, AddingGroup, {chosen}},
        {"another face replaces the selected one", 4, 6, ReplacingGroup, {chosen}},
        {"also in state 3", 3, 6, ReplacingGroup, {chosen}},
        {"the same face again: nothing", 4, 5, {}, {chosen}},
        {"the same face whose download failed is fetched again", 4, 5, ReplacingGroup, {chosen}, true},
        {"from state 15 a face is added", 15, 6, AddingGroup,
         {"#6 kind 5 http://host/6.jpg 'Face 1'", "#5 kind 5 http://host/5.jpg 'Face 2'"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        document.DeleteContents();
        if (c.selectedFace)
            AddSelectedFace(c.selectedFace, !c.selectedFailed);
        auto view = Make<SceneTree>();
        SetState(c.state);
        const int32_t before = journal.GetPosition();
        ClickRow(*view, FirstThumbnailRow);  // item 4, number 5
        EXPECT_EQ(RecordKinds(journal, before), c.records);
        EXPECT_EQ(Layers(), c.layers);
        if (c.records == Kinds{JournalNewScene}) {
            EXPECT_EQ(Identity(*document.scene), QStringLiteral("#5 kind 3 http://host/5.jpg 'Scene'"));
        } else if (!c.records.empty()) {
            EXPECT_EQ(document.selectedIndex, document.layers.GetCount() - 1);  // the new face, in front
        }
    }
}

// A face of the user's own: see the regressions of the face dialog below.
TEST_F(BrowserChoiceTest, ASceneOfTheUsersOwnHasItsFullPathAndNumber0)
{
    auto view = Make<SceneTree>();
    SetState(1);
    {
        Person cancelling(journal, QString());
        QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
        EXPECT_EQ(journal.GetEnd(), 0);
    }
    Person person(journal, m_ownPicture);
    QTest::mouseClick(view->LoadButton(), Qt::LeftButton);
    EXPECT_EQ(person.titles, QStringList{"Select a scene to open"});
    EXPECT_EQ(RecordKinds(journal, 0), Kinds{JournalNewScene});
    EXPECT_EQ(Identity(*document.scene), QStringLiteral("#0 kind 0 %1 '@BG@ 1'").arg(m_ownPicture));
}

TEST_F(BrowserChoiceTest, AccessoriesAreNamedAfterTheirSubcategoryAndBubblesKeepTheTextRectangle)
{
    SetState(15);
    auto accessories = Make<AccessoryTree>();
    auto bubbles = Make<BubbleTree>();
    ClickRow(*accessories, 2);  // Alpha, A1 and its one thumbnail: item 0, number 1, (1, 2, 4, 6)
    const int32_t before = journal.GetPosition();
    ClickRow(*bubbles, 2);
    EXPECT_EQ(RecordKinds(journal, before), AddingGroup);
    EXPECT_EQ(Layers(), QStringList({"#1 kind 1 http://host/1.jpg 'A1 1'", "#1 kind 4 http://host/1.jpg 'Text 1'"}));
    EXPECT_EQ(static_cast<const LayerText*>(document.layers.GetAt(1))->GetTextRect(), (Rect{1, 2, 4, 6}));
    EXPECT_EQ(document.selectedIndex, 1);
    journal.Undo();  // each choice is one undo step
    EXPECT_EQ(journal.GetPosition(), before);
    EXPECT_EQ(Layers().size(), 1);
}

TEST_F(BrowserChoiceTest, RegressionAnItemInNoSubcategoryGetsNoName)
{
    // Item 0 stands before its category's first subcategory and so belongs to none.
    WriteIndex("ThumbsA", "<CAT First><7 \"Stray\" 1 1 1 1><SUB Hats><8 \"Top\" 0 0 5 5>");
    SetState(12);
    auto accessories = Make<AccessoryTree>();
    accessories->ChooseItem(0);
    accessories->ChooseItem(1);
    // A layer without a name of its own takes the background's.
    EXPECT_EQ(Layers(), QStringList({"#7 kind 1 Stray '@BG@ 1'", "#8 kind 1 Top 'Hats 1'"}));
}

TEST_F(BrowserChoiceTest, RegressionARecordTheJournalRefusesLeavesNoHalfGroup)
{
    // Number 70000 does not fit an insertion record.
    WriteIndex("ThumbsA", "<CAT C><SUB S><70000 \"Huge\" 0 0 1 1><SUB T><3 \"Small\" 0 0 1 1>");
    WriteIndex("EncList", "<CAT C><SUB S><70000 \"http://host/70000.jpg\" 0 0 1 1>");
    SetState(12);
    auto accessories = Make<AccessoryTree>();
    accessories->ChooseItem(0);
    EXPECT_EQ(journal.GetPosition(), 0);
    accessories->ChooseItem(1);
    journal.Undo();  // that one choice, and nothing from before it
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_TRUE(Layers().isEmpty());

    // Replacing a face with one that cannot be recorded would leave the old one removed and no new one.
    journal.Reset();
    AddSelectedFace(6);
    SetState(4);
    Make<SceneTree>()->ChooseItem(0);
    EXPECT_EQ(journal.GetEnd(), 0);
    EXPECT_EQ(Layers(), QStringList{"#6 kind 5 http://host/6.jpg 'Face 1'"});
}

TEST_F(BrowserChoiceTest, RegressionTheFaceDialogOpensAfterTheUpdateHasReachedEveryView)
{
    document.step = 2;
    auto scenes = Make<SceneTree>();
    Person person(journal, m_ownPicture);
    ASSERT_TRUE(journal.AddStep(3));  // the wizard enters the face choice and asks for the dialog
    EXPECT_EQ(LoadFromPcRequest, 0);  // taken by the update that followed
    EXPECT_TRUE(person.titles.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(person.titles, QStringList{"Select a face to open"});
    EXPECT_EQ(RecordKinds(journal, JournalStepSize), AddingGroup);
    EXPECT_EQ(Layers(), QStringList{QStringLiteral("#0 kind 0 %1 'Face 1'").arg(m_ownPicture)});
}

TEST_F(BrowserChoiceTest, RegressionTheFaceDialogWaitsForTheJournalToBeIdle)
{
    document.step = 2;
    auto scenes = Make<SceneTree>();
    {
        Person cancelling(journal, QString());
        ASSERT_TRUE(journal.AddMark() && journal.AddStep(3) && journal.AddMark());
        QCoreApplication::processEvents();
    }
    journal.Undo();  // back to state 2
    // A view after the browser runs a message loop at every update (as a help tip does), also inside
    // the Redo's group walk, where nothing can be appended.
    HintCounter nested(document);
    nested.onUpdate = [this] {
        if (!journal.IsIdle())
            QCoreApplication::processEvents();
    };
    Person person(journal, m_ownPicture);
    const int32_t end = journal.GetEnd();
    journal.Redo();
    QCoreApplication::processEvents();
    EXPECT_EQ(person.journalIdle, QList<bool>{true});
    EXPECT_EQ(RecordKinds(journal, end), AddingGroup);
}

} // namespace
