#include "DialogFixture.h"

#include "engine/layers/LayerText.h"
#include "engine/view/InputBox.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;

class InputBoxTest : public DialogTest {
protected:
    InputBoxTest() { bubble = Select(std::make_unique<LayerText>(Rect{}, 0)); }

    // The person selects everything in the box and types text in its place.
    static void Type(QDialog& dialog, const QString& text)
    {
        QWidget* edit = Control(dialog, InputBox::EditId);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // The undo steps the journal holds.
    int Steps()
    {
        int steps = 0;
        const int32_t position = journal.GetPosition();
        for (; journal.CanUndo(); ++steps)
            journal.Undo();
        while (journal.GetPosition() != position)
            journal.Redo();
        return steps;
    }

    Layer* bubble = nullptr;
    const QString initial = QStringLiteral("Place text here.");
};

TEST_F(InputBoxTest, ApplyRecordsOnlyAChangedTextAndStaysOpen)
{
    const Person person([&](QDialog& dialog) {
        Click(dialog, InputBox::ApplyId);
        EXPECT_EQ(journal.GetPosition(), 0);
        Type(dialog, "Hello");
        Click(dialog, InputBox::ApplyId);
        EXPECT_EQ(bubble->GetText(), QStringLiteral("Hello"));
        Click(dialog, InputBox::ApplyId);
        EXPECT_TRUE(dialog.isVisible());
        Click(dialog, OkId);
        EXPECT_FALSE(dialog.isVisible());
    });
    document.OnEditText();
    EXPECT_EQ(person.dialogs, 1);
    EXPECT_EQ(bubble->GetText(), QStringLiteral("Hello"));
    EXPECT_EQ(Steps(), 1);
    journal.Undo();
    EXPECT_EQ(bubble->GetText(), initial);
}

TEST_F(InputBoxTest, CancelKeepsWhatWasApplied)
{
    const Person person([&](QDialog& dialog) {
        Type(dialog, "A");
        Click(dialog, InputBox::ApplyId);
        Type(dialog, "B");
        Click(dialog, CancelId);
    });
    document.OnEditText();
    EXPECT_EQ(bubble->GetText(), QStringLiteral("A"));
    EXPECT_EQ(Steps(), 1);
}

TEST_F(InputBoxTest, OkRecordsTheFetchedText)
{
    struct Case {
        const char* what;
        bool applyFirst;
        QString typed;
        QString stored;
        int steps;
    };
    const QString typed(1100, QLatin1Char('k'));
    const Case cases[] = {
        {"emptied", false, QString(), QString(), 1},
        {"applied, then OK", true, QStringLiteral("A"), QStringLiteral("A"), 1},
        {"1100 characters", false, typed, typed.left(1022), 1},
        {"unchanged", false, QStringLiteral("Place text here."), QStringLiteral("Place text here."), 0},
    };
    for (const Case& c : cases) {
        journal.Reset();
        bubble->SetText(initial);
        const Person person([&](QDialog& dialog) {
            Type(dialog, c.typed);
            if (c.applyFirst)
                Click(dialog, InputBox::ApplyId);
            Click(dialog, OkId);
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.what;
        });
        document.OnEditText();
        EXPECT_EQ(bubble->GetText(), c.stored) << c.what;
        EXPECT_EQ(Steps(), c.steps) << c.what;
    }
}

TEST_F(InputBoxTest, EnterStartsANewLineAndTabMovesOn)
{
    const Person person([&](QDialog& dialog) {
        auto* edit = static_cast<QPlainTextEdit*>(Control(dialog, InputBox::EditId));
        EXPECT_EQ(dialog.focusWidget(), edit);
        EXPECT_EQ(edit->textCursor().selectedText(), initial);  // typing replaces it
        QTest::keyClicks(edit, "one");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
        QTest::keyClicks(edit, "two");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(edit->toPlainText(), QStringLiteral("one\n\ntwo"));
        EXPECT_EQ(dialog.focusWidget(), Control(dialog, InputBox::ApplyId));
        CheckLayout(dialog, "edit-text");
        Click(dialog, OkId);
    });
    document.OnEditText();
    EXPECT_EQ(bubble->GetText(), QStringLiteral("one\r\n\r\ntwo"));
}

TEST_F(InputBoxTest, TheTemplate)
{
    InputBox box(document, initial);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Edit Text"));
    EXPECT_EQ(box.size(), QSize(390, 159));
    const std::tuple<int, QString, QRect> buttons[] = {{OkId, "OK", {224, 125, 75, 23}},
                                                       {CancelId, "Cancel", {305, 125, 75, 23}},
                                                       {InputBox::ApplyId, "Apply", {144, 125, 75, 23}}};
    for (const auto& [id, text, rect] : buttons) {
        auto* button = qobject_cast<QPushButton*>(Control(box, id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text(), text);
        EXPECT_EQ(button->geometry(), rect) << id;
        EXPECT_EQ(button->isDefault(), id == OkId) << id;
    }
    EXPECT_EQ(Control(box, InputBox::EditId)->geometry(), QRect(11, 11, 369, 94));
}

// The platform's edit gives LF where the program has always stored CR LF; texts of several lines were
// stored differently and counted against the limit differently.
TEST_F(InputBoxTest, RegressionLineEndsAreStoredAsCrLf)
{
    bubble->SetText(QStringLiteral("one\r\ntwo\rthree"));
    const Person person([&](QDialog& dialog) {
        auto* edit = static_cast<QPlainTextEdit*>(Control(dialog, InputBox::EditId));
        EXPECT_EQ(edit->toPlainText(), QStringLiteral("one\ntwo\nthree"));
        edit->moveCursor(QTextCursor::End);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, "four");
        Click(dialog, OkId);
    });
    document.OnEditText();
    EXPECT_EQ(bubble->GetText(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));

    const std::tuple<QString, qsizetype, QString> cut[] = {
        {"a\nb\r\nc\rd", 20, "a\r\nb\r\nc\r\nd"},
        {QString(4, 'x') + "\ny", 5, QString(4, 'x')},         // never a lone CR at the end
        {QString(4, 'x') + "\ny", 6, QString(4, 'x') + "\r\n"},
        {"xxxx" + QString::fromUtf8("\U0001F600"), 5, "xxxx"},  // nor half a character
    };
    for (const auto& [box, limit, stored] : cut)
        EXPECT_EQ(StoredText(box, limit), stored) << box.toStdString();
}

// A text longer than the limit (only a project file can hold one) was cut by OK although nobody
// touched it.
TEST_F(InputBoxTest, RegressionOkCutsAnUntouchedLongText)
{
    const QString stored = QString(1500, QLatin1Char('w')) + "\r\nend";
    bubble->SetText(stored);
    {
        const Person person([&](QDialog& dialog) { Click(dialog, OkId); });
        document.OnEditText();
    }
    EXPECT_EQ(bubble->GetText(), stored);
    EXPECT_EQ(journal.GetPosition(), 0);

    const Person person([&](QDialog& dialog) {
        auto* edit = static_cast<QPlainTextEdit*>(Control(dialog, InputBox::EditId));
        edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(edit, "!");
        Click(dialog, OkId);
    });
    document.OnEditText();
    EXPECT_EQ(bubble->GetText(), stored.left(1022));
}

} // namespace
