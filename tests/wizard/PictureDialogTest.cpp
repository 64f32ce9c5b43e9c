#include "WizardFixture.h"

#include "support/LayerPictures.h"
#include "support/ScopedVariable.h"

#include "engine/view/FileDialog.h"
#include "engine/view/SavePictureDialog.h"
#include "platform/ui/DocumentPromptBoxes.h"
#include "platform/ui/ModalHost.h"

#include "platform/ui/FileDialogFolder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <functional>

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

// Started from a working folder of its own, in a home without a Pictures folder at first.
TEST_F(PictureDialogTest, RegressionFileDialogsStartInTheWorkingFolderAndForgetTheLastOneChosen)
{
    const QString home = PathOf("home"), pictures = PathOf("home/Pictures"), work = PathOf("work");
    const QString chosen = PathOf("chosen"), elsewhere = PathOf("elsewhere");
    for (const QString& made : {home, work, chosen, elsewhere})
        ASSERT_TRUE(QDir().mkpath(made));
    WriteFile(chosen + "/old.smg", "project");
    const ScopedVariable homeVariable("HOME", QFile::encodeName(home));
    const ScopedVariable configVariable("XDG_CONFIG_HOME", QFile::encodeName(PathOf("config")));  // no user folders
    const QString workingFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work));
    platform::ForgetFileDialogFolder();

    platform::DocumentPromptBoxes boxes(QStringLiteral("Snapmingle"));
    const auto savePicture = [&] { document.OnSavePicture(); };
    const auto saveProject = [&](const QString& suggested) {
        return [&boxes, suggested] { boxes.AskSavePath(suggested, QStringLiteral("*.smg"), QStringLiteral(".smg")); };
    };
    const auto openProject = [] {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        platform::RunFileDialog(dialog);
    };
    struct Act {
        const char* what;
        std::function<void()> run;  // any change on the disk first, then the dialog
        QString startsIn;           // the folder the dialog shows when it opens
        QString chooses = {};       // the file the person picks; empty: Cancel
        QString offers = {};        // the file name offered, when the dialog offers one
    } const acts[] = {
        {"no Pictures folder: home", savePicture, home},
        {"then Pictures", [&] { QDir().mkpath(pictures); saveProject("Untitled.smg")(); }, pictures, {},
         pictures + "/Untitled.smg"},
        {"a file chosen in a folder", openProject, pictures, chosen + "/old.smg"},
        {"the next one starts there", savePicture, chosen},
        {"a suggested path opens its own folder", saveProject(elsewhere + "/b.smg"), elsewhere, {},
         elsewhere + "/b.smg"},
        {"a cancel keeps the folder", openProject, chosen},
        {"a folder gone since: Pictures", [&] { QDir(chosen).removeRecursively(); openProject(); }, pictures},
    };
    for (const Act& act : acts) {
        QString startedIn, offered;
        const platform::ModalHost::ScopedAnswerer answerer([&](QDialog& dialog) {
            auto& files = static_cast<QFileDialog&>(dialog);
            startedIn = files.directory().absolutePath();
            offered = files.selectedFiles().value(0);
            if (act.chooses.isEmpty())
                return static_cast<int>(QDialog::Rejected);
            files.selectFile(act.chooses);
            static_cast<QDialog&>(files).accept();
            return files.result();
        });
        act.run();
        EXPECT_EQ(startedIn, act.startsIn) << act.what;
        EXPECT_NE(startedIn, work) << act.what;
        if (!act.offers.isEmpty()) {
            EXPECT_EQ(offered, act.offers) << act.what;
        }
    }
    ASSERT_TRUE(QDir::setCurrent(workingFolder));
    platform::ForgetFileDialogFolder();
}

} // namespace
