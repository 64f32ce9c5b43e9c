#include "DocumentFixture.h"

#include "engine/document/JournalKind.h"
#include "engine/document/StepBarLink.h"

#include <memory>
#include <sys/resource.h>

namespace {

using ByteList = std::vector<uint8_t>;

class JournalTest : public DocumentTest {
protected:
    void SelectFirstOfTwo()
    {
        AddLayer(QStringLiteral("Face 1"));
        AddLayer(QStringLiteral("Face 2"));
        document.selectedIndex = 0;
    }
};

// ---- The frame ----

TEST_F(JournalTest, RegressionTheBufferExistsFromConstruction)
{
    EXPECT_NE(journal.GetData(), nullptr);
    EXPECT_EQ(journal.GetCapacity(), Journal::InitialCapacity);
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_EQ(journal.GetEnd(), 0);
    EXPECT_EQ(journal.GetSavedPosition(), 0);
    EXPECT_FALSE(journal.IsBusy());
    EXPECT_TRUE(journal.IsIdle());
}

TEST_F(JournalTest, RecordsLieEndToEndOnFourByteBoundaries)
{
    SelectFirstOfTwo();
    ASSERT_TRUE(journal.AddMark());
    ASSERT_TRUE(journal.AddRotate(5));
    ASSERT_TRUE(journal.AddMove(1, 2));
    ASSERT_TRUE(journal.AddCrop(0, 0, 0, 0, 0, 0));
    ASSERT_TRUE(journal.AddColor(1, 2, 3, 4, 5));
    EXPECT_EQ(journal.GetPosition(), 4 + 8 + 16 + 32 + 20);
    EXPECT_EQ(journal.GetEnd(), journal.GetPosition());

    // Backwards by the trailing kind bytes, forwards by the leading ones.
    const std::vector<int32_t> sizes{20, 32, 16, 8, 4};
    for (int32_t n : sizes) {
        EXPECT_EQ(journal.RecordSize(false), n);
        journal.Undo();
        EXPECT_EQ(journal.GetPosition() % JournalAlignment, 0);
        EXPECT_EQ(journal.RecordSize(true), n);
    }
    EXPECT_EQ(journal.RecordSize(false), 0);
}

TEST_F(JournalTest, ARecordEndingExactlyAtTheCapacityDoublesTheBufferFirst)
{
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(journal.AddMark());
    EXPECT_EQ(journal.GetPosition(), 1020);
    EXPECT_EQ(journal.GetCapacity(), 1024);
    ASSERT_TRUE(journal.AddMark());  // would end at 1024
    EXPECT_EQ(journal.GetCapacity(), 2048);
    EXPECT_EQ(journal.GetPosition(), 1024);
    for (int32_t i = 0; i < 1024; ++i)
        ASSERT_EQ(journal.GetData()[i], JournalMark) << i;
}

TEST_F(JournalTest, GrowthKeepsTheRecordsAndDoublesAgainAsNeeded)
{
    SelectFirstOfTwo();
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(journal.AddMove(static_cast<float>(i), 0));
    EXPECT_EQ(journal.GetPosition(), 3200);
    EXPECT_EQ(journal.GetCapacity(), 4096);
    for (int i = 199; i >= 0; --i) {
        const ByteList record = LastRecord();
        ASSERT_EQ(record.size(), 16u);
        float dx = 0;
        std::memcpy(&dx, record.data() + 4, 4);
        EXPECT_EQ(dx, static_cast<float>(i));
        journal.Undo();
    }
}

TEST_F(JournalTest, RegressionGrowthUsesSixtyFourBitSizes)
{
    // A 65536 x 65536 block would need 4 GiB: its size does not fit the record's 32-bit field.
    AddLayer(QStringLiteral("Face 1"));
    const uint8_t delta[4] = {};
    EXPECT_FALSE(journal.AddPixels(Rect{0, 0, 65535, 65535}, delta, 65536, 0));
    // 38730 x 38730 bytes fit the field, but the capacity that would hold them does not fit 32 bits.
    EXPECT_FALSE(journal.AddPixels(Rect{0, 0, 38729, 38729}, delta, 38730, 0));
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_EQ(journal.GetEnd(), 0);
    EXPECT_EQ(journal.GetCapacity(), Journal::InitialCapacity);
}

// Sanitizers reserve address space of their own, so an address space limit says nothing under them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool AddressSpaceLimitHolds = false;
#else
constexpr bool AddressSpaceLimitHolds = true;
#endif

TEST_F(JournalTest, RegressionAnAllocationFailureAppendsNothing)
{
    if (!AddressSpaceLimitHolds)
        GTEST_SKIP() << "address space limits do not apply under a sanitizer";
    SelectFirstOfTwo();
    ASSERT_TRUE(journal.AddMove(1, 1));
    // A 512 MiB stroke block needs a 1 GiB buffer, which this process's address space limit refuses.
    constexpr int32_t side = 16384;
    constexpr int32_t rows = 32768;
    std::unique_ptr<uint8_t[]> delta(new uint8_t[static_cast<size_t>(side) * rows]);  // never touched
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 900ull << 20;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &limited), 0);
    const bool appended = journal.AddPixels(Rect{0, 0, side - 1, rows - 1}, delta.get(), side, 0);
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_FALSE(appended);
    EXPECT_EQ(journal.GetPosition(), 16);
    EXPECT_EQ(journal.GetEnd(), 16);
    EXPECT_EQ(journal.GetCapacity(), Journal::InitialCapacity);
    journal.Undo();
    EXPECT_EQ(document.layers.GetAt(0)->position, (PointF{0, 0}));
}

