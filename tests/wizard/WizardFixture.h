#pragma once

#include "support/FakePrompts.h"
#include "support/LayerPictures.h"
#include "support/RecordingShell.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/layers/LayerImage.h"
#include "platform/CommandUI.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>

// What a command's enabling handler set.
struct RecordedCommand final : platform::CommandUI {
    void Enable(bool on) override { enabled = on; }
    void SetCheck(bool on) override { checked = on; }
    void SetText(const QString& t) override { text = t; }
    bool enabled = false;
    bool checked = false;
    QString text;
};

// A document with its panes recorded, prompts answered and the folders in a temporary place.
class WizardTest : public ::testing::Test {
protected:
    WizardTest() { document.SetPrompts(&prompts); }

    // Links layer at the front end of the list and answers it.
    Layer* Add(std::unique_ptr<Layer> layer);
    void SetScene(std::unique_ptr<Layer> layer) { document.scene = std::move(layer); }

    ScopedAppPaths paths;
    RecordingShell shell;
    FakePrompts prompts;
    Document document;
    Journal& journal() { return document.journal; }
};
