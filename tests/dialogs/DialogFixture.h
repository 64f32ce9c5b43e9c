#pragma once

#include "support/HintCounter.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/view/DocumentDialogs.h"
#include "platform/ui/ModalHost.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Plays the person in front of the modal dialogs: each dialog is shown and acted on by the script
// with real mouse and key events; each message box on the way is written down ("caption: text") and
// answered with OK. A run answers the dialog's result.
class Person {
public:
    explicit Person(std::function<void(QDialog&)> script);

    QStringList told;
    int dialogs = 0;  // message boxes not counted

private:
    std::function<void(QDialog&)> m_script;
    platform::ModalHost::ScopedAnswerer m_answerer;
};

// The widget with the control id, and a click on it.
QWidget* Control(QDialog& dialog, int id);
void Click(QDialog& dialog, int id);

// A document with temporary folders, its redraw hints counted and the real dialogs installed.
class DialogTest : public ::testing::Test {
protected:
    // Links layer at the front of the list and selects it.
    Layer* Select(std::unique_ptr<Layer> layer);

    ScopedAppPaths paths;
    Document document;
    HintCounter hints{document};
    DocumentDialogs dialogs;
    Journal& journal = document.journal;
};
