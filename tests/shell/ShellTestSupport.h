#pragma once

#include "support/ProgramSession.h"
#include "support/TempSettings.h"

#include "platform/ui/ModalHost.h"

#include <QImage>
#include <QSize>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

class CMainFrame;
class SnapmingleApplication;
class TreeView;
class Tutor;

// Plays the person in front of every modal dialog while it lives: a help tip is written down as
// "<caption>: tip <n>" for each picture it shows, then Continue is pressed (with the box ticked when
// tickDontShow is set) until it closes; a message box is written down as "<caption>: <text>" and
// answered with messageReply; other dialogs go to otherDialogs (or are rejected).
class ModalPerson {
public:
    ModalPerson();

    QStringList shown;
    int runs = 0;  // dialogs run
    bool tickDontShow = false;
    int messageReply = 0;
    std::function<int(QDialog&)> otherDialogs;
    // Runs inside each tip before Continue is pressed (a nested tick, a second tip...).
    std::function<void(Tutor&)> duringTip;

private:
    int Answer(QDialog& dialog);
    platform::ModalHost::ScopedAnswerer m_answerer;
};

// Shows the widget and waits until it is on the (offscreen) screen.
void ShowAndExpose(QWidget& widget);

// The widget's picture, kept for a look as "shell-<name>" (SaveForALook).
QImage SaveGrab(QWidget& widget, const QString& name);

// The picture inside the frame of thumbnail j's cell in the browser's open subcategory, as the viewport
// shows it, for a cell of this size (the browser's own cell size when none is given).
QImage ShownThumbnail(TreeView& browser, int32_t j, QSize cell = {});

// The whole program in process (a ProgramSession) with a person at it: progress dialogs run for real and
// are counted, the e-mail box gets a sender and one friend and is sent, a file dialog takes
// fileToChoose() (or is cancelled without it), message boxes are answered Yes.
class ProgramTest : public ::testing::Test {
protected:
    ProgramTest();

    bool Start(const QStringList& arguments = {}) { return session.Start(arguments); }
    CMainFrame& Frame() const { return session.Frame(); }
    SnapmingleApplication* App() const { return session.application.get(); }
    // A project at the last step with the start-up scene, saved by the program itself, which then ends.
    QString SavedProject(const QString& name);
    // Starts the program on the project and waits until its step's tip has been read.
    void StartOn(const QString& project);
    // Presses one of the export panel's buttons, as the person does in the last step.
    void PressExportButton(int32_t id) { ASSERT_TRUE(session.PressExportButton(id)); }
    // The size of the document's scene, which a saved picture has.
    static QSize SceneSize();

    ModalPerson person;
    int progressDialogs = 0;
    std::function<QString()> fileToChoose;
    ProgramSession session;
};
