#include "WizardFixture.h"

#include "support/LayerPictures.h"

#include "engine/view/FileDialog.h"
#include "engine/view/SavePictureDialog.h"
#include "platform/ui/DocumentPromptBoxes.h"
#include "platform/ui/ModalHost.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

namespace {

// Plays the person: types name into the file dialog and presses Save; answers any question with reply.
class Person {
public:
    Person(QString folder, QString name, int reply = QMessageBox::No)
        : m_folder(std::move(folder)), m_name(std::move(name)), m_reply(reply),
          m_answerer([this](QDialog& dialog) { return Answer(dialog); })
    {
    }
    QStringList questions;

private:
    int Answer(QDialog& dialog)
    {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            questions << box->text();
            return m_reply;
        }
        auto& files = static_cast<QFileDialog&>(dialog);
        files.setDirectory(m_folder);
        files.selectFile(m_name);
        static_cast<QDialog&>(files).accept();  // the Save button
        return files.result();
    }

    QString m_folder;
    QString m_name;
    int m_reply;
    platform::ModalHost::ScopedAnswerer m_answerer;
};

class PictureDialogTest : public WizardTest {
protected:
    PictureDialogTest()
    {
        SetScene(PictureLayer(Filled(4, 3, qRgb(255, 0, 0)), LayerFlagsBackground));
        document.step = 15;
    }
    QString PathOf(const QString& name) const { return QDir(folder.path()).filePath(name); }

    QTemporaryDir folder;
    SavePictureDialog dialog;
};

TEST_F(PictureDialogTest, ATypedPngNameIsWrittenAsJpeg)
{
    const Person person(folder.path(), "holiday.png");
    document.OnSavePicture();
    EXPECT_FALSE(QFile::exists(PathOf("holiday.png")));
    QFile file(PathOf("holiday.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(3) == QByteArray("\xFF\xD8\xFF"));
    EXPECT_EQ(QImage(PathOf("holiday.jpg")).size(), QSize(4, 3));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

// The overwrite question must be about the file that will be written: a typed "x.png" replaces "x.jpg".
TEST_F(PictureDialogTest, RegressionTheOverwriteQuestionNamesTheJpgFile)
{
    WriteFile(PathOf("x.jpg"), "keep me");
    {
        Person person(folder.path(), "x.png", QMessageBox::No);
        document.OnSavePicture();
        EXPECT_EQ(person.questions, QStringList{"x.jpg already exists.\nDo you want to replace it?"});
    }
    QFile kept(PathOf("x.jpg"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
    kept.close();

    Person yes(folder.path(), "x", QMessageBox::Yes);
    document.OnSavePicture();
    EXPECT_EQ(QImage(PathOf("x.jpg")).size(), QSize(4, 3));
}

TEST(DocumentPromptBoxesTest, QuestionsAndTheSaveDialogGoThroughTheModalHost)
{
    platform::DocumentPromptBoxes boxes("Snapmingle");
    const QTemporaryDir folder;
    const QString chosen = folder.filePath(QStringLiteral("chosen"));
    QStringList seen;
    int reply = QMessageBox::No;
    const platform::ModalHost::ScopedAnswerer answerer([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            seen << box->windowTitle() + ": " + box->text();
            return reply;
        }
        auto& files = static_cast<QFileDialog&>(dialog);
        seen << "filter " + files.nameFilters().join(';') + ", file " + files.selectedFiles().value(0).section('/', -1);
        files.selectFile(chosen);
        static_cast<QDialog&>(files).done(QDialog::Accepted);
        return files.result();
    });
    EXPECT_EQ(boxes.AskYesNoCancel("Save changes to a?"), platform::DocumentPrompts::Answer::No);
    reply = QMessageBox::Cancel;
    EXPECT_EQ(boxes.AskYesNoCancel("Save changes to b?"), platform::DocumentPrompts::Answer::Cancel);
    EXPECT_EQ(boxes.AskSavePath("Untitled.smg", "Snapmingle Projects (*.smg)", ".smg"), chosen + QStringLiteral(".smg"));
    boxes.ReportFailure("It failed.");
    EXPECT_EQ(seen, (QStringList{"Snapmingle: Save changes to a?", "Snapmingle: Save changes to b?",
                                 "filter Snapmingle Projects (*.smg), file Untitled.smg", "Snapmingle: It failed."}));
}

} // namespace
