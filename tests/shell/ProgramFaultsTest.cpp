// The whole program in process when things go wrong around it: the content server gone in the middle of
// a session, project and picture files that cannot be written, damaged projects on the command line.
// What is asserted is what the person meets: pictures drawn, messages shown, files on the disk.
#include "ShellTestSupport.h"

#include "engine/base/AppPaths.h"
#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerInfo.h"
#include "engine/layers/LayerKind.h"
#include "engine/view/DocumentView.h"
#include "library/browser/SceneTree.h"
#include "library/download/RequestManager.h"
#include "library/share/ui/MailBox.h"
#include "platform/ui/CommandRouter.h"
#include "shell/MainFrame.h"
#include "shell/PaneSplitters.h"
#include "shell/StepBar.h"
#include "shell/SnapmingleApplication.h"
#include "support/Bytes.h"
#include "support/LayerPictures.h"
#include "support/ProgramSession.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace {

using ProgramFaultsTest = ProgramTest;

// The content server stops after the first scene has loaded: what is cached keeps working, what is not
// shows "Load Failed.", undo works, and the program ends without waiting on its download workers.
TEST_F(ProgramFaultsTest, AServerGoneMidwayLeavesTheCacheWorkingAndTheRestLoadFailed)
{
    ASSERT_TRUE(Start());
    SceneTree& scenes = *Frame().Scenes();
    session.PressNextStep();
    ASSERT_EQ(g_document->step, StepChooseScene);
    // The open subcategory's thumbnails all arrive, and the poll stops.
    ASSERT_TRUE(Settle([&] { return !scenes.IsPolling(); }));
    const int32_t first = scenes.Rows().OpenSubcategory();
    const QImage thumbnail = ShownThumbnail(scenes, 0);
    ASSERT_FALSE(thumbnail.isNull());

    session.ClickThumbnail(scenes, 0);
    ASSERT_TRUE(Settle([] { return g_document->step == StepSceneChosen && g_document->scene->GetImage(); }));
    const int32_t cached = g_document->scene->number;
    const QImage cachedScene = SaveGrab(*Frame().View(), "faults-cached-scene");

    session.Library().Stop();

    // A scene of the next subcategory, which nobody fetched: its layer ends showing "Load Failed.".
    session.ClickSubcategory(scenes, first + 1);
    ASSERT_EQ(scenes.Rows().OpenSubcategory(), first + 1);
    session.ClickThumbnail(scenes, 0);
    ASSERT_NE(g_document->scene->number, cached);
    const int32_t missing = g_document->scene->number;
    ASSERT_TRUE(Settle([] { return !g_document->scene->pendingTask; }));
    EXPECT_EQ(g_document->scene->GetImage(), nullptr);
    EXPECT_EQ(DrawnLayer(*g_document->scene, Layer::PlaceholderSize, Layer::PlaceholderSize, ViewModeAllLayers),
              PlaceholderPicture(QStringLiteral("Load Failed.")));
    SaveGrab(Frame(), "faults-load-failed");

    // Back in the first subcategory the cached thumbnail is drawn from the cache, and its scene, chosen
    // again, loads from the cache and shows as before.
    session.ClickSubcategory(scenes, first);
    ASSERT_EQ(scenes.Rows().OpenSubcategory(), first);
    EXPECT_TRUE(Settle([&] { return ShownThumbnail(scenes, 0) == thumbnail; }));
    session.ClickThumbnail(scenes, 0);
    ASSERT_EQ(g_document->scene->number, cached);
    ASSERT_TRUE(Settle([] { return g_document->scene->GetImage() != nullptr; }));
    EXPECT_TRUE(Settle([&] { return Frame().View()->grab().toImage() == cachedScene; }));

    // Ctrl+Z, with the focus still in the browser that was clicked, brings back the scene that failed,
    // failing again.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &Frame(), Qt::Key_Z,
                    Qt::ControlModifier);
    EXPECT_EQ(g_document->scene->number, missing);
    ASSERT_TRUE(Settle([] { return !g_document->scene->pendingTask; }));
    EXPECT_EQ(g_document->scene->GetImage(), nullptr);

    // Ending waits for no download: the workers stop and every request is gone.
    const QString index = g_paths->cacheFolder + "EncList.txt";
    const QByteArray indexBytes = ReadFile(index);
    EXPECT_EQ(session.application->ExitInstance(), 0);
    EXPECT_TRUE(g_requestManager->requests.empty());
    session.application.reset();

    // Started again with the server still gone, the program runs from its cache: no progress dialog,
    // the cached scene loads, and the failed refresh of the index files leaves them whole.
    progressDialogs = 0;
    ASSERT_TRUE(Start());
    EXPECT_EQ(progressDialogs, 0);
    ASSERT_TRUE(Settle([] { return g_requestManager->requests.empty(); }));
    EXPECT_EQ(ReadFile(index), indexBytes);
    session.PressNextStep();
    ASSERT_EQ(Frame().Scenes()->Rows().OpenSubcategory(), first);
    session.ClickThumbnail(*Frame().Scenes(), 0);
    ASSERT_TRUE(Settle([] { return g_document->step == StepSceneChosen && g_document->scene->GetImage(); }));
    EXPECT_EQ(g_document->scene->number, cached);

    // A face that is not in the cache: the Crop Layer view shows its placeholder saying "Load Failed.".
    session.PressNextStep();
    ASSERT_EQ(g_document->step, StepChooseFace);
    SceneTree& faces = *Frame().Scenes();
    session.ClickSubcategory(faces, first + 1);
    session.ClickThumbnail(faces, 0);
    ASSERT_EQ(g_document->layers.GetCount(), 2);  // the scene, moved into the list, and the face
    Layer& face = *g_document->layers.GetAt(1);
    ASSERT_TRUE(Settle([&] { return !face.pendingTask; }));
    EXPECT_EQ(face.GetImage(), nullptr);
    EXPECT_EQ(g_document->step, StepChooseFace);  // Next Step waits for a face that loads
    const QImage expected = PlaceholderPicture(QStringLiteral("Load Failed."));
    EXPECT_TRUE(Settle([&] {
        return g_document->renderBuffer && g_document->renderBuffer->Picture() &&
               g_document->renderBuffer->Picture()->convertToFormat(expected.format()) == expected;
    }));
    SaveGrab(Frame(), "faults-face-load-failed");
}

