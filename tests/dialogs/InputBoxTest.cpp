#include "DialogFixture.h"

#include "engine/layers/LayerText.h"
#include "engine/view/InputBox.h"

#include <QPlainTextEdit>
#include <QTest>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;

class InputBoxTest : public DialogTest {
protected:
    InputBoxTest() { bubble = Select(std::make_unique<LayerText>(Rect{}, 0)); }

    static QPlainTextEdit* Edit(QDialog& dialog) { return static_cast<QPlainTextEdit*>(Control(dialog, InputBox::EditId)); }
    // The person replaces everything in the box with text.
    static void Type(QDialog& dialog, const QString& text)
    {
        QTest::keyClick(Edit(dialog), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Edit(dialog), Qt::Key_Delete);
        QTest::keyClicks(Edit(dialog), text);
    }
    // Whether the journal holds exactly one undo step: undone, nothing is left to undo.
    bool OneStep()
    {
        journal.Undo();
        const bool one = journal.GetPosition() == 0 && journal.CanRedo();
        journal.Redo();
        return one;
    }

    Layer* bubble = nullptr;
};

// The box opens with the text selected, so that typing replaces it. Apply and OK record a changed
// text, once however often they are pressed; Cancel keeps what was applied.
TEST_F(InputBoxTest, ApplyAndOkRecordAChangedTextOnceAndCancelKeepsWhatWasApplied)
{
    const QString typed(1100, QLatin1Char('k'));
    struct Case {
        const char* what;
        QString first;
        bool apply;    // twice, after the first text
        QString then;  // typed next unless null
        int button;
        QString stored;
        bool step;
    };
    const Case cases[] = {
        {"emptied", "", false, {}, OkId, "", true},
        {"applied, then OK", "A", true, {}, OkId, "A", true},
        {"1100 characters", typed, false, {}, OkId, typed.left(1022), true},
        {"unchanged, applied", "Place text here.", true, {}, OkId, "Place text here.", false},
        {"applied, then changed and cancelled", "A", true, "B", CancelId, "A", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        journal.Reset();
        bubble->SetText(QStringLiteral("Place text here."));
        const Person person([&](QDialog& dialog) {
            EXPECT_EQ(dialog.focusWidget(), Edit(dialog));
            EXPECT_EQ(Edit(dialog)->textCursor().selectedText(), QStringLiteral("Place text here."));
            Type(dialog, c.first);
            for (int i = 0; c.apply && i < 2; ++i)
                Click(dialog, InputBox::ApplyId);
            if (!c.then.isNull())
                Type(dialog, c.then);
            Click(dialog, c.button);
            EXPECT_EQ(dialog.result(), c.button == OkId ? QDialog::Accepted : QDialog::Rejected);
        });
        document.OnEditText();
        EXPECT_EQ(person.dialogs, 1);
        EXPECT_EQ(bubble->GetText(), c.stored);
        EXPECT_EQ(c.step ? OneStep() : !journal.CanUndo(), true);
    }
}

// Qt's edit gives LF where texts have always been stored with CR LF: texts of several lines
// were stored differently and counted differently against the limit. Enter starts a line, Tab moves on.
TEST_F(InputBoxTest, RegressionLineEndsAreStoredAsCrLf)
{
    bubble->SetText(QStringLiteral("one\r\ntwo\rthree"));
    const Person person([&](QDialog& dialog) {
        EXPECT_EQ(Edit(dialog)->toPlainText(), QStringLiteral("one\ntwo\nthree"));
        Edit(dialog)->moveCursor(QTextCursor::End);
        QTest::keyClick(Edit(dialog), Qt::Key_Return);
        QTest::keyClick(Edit(dialog), Qt::Key_Enter);
        QTest::keyClicks(Edit(dialog), "four");
        QTest::keyClick(Edit(dialog), Qt::Key_Tab);
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(dialog.focusWidget(), Control(dialog, InputBox::ApplyId));
        Click(dialog, OkId);
    });
    document.OnEditText();
    EXPECT_EQ(bubble->GetText(), QStringLiteral("one\r\ntwo\r\nthree\r\n\r\nfour"));

    const std::tuple<QString, qsizetype, QString> cut[] = {
        {"xxxx\ny", 5, "xxxx"},  // never a lone CR at the end
        {"xxxx\ny", 6, "xxxx\r\n"},
        {"xxxx" + QString::fromUtf8("\U0001F600"), 5, "xxxx"},  // nor half a character
    };
    for (const auto& [box, limit, stored] : cut)
        EXPECT_EQ(StoredText(box, limit), stored) << box.toStdString();
}

// A text beyond the limit (only a project file can hold one) was cut by OK although nobody touched it.
TEST_F(InputBoxTest, RegressionOkCutsAnUntouchedLongText)
{
    const QString stored = QString(1500, QLatin1Char('w')) + "\r\nend";
    bubble->SetText(stored);
    for (const QString typed : {"", "!"}) {
        const Person person([&](QDialog& dialog) {
            Edit(dialog)->moveCursor(QTextCursor::End);
            QTest::keyClicks(Edit(dialog), typed);
            Click(dialog, OkId);
        });
        document.OnEditText();
        EXPECT_EQ(bubble->GetText(), typed.isEmpty() ? stored : stored.left(1022));
        EXPECT_EQ(journal.CanUndo(), !typed.isEmpty());
    }
}

} // namespace