TEST_F(JournalTest, DeleteContentsStartsAFreshLog)
{
    SelectFirstOfTwo();
    for (int i = 0; i < 100; ++i)
        journal.AddMove(1, 1);
    journal.MarkSaved();
    document.DeleteContents();
    EXPECT_EQ(journal.GetCapacity(), Journal::InitialCapacity);
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_EQ(journal.GetEnd(), 0);
    EXPECT_EQ(journal.GetSavedPosition(), 0);
    EXPECT_FALSE(journal.CanUndo());
}

// ---- Undo and Redo ----

TEST_F(JournalTest, UndoOnAnEmptyLogAndRedoAtTheEndDoNothing)
{
    journal.Undo();
    journal.Redo();
    EXPECT_EQ(hints.redraws, 0);
    EXPECT_EQ(journal.GetPosition(), 0);

    SelectFirstOfTwo();
    journal.AddMove(1, 1);
    hints.redraws = 0;
    journal.Redo();
    EXPECT_EQ(hints.redraws, 0);
}

TEST_F(JournalTest, AppendingAfterUndoDiscardsTheUndoneRecords)
{
    SelectFirstOfTwo();
    journal.AddMove(1, 0);
    journal.AddMove(2, 0);
    journal.Undo();
    EXPECT_TRUE(journal.CanRedo());
    EXPECT_EQ(journal.GetEnd(), 32);
    journal.AddScale(1, 1);
    EXPECT_FALSE(journal.CanRedo());
    EXPECT_EQ(journal.GetEnd(), 32);
    EXPECT_EQ(LastRecord()[0], JournalScale);
}

TEST_F(JournalTest, AGroupIsUndoneAndRedoneAsOneStep)
{
    SelectFirstOfTwo();
    Layer* layer = document.layers.GetAt(0);
    journal.AddMove(100, 0);
    journal.AddMark();
    journal.AddScale(1, 1);
    journal.AddMove(1, 2);
    journal.AddMark();
    EXPECT_EQ(layer->position, (PointF{101, 2}));
    EXPECT_EQ(layer->scale, (PointF{2, 2}));

    hints.redraws = 0;
    journal.Undo();
    EXPECT_EQ(layer->position, (PointF{100, 0}));
    EXPECT_EQ(layer->scale, (PointF{1, 1}));
    EXPECT_EQ(journal.GetPosition(), 16);
    EXPECT_EQ(hints.redraws, 4);  // k = 4 records: 3 inside the walk, 1 after it

    hints.redraws = 0;
    journal.Redo();
    EXPECT_EQ(layer->position, (PointF{101, 2}));
    EXPECT_EQ(layer->scale, (PointF{2, 2}));
    EXPECT_EQ(journal.GetPosition(), journal.GetEnd());
    EXPECT_EQ(hints.redraws, 4);
}

