#pragma once

#include "support/FakePrompts.h"
#include "support/RecordingShell.h"
#include "support/ScopedAppPaths.h"
#include "support/TempSettings.h"
#include "support/TestLayer.h"

#include "engine/document/Document.h"
#include "engine/document/EditingViewLink.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "platform/ui/CommandRouter.h"
#include "shell/DocumentCommands.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

// Stands for the editing view behind its link: writes down each drag with the tool the document had
// while it ran, and each brush size.
struct FakeEditingView final : DocumentObserver, EditingViewLink {
    struct Drag {
        PointF point;
        int32_t tool;
    };
    explicit FakeEditingView(Document& document) : document(document) { document.AddView(this); }
    ~FakeEditingView() { document.RemoveView(this); }
    void OnUpdate(DocumentObserver*, int32_t, const Rect*) override {}
    EditingViewLink* AsEditingView() override { return this; }
    bool TrackFromDocPoint(PointF docPoint) override
    {
        drags.push_back({docPoint, document.tool});
        return true;
    }
    void SetBrushSize(int32_t size) override { brushSizes.push_back(size); }

    Document& document;
    std::vector<Drag> drags;
    std::vector<int32_t> brushSizes;
};

// A document bound to a real command router through its command map, with its panes recorded, the
// prompts answered, the help tips' stores and the folders in temporary places.
class CommandsTest : public ::testing::Test {
protected:
    CommandsTest()
    {
        document.SetPrompts(&prompts);
        document.SetSettings(&tips.settings);
    }

    // A layer without content named name, linked in front of the others.
    Layer* Add(const QString& name, int32_t flags)
    {
        auto* layer = new TestLayer(flags, 0);
        layer->name = name;
        layer->LinkBefore(&document.layers);
        return layer;
    }
    // The layers "Scene 1" (the promoted scene photo) and "Face 1", then accessories up to count
    // layers; the face selected at the finish in the All Layers view with Move / Resize.
    Layer* SelectedFace(int count = 2)
    {
        document.layers.DeleteAll();
        Add("Scene 1", LayerFlagsScenePhoto);
        Layer* face = Add("Face 1", LayerFlagsFace);
        for (int i = 2; i < count; ++i)
            Add(QStringLiteral("Hat %1").arg(i), LayerFlagsAccessory);
        At(StepFinish, 1);
        document.tool = ToolMoveResize;
        return face;
    }
    void At(int32_t state, int32_t selected, int32_t viewMode = ViewModeAllLayers)
    {
        document.step = state;
        document.selectedIndex = selected;
        document.viewMode = viewMode;
    }
    // The ids from first to last whose commands are enabled (checked) now, as "32805 32806 ...".
    QString Enabled(int32_t first, int32_t last) { return IdsWhere(first, last, false); }
    QString Checked(int32_t first, int32_t last) { return IdsWhere(first, last, true); }
    QString IdsWhere(int32_t first, int32_t last, bool checked)
    {
        QStringList ids;
        for (int32_t id = first; id <= last; ++id) {
            const platform::CommandState state = router.Query(id);
            if (checked ? state.checked.value_or(false) : state.enabled)
                ids << QString::number(id);
        }
        return ids.join(u' ');
    }

    ScopedAppPaths paths;
    RecordingShell shell;
    FakePrompts prompts;
    TempSettings tips;
    Document document;
    platform::CommandRouter router;
    DocumentCommands commands{router, document};
    Journal& journal = document.journal;
};
