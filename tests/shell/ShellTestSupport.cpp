#include "ShellTestSupport.h"

#include "support/TestPictures.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "engine/view/FileDialog.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/TreeView.h"
#include "library/download/ui/LoadBox.h"
#include "library/share/ui/MailBox.h"
#include "shell/MainFrame.h"
#include "shell/Tutor.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

ModalPerson::ModalPerson() : m_answerer([this](QDialog& dialog) { return Answer(dialog); }) {}

int ModalPerson::Answer(QDialog& dialog)
{
    ++runs;
    if (auto* tip = dynamic_cast<Tutor*>(&dialog)) {
        tip->DontShowAgain()->setChecked(tickDontShow);
        // Two pictures at most: a tip and its follow-up.
        for (int picture = 0; picture < 3 && tip->result() != QDialog::Accepted; ++picture) {
            shown << QStringLiteral("%1: tip %2").arg(tip->windowTitle()).arg(tip->m_tip);
            if (duringTip)
                duringTip(*tip);
            tip->ContinueButton()->click();
        }
        return tip->result();
    }
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        shown << box->windowTitle() + QStringLiteral(": ") + box->text();
        return messageReply;
    }
    return otherDialogs ? otherDialogs(dialog) : static_cast<int>(QDialog::Rejected);
}

void ShowAndExpose(QWidget& widget)
{
    widget.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

QImage SaveGrab(QWidget& widget, const QString& name)
{
    const QImage image = widget.grab().toImage();
    SaveForALook(image, QStringLiteral("shell-") + name);
    return image;
}

ProgramTest::ProgramTest()
{
    person.otherDialogs = [this](QDialog& dialog) {
        if (dynamic_cast<LoadBox*>(&dialog)) {
            ++progressDialogs;
            return dialog.exec();  // its own timer runs the queue
        }
        if (dynamic_cast<MailBox*>(&dialog)) {
            QTest::keyClicks(dialog.findChild<QWidget*>(QString::number(MailBox::FromId)), "ann@example.org");
            QTest::keyClicks(dialog.findChild<QWidget*>(QString::number(MailBox::FirstFriendId)), "bob@example.org");
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
            return dialog.result();
        }
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        if (!files || !fileToChoose)
            return static_cast<int>(QDialog::Rejected);
        files->selectFile(fileToChoose());
        // The picture dialog decides on the name itself when it is accepted.
        if (auto* picture = dynamic_cast<FileDialog*>(files)) {
            picture->accept();
            return picture->result();
        }
        return static_cast<int>(QDialog::Accepted);
    };
    person.messageReply = QMessageBox::Yes;
}

QString ProgramTest::SavedProject(const QString& name)
{
    const QString path = session.PathOf(name);
    EXPECT_TRUE(Start());
    g_document->step = StepFinish;
    EXPECT_TRUE(g_document->DoSave(path));
    session.End();
    person.shown.clear();
    return path;
}

QImage ShownThumbnail(TreeView& browser, int32_t j, QSize cell)
{
    const int y = FindRow(browser, browser.Rows().Range().firstThumbnailRow + j);
    if (y < 0)
        return QImage();
    using namespace browser_layout;
    if (cell.isEmpty())
        cell = QSize(CellWidth, CellHeight);
    const QRect inside = QRect(QPoint(ThumbnailX, y), cell)
                             .adjusted(FrameThickness, FrameThickness, -FrameThickness, -FrameThickness);
    return browser.viewport()->grab(inside).toImage().convertToFormat(QImage::Format_RGB32);
}

void ProgramTest::StartOn(const QString& project)
{
    ASSERT_TRUE(Start({project}));
    ASSERT_TRUE(Settle([&] { return !person.shown.isEmpty(); }));
    person.shown.clear();
}

QSize ProgramTest::SceneSize()
{
    return QSize(static_cast<int>(g_document->scene->size.x), static_cast<int>(g_document->scene->size.y));
}