TEST_F(JournalTest, AnEmptyGroupSendsOneHintInsideTheWalkAndOneAfterIt)
{
    journal.AddMark();
    journal.AddMark();
    EXPECT_EQ(hints.redraws, 0);
    journal.Undo();
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_EQ(hints.redraws, 2);
    journal.Redo();
    EXPECT_EQ(journal.GetPosition(), 8);
    EXPECT_EQ(hints.redraws, 4);
}

TEST_F(JournalTest, RegressionGroupWalksStopAtTheStartAndTheEndOfTheLog)
{
    SelectFirstOfTwo();
    Layer* layer = document.layers.GetAt(0);
    // A closing mark without its opening one: Undo walks back to the start and stops there.
    journal.AddMove(1, 0);
    journal.AddMove(2, 0);
    journal.AddMark();
    journal.Undo();
    EXPECT_EQ(journal.GetPosition(), 0);
    EXPECT_EQ(layer->position, (PointF{0, 0}));
    // The first mark read forwards opens a group that has no end: Redo stops at the end of the log.
    journal.Redo();
    EXPECT_EQ(journal.GetPosition(), 16);  // the first move alone, it is no mark
    journal.Redo();
    journal.Redo();
    EXPECT_EQ(journal.GetPosition(), journal.GetEnd());

    document.DeleteContents();
    AddLayer(QStringLiteral("Face 1"));
    document.selectedIndex = 0;
    journal.AddMark();
    journal.AddMove(5, 0);
    journal.Undo();  // the move alone
    journal.Undo();  // the mark closes nothing: the walk meets the start
    EXPECT_EQ(journal.GetPosition(), 0);
    journal.Redo();  // an opening mark whose group runs to the end
    EXPECT_EQ(journal.GetPosition(), journal.GetEnd());
    EXPECT_EQ(document.layers.GetAt(0)->position, (PointF{5, 0}));
}

TEST_F(JournalTest, AppendHintsFollowTheKind)
{
    SelectFirstOfTwo();
    const uint8_t delta[1] = {0};
    const std::vector<std::pair<std::function<bool()>, int>> cases{
        {[&] { return journal.AddMark(); }, 0},
        {[&] { return journal.AddPixels(Rect{0, 0, 0, 0}, delta, 1, 0); }, 0},
        {[&] { return journal.AddStep(5); }, 1},
        {[&] { return journal.AddSelectLayer(1); }, 1},
        {[&] { return journal.AddRotate(1); }, 1},
        {[&] { return journal.AddMove(1, 1); }, 1},
        {[&] { return journal.AddScale(1, 1); }, 1},
        {[&] { return journal.AddCrop(0, 0, 0, 0, 1, 1); }, 1},
        {[&] { return journal.AddReorder(-1); }, 1},
        {[&] { return journal.AddColor(0, 0, 0, 1, 1); }, 1},
        {[&] { return journal.AddDeleteLayer(1); }, 1},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        hints.redraws = 0;
        ASSERT_TRUE(cases[i].first()) << i;
        EXPECT_EQ(hints.redraws, cases[i].second) << i;
    }
}

TEST_F(JournalTest, RecordSizeOfAnUnknownKindIsZero)
{
    journal.AddMark();
    EXPECT_EQ(journal.RecordSize(false), 4);
    EXPECT_EQ(journal.RecordSize(true), 0);  // nothing after the position
}

// ---- The modified flag ----

