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

class QWidget;

// Plays the person in front of the modal dialogs. Every dialog it is handed is shown and acted on by
// the script with real mouse and key events; every message box on the way is written down ("caption:
// text") and answered with OK. It answers each run with the dialog's result.
class Person {
public:
    using Script = std::function<void(QDialog&)>;

    explicit Person(Script script);

    QStringList told;
    int dialogs = 0;  // dialogs run, message boxes not counted

private:
    int Answer(QDialog& dialog);

    Script m_script;
    platform::ModalHost::ScopedAnswerer m_answerer;
};

// Clicks a button of a dialog by its control id.
void Click(QDialog& dialog, int id);
// The widget of a dialog with the control id.
QWidget* Control(QDialog& dialog, int id);

// Saves a picture of the dialog as it is shown, when SMG_GRAB_DIR names a folder (for a look at the
// layout); and checks the layout: every control inside the dialog, no two controls overlapping, and
// every text of a label or button fitting its control.
void CheckLayout(QDialog& dialog, const QString& name);

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