// Where a save cannot write: the disk is full, the folder is read-only, or the folder is a file.
enum class Unwritable { FullDisk, ReadOnlyFolder, FolderIsAFile };

struct UnwritableCase {
    const char* name;
    Unwritable how;
};

constexpr UnwritableCase UnwritableCases[] = {
    {"a full disk", Unwritable::FullDisk},
    {"a read-only folder", Unwritable::ReadOnlyFolder},
    {"a folder that is a file", Unwritable::FolderIsAFile},
};

// Makes a save into folder fail the way the case says while it lives. Permissions do not stop root.
class UnwritableFolder {
public:
    UnwritableFolder(Unwritable how, const QString& folder) : m_how(how), m_folder(folder)
    {
        if (how == Unwritable::FullDisk)
            m_limit = std::make_unique<ScopedFileSizeLimit>(16);
        if (how == Unwritable::ReadOnlyFolder)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~UnwritableFolder()
    {
        if (m_how == Unwritable::ReadOnlyFolder)
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    static bool Possible(Unwritable how) { return how != Unwritable::ReadOnlyFolder || geteuid() != 0; }

private:
    Unwritable m_how;
    QString m_folder;
    std::unique_ptr<ScopedFileSizeLimit> m_limit;
};

// Saving over a file when the save cannot be written, both ways a person saves over one: Save Project As
// over the project that was opened (Save Project itself is enabled only for a modified project; both end
// in the same save procedure), and Save Picture over an existing picture. The old file stays byte for
// byte, nothing is left beside it, the person reads why, and once the disk takes it again the same
// command saves. On a full disk the old project used to be replaced by the first bytes of the new one,
// and the save reported success.
TEST_F(ProgramFaultsTest, RegressionAProjectSaveThatCannotBeWrittenKeepsTheOldFileAndSaysSo)
{
    QDir().mkpath(session.PathOf("projects"));
    QDir().mkpath(session.PathOf("pictures"));
    const QString project = SavedProject("projects/mine.smg");
    const QByteArray oldProject = ReadFile(project);
    ASSERT_GT(oldProject.size(), 16);
    for (const bool picture : {false, true}) {
        const QString file = picture ? session.PathOf("pictures/joke.jpg") : project;
        const QFileInfo info(file);
        const auto save = [&] {
            if (picture)
                PressExportButton(CommandId::SavePicture);
            else
                EXPECT_TRUE(App()->Commands().Run(CommandId::SaveProjectAs));
        };
        for (const UnwritableCase& c : UnwritableCases) {
            SCOPED_TRACE(info.fileName().toStdString() + " on " + c.name);
            if (!UnwritableFolder::Possible(c.how))
                continue;  // root writes into read-only folders: the other cases cover it
            StartOn(project);
            if (picture)
                WriteFile(file, "the old picture");
            const QByteArray old = ReadFile(file);
            const QString title = Frame().windowTitle();
            const QString target = c.how == Unwritable::FolderIsAFile ? file + "/" + info.fileName() : file;
            fileToChoose = [&] { return target; };
            {
                const UnwritableFolder unwritable(c.how, info.path());
                save();
            }
            // A picture that exists is first asked about: may it be replaced?
            ASSERT_EQ(person.shown.size(), picture && target == file ? 2 : 1) << person.shown.join('|').toStdString();
            const QString& said = person.shown.last();
            if (picture)
                EXPECT_EQ(said, QStringLiteral("Snapmingle: Could not save the picture \"%1\".").arg(target));
            else
                EXPECT_TRUE(said.startsWith(QStringLiteral("Snapmingle: Could not save \"%1\".\n").arg(target)))
                    << said.toStdString();
            EXPECT_EQ(ReadFile(file), old);
            EXPECT_EQ(QDir(info.path()).entryList(QDir::Files), QStringList{info.fileName()});
            EXPECT_EQ(Frame().windowTitle(), title);
            EXPECT_EQ(g_document->GetPathName(), project);

            person.shown.clear();
            fileToChoose = [&] { return file; };
            save();
            EXPECT_EQ(person.shown.size(), picture ? 1 : 0) << person.shown.join('|').toStdString();
            if (picture)
                EXPECT_EQ(QImage(file).size(), SceneSize());  // the scene as a JPEG file
            else
                EXPECT_EQ(ReadFile(project), oldProject);
            session.End();
            person.shown.clear();
        }
    }
}

// A project whose last record is a speech bubble with a text longer than the file.
QByteArray WithALyingBubbleText(const QByteArray& project)
{
    LayerInfo bubble;
    bubble.kind = LayerKindBubble;
    bubble.number = 3;
    return project + CommonPart(LayerFlagsBubble, 0, bubble).I32(0).I32(0).I32(9).I32(9).U8(0xFF).U16(0xFFFE)
                         .U8(0xFF).U16(60000).U16('H').Get();
}

// A project whose last record is a face with a picture block longer than the file.
QByteArray WithACutPicture(const QByteArray& project)
{
    LayerInfo face;
    face.kind = LayerKindFace;
    return project + CommonPart(LayerFlagsFace, 0, face).Str(QStringLiteral("IMG")).U32(5000).Append("\x89PNG").Get();
}

// A project with one more layer record, cut inside its common part.
QByteArray WithACutLayerRecord(const QByteArray& project)
{
    LayerInfo hat;
    hat.kind = LayerKindAccessory;
    hat.number = 4;
    return project + CommonPart(LayerFlagsAccessory, 0, hat).Get().left(30);
}

const char* const DamagedReason = "The file is damaged or is not a file of this program.";
const char* const EndedEarly = "\"%1\" ends early. Only the part before that point was opened.";

// What a damaged project on the command line does: the program either starts with what could be read
// (a file that is not a project reads as an empty document, quietly; one that ends inside a record says
// so) or says why it cannot open it and ends, as a file that cannot be opened ends start-up.
// bytes null: no file at all; step when it starts; reason: the message's second line when it does not
// start (empty: the system's), the one message it shows when it starts (empty: none; %1 the path);
// scene: whether the scene was read; folder: the path names a folder.
struct DamagedCase {
    const char* name;
    std::function<QByteArray(const QByteArray& good)> bytes;
    bool starts;
    int32_t step;
    const char* reason;
    bool scene = false;
    bool folder = false;
};

TEST_F(ProgramFaultsTest, ADamagedProjectOnTheCommandLineIsToldAndLeavesNoBrokenProgram)
{
    const QString good = SavedProject("good.smg");
    const QByteArray goodBytes = ReadFile(good);
    ASSERT_GT(goodBytes.size(), 40);
    const DamagedCase cases[] = {
        {"a missing file", nullptr, false, 0, ""},
        {"a folder", nullptr, false, 0, "", false, true},
        {"an empty file", [](const QByteArray&) { return QByteArray(); }, true, Document::StepEmpty, ""},
        {"garbage bytes", [](const QByteArray&) { return QByteArray(4096, '\x5A'); }, true, Document::StepEmpty, ""},
        {"cut inside the marker", [](const QByteArray& b) { return b.left(7); }, true, Document::StepEmpty, ""},
        {"ending right after the two numbers", [](const QByteArray& b) { return b.left(20); }, true, StepFinish, ""},
        {"cut inside the scene", [](const QByteArray& b) { return b.left(40); }, true, StepFinish, EndedEarly},
        {"a scene name longer than the file",
         [](const QByteArray& b) { return b.left(36) + Bytes().U8(0xFF).U16(0xFFFE).U8(0xFF).U16(60000).U16('a').Get(); },
         true, StepFinish, EndedEarly},
        {"a layer cut inside its common part", WithACutLayerRecord, true, StepFinish, EndedEarly, true},
        {"a bubble's text longer than the file", WithALyingBubbleText, false, 0, DamagedReason},
        {"a picture block longer than the file", WithACutPicture, false, 0, DamagedReason},
        {"a state the wizard does not have",
         [](const QByteArray& b) { return b.left(16) + Bytes().I32(99).Get() + b.mid(20); }, false, 0, DamagedReason},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = session.PathOf(QStringLiteral("damaged-%1.smg").arg(&c - cases));
        if (c.bytes)
            WriteFile(path, c.bytes(goodBytes));
        if (c.folder)
            QDir().mkpath(path);
        person.shown.clear();
        const bool started = Start({path});
        ASSERT_EQ(started, c.starts);
        if (!c.starts) {
            const QString head = QStringLiteral("Snapmingle: Could not open \"%1\".\n").arg(path);
            ASSERT_EQ(person.shown.size(), 1);
            if (*c.reason)
                EXPECT_EQ(person.shown[0], head + c.reason);
            else
                EXPECT_TRUE(person.shown[0].startsWith(head) && person.shown[0].size() > head.size());
            EXPECT_FALSE(Frame().isVisible());
            session.End();
            continue;
        }
        EXPECT_TRUE(Frame().isVisible());
        EXPECT_EQ(g_document->step, c.step);
        EXPECT_EQ(g_document->scene != nullptr, c.scene);
        EXPECT_TRUE(g_document->layers.IsEmpty());
        const QStringList told = *c.reason ? QStringList{"Snapmingle: " + QString::fromUtf8(c.reason).arg(path)}
                                           : QStringList();
        EXPECT_EQ(person.shown, told);
        EXPECT_EQ(Frame().windowTitle(), QFileInfo(path).fileName() + " - Snapmingle");
        SaveGrab(Frame(), QStringLiteral("faults-damaged-%1").arg(&c - cases));

        // Usable: Ctrl+O opens a sound project in its place.
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        fileToChoose = [&] { return good; };
        person.shown.clear();
        QTest::keyClick(&Frame(), Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(g_document->GetPathName(), good);
        EXPECT_EQ(g_document->step, StepFinish);
        EXPECT_NE(g_document->scene, nullptr);
        fileToChoose = nullptr;
        session.End();
    }
}

// Opened with Ctrl+O while the program runs, a project that cannot be read whole is reported, and a new
// project takes the place of the one that was open, as the program shows it at a fresh start.
TEST_F(ProgramFaultsTest, ADamagedProjectOpenedWhileRunningLeavesANewProject)
{
    const QString good = SavedProject("good.smg");
    const QString damaged = session.PathOf("damaged.smg");
    WriteFile(damaged, WithALyingBubbleText(ReadFile(good)));
    StartOn(good);
    ASSERT_TRUE(Frame().Splitters().IsRightColumnShown());
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));

    fileToChoose = [&] { return damaged; };
    QTest::keyClick(&Frame(), Qt::Key_O, Qt::ControlModifier);
    // The stored state's tip waits for the open to finish; the failed open's new project drops it.
    EXPECT_EQ(person.shown,
              (QStringList{QStringLiteral("Snapmingle: Could not open \"%1\".\nThe file is damaged or is not a file "
                                          "of this program.").arg(damaged),
                           "Help Tip: tip 1", "Help Tip: tip 2"}));
    EXPECT_EQ(g_document->step, StepStart);
    EXPECT_TRUE(g_document->layers.IsEmpty());
    EXPECT_FALSE(g_document->IsModified());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled - Snapmingle"));
    EXPECT_FALSE(Frame().Splitters().IsRightColumnShown());
    EXPECT_EQ(Frame().Steps()->Text(), QStringLiteral("Please press Start."));
    EXPECT_FALSE(session.application->RecentFiles().Entries().contains(damaged));
    SaveGrab(Frame(), "faults-damaged-opened");
}

// Send Picture with the server gone: the person is told the e-mail did not go, nothing reached the
// service, and the picture can still be saved.
TEST_F(ProgramFaultsTest, SendingWithTheServerGoneIsToldAndThePictureCanStillBeSaved)
{
    const QString project = SavedProject("mine.smg");
    StartOn(project);
    session.Library().Stop();

    PressExportButton(CommandId::Send);
    EXPECT_EQ(person.shown, QStringList{"Snapmingle: " + MailBox::FailedText});
    EXPECT_TRUE(QDir(session.Library().Outbox()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());

    const QString picture = session.PathOf("joke.jpg");
    fileToChoose = [&] { return picture; };
    PressExportButton(CommandId::SavePicture);
    EXPECT_EQ(QImage(picture).size(), SceneSize());
    EXPECT_EQ(person.shown.size(), 1);
}

// Exit with a modified project asks to save it: Cancel keeps the program, No closes it, Yes saves and
// closes; Yes with a save that cannot be written says why and keeps the program with the project still
// modified and the old file as it was.
TEST_F(ProgramFaultsTest, ExitAsksToSaveAModifiedProjectAndAFailedSaveKeepsTheProgram)
{
    const QString project = SavedProject("mine.smg");
    const QByteArray old = ReadFile(project);
    struct Case {
        const char* name;
        bool untitled;
        int reply;
        bool fullDisk;
        bool closes;
    };
    const Case cases[] = {
        {"Cancel", true, QMessageBox::Cancel, false, false},
        {"No", true, QMessageBox::No, false, true},
        {"Yes on a full disk", false, QMessageBox::Yes, true, false},
        {"Yes", false, QMessageBox::Yes, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.untitled) {
            ASSERT_TRUE(Start());
            person.shown.clear();
        } else {
            StartOn(project);
        }
        g_document->SetModifiedFlag(true);
        person.messageReply = c.reply;
        {
            std::optional<ScopedFileSizeLimit> fullDisk;
            if (c.fullDisk)
                fullDisk.emplace(16);
            EXPECT_TRUE(App()->Commands().Run(CommandId::Exit));
        }
        ASSERT_EQ(person.shown.size(), c.fullDisk ? 2 : 1) << person.shown.join('|').toStdString();
        EXPECT_EQ(person.shown[0], QStringLiteral("Snapmingle: Save changes to %1?").arg(c.untitled ? "Untitled" : project));
        if (c.fullDisk)
            EXPECT_TRUE(person.shown[1].startsWith(QStringLiteral("Snapmingle: Could not save \"%1\".\n").arg(project)));
        EXPECT_EQ(Frame().isVisible(), !c.closes);
        if (!c.closes)
            EXPECT_TRUE(g_document->IsModified());
        EXPECT_EQ(ReadFile(project), old);
        session.End();
        person.shown.clear();
    }
}

} // namespace
