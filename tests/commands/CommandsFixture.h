#pragma once

#include "support/FakePrompts.h"
#include "support/HintCounter.h"
#include "support/RecordingShell.h"
#include "support/ScopedAppPaths.h"
#include "support/TempSettings.h"

#include "engine/document/Document.h"
#include "engine/document/EditingViewLink.h"
#include "engine/layers/Layer.h"
#include "platform/DocumentObserver.h"
#include "platform/ui/CommandRouter.h"
#include "shell/DocumentCommands.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

// Stands for the editing view behind its link: writes down each drag with the tool the document had
// while it ran, and each brush size.
class FakeEditingView final : public DocumentObserver, public EditingViewLink {
public:
    explicit FakeEditingView(Document& document) : m_document(document) { m_document.AddView(this); }
    ~FakeEditingView() { m_document.RemoveView(this); }
    FakeEditingView(const FakeEditingView&) = delete;
    FakeEditingView& operator=(const FakeEditingView&) = delete;

    void OnUpdate(DocumentObserver*, int32_t, const Rect*) override {}
    EditingViewLink* AsEditingView() override { return this; }
    bool TrackFromDocPoint(PointF docPoint) override
    {
        drags.push_back({docPoint, m_document.tool});
        return true;
    }
    void SetBrushSize(int32_t size) override { brushSizes.push_back(size); }

    struct Drag {
        PointF point;
        int32_t tool;
    };
    std::vector<Drag> drags;
    std::vector<int32_t> brushSizes;

private:
    Document& m_document;
};

// A document bound to a real command router through its command map, with its panes recorded, the
// prompts answered, the help tips' stores and the folders in temporary places.
class CommandsTest : public ::testing::Test {
protected:
    CommandsTest();

    // A layer without content named name, linked in front of the others.
    Layer* Add(const QString& name, int32_t flags);
    // The wizard state, the view mode and the selected layer, set directly.
    void At(int32_t state, int32_t selected, int32_t viewMode = ViewModeAllLayers);
    // What the command's enabling handler says now, through the router.
    platform::CommandState Ask(int32_t id) { return router.Query(id); }
    // The kinds of the journal's records from the first, in order.
    std::vector<int> RecordKinds() const;

    ScopedAppPaths paths;
    RecordingShell shell;
    FakePrompts prompts;
    TempSettings tips;
    Document document;
    platform::CommandRouter router;
    DocumentCommands commands{router, document};
    Journal& journal = document.journal;
};
