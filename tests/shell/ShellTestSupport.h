#pragma once

#include "support/TempSettings.h"

#include "platform/ui/ModalHost.h"

#include <QStringList>
#include <QWidget>
#include <functional>

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

// Saves the widget's picture as /tmp/snapmingle-shell-<name>.png, for a look at it.
QImage SaveGrab(QWidget& widget, const QString& name);