TEST_F(JournalTest, BeforeStepNineNothingCountsAsModified)
{
    SelectFirstOfTwo();
    document.step = 8;
    journal.AddMove(1, 1);
    journal.AddMove(1, 1);
    EXPECT_FALSE(document.IsModified());
    document.step = 9;
    journal.AddMove(1, 1);
    EXPECT_TRUE(document.IsModified());
}

TEST_F(JournalTest, ReturningToTheSavedPositionClearsTheModifiedFlag)
{
    SelectFirstOfTwo();
    document.step = 10;
    document.SetTitle(QStringLiteral("Joke"));
    journal.AddMove(1, 1);
    document.SetModifiedFlag(false);  // saved at 16
    EXPECT_EQ(journal.GetSavedPosition(), 16);
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Joke"));

    journal.AddMove(1, 1);
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Joke*"));
    journal.Undo();
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Joke"));
    EXPECT_EQ(journal.GetSavedPosition(), 16);
    journal.Undo();
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(journal.GetSavedPosition(), 16);
    journal.Redo();
    EXPECT_FALSE(document.IsModified());
}

TEST_F(JournalTest, ABranchAfterUndoMakesTheSavedStateUnreachable)
{
    SelectFirstOfTwo();
    document.step = 10;
    journal.AddMove(1, 1);
    journal.AddMove(1, 1);
    document.SetModifiedFlag(false);  // saved at 32
    journal.Undo();
    journal.Undo();
    journal.AddScale(1, 1);  // overwrites the saved state
    EXPECT_EQ(journal.GetSavedPosition(), -1);
    EXPECT_TRUE(document.IsModified());
    journal.Undo();
    EXPECT_TRUE(document.IsModified());
    document.SetModifiedFlag(false);
    EXPECT_EQ(journal.GetSavedPosition(), 0);
    EXPECT_FALSE(document.IsModified());
}

// ---- Re-entrancy and the busy flag ----

// A step bar that reads the journal's state whenever a step is shown, and may try to append then (as a
// help tip's nested tick could).
class ObservingStepBar final : public StepBarLink {
public:
    explicit ObservingStepBar(Journal& journal) : m_journal(journal), m_saved(g_stepBar) { g_stepBar = this; }
    ~ObservingStepBar() { g_stepBar = m_saved; }
    void SetStep(int32_t, bool) override
    {
        busy.push_back(m_journal.IsBusy());
        if (appendWhileShown)
            appended.push_back(m_journal.AddMark());
    }
    std::vector<bool> busy;
    std::vector<bool> appended;
    bool appendWhileShown = false;

private:
    Journal& m_journal;
    StepBarLink* m_saved;
};

TEST_F(JournalTest, TheBusyFlagIsSetOnlyWhileUndoRuns)
{
    ObservingStepBar stepBar(journal);
    document.step = 2;
    journal.AddStep(3);
    journal.Undo();
    journal.Redo();
    EXPECT_EQ(stepBar.busy, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(journal.IsBusy());
}

TEST_F(JournalTest, RegressionNothingAppendsWhileARecordIsPerformed)
{
    ObservingStepBar stepBar(journal);
    stepBar.appendWhileShown = true;
    document.step = 2;
    ASSERT_TRUE(journal.AddStep(3));
    journal.Undo();
    journal.Redo();
    EXPECT_EQ(stepBar.appended, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(journal.GetEnd(), 4);
    EXPECT_EQ(journal.GetPosition(), 4);
    EXPECT_EQ(document.step, 3);
}

TEST_F(JournalTest, RegressionViewsMayAppendOnlyAfterTheWalkHasEnded)
{
    SelectFirstOfTwo();
    journal.AddMark();
    journal.AddMove(1, 1);
    journal.AddMark();
    std::vector<bool> appended;
    hints.onUpdate = [&] {
        if (appended.size() < 3)
            appended.push_back(journal.AddMark());
    };
    journal.Undo();
    // Two hints inside the walk are refused; the final hint finds the journal idle.
    EXPECT_EQ(appended, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(journal.GetPosition(), 4);
    EXPECT_EQ(journal.GetEnd(), 4);
    EXPECT_FALSE(journal.IsBusy());
}

} // namespace
