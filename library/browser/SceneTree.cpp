#include "library/browser/SceneTree.h"

#include "engine/document/Document.h"
#include "engine/document/JournalKind.h"
#include "engine/document/LoadFromPcRequest.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerKind.h"
#include "library/browser/JournalGroups.h"

#include <QMetaObject>

namespace {

TreeView::Options SceneOptions()
{
    TreeView::Options options;
    options.indexName = QStringLiteral("EncList");
    options.folder = QStringLiteral("Thumbs");
    options.showCaptions = true;
    options.showNote = true;
    options.hasLoadButton = true;
    options.initialCategory = 2;
    return options;
}

} // namespace

SceneTree::SceneTree(Document& document, QWidget* parent) : TreeView(document, SceneOptions(), parent)
{
    UpdateEnabling();
}

bool SceneTree::TakesInput(int32_t state) const
{
    return (state >= StepChooseScene && state <= StepFaceChosen) || state >= StepFinish;
}

void SceneTree::OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect)
{
    // Inside a group walk nothing can be appended: the request waits for the update after the walk.
    // The dialog itself runs once this update has reached every view.
    if (LoadFromPcRequest && m_document.journal.IsIdle()) {
        LoadFromPcRequest = 0;
        QMetaObject::invokeMethod(this, [this] { OnLoadFromPC(); }, Qt::QueuedConnection);
    }
    TreeView::OnUpdate(sender, hint, rect);
}

void SceneTree::OnItemChosen()
{
    const int32_t i = SelectedItem();  // an item of the catalogue (ChooseItem)
    const QString name = catalog.GetItemName(i);
    const int32_t number = catalog.items[static_cast<size_t>(i)].first;
    if (m_document.step <= StepSceneChosen)
        m_document.journal.AddNewScene(name, number);
    else
        AddFace(name, number, LayerKindFace);
}

void SceneTree::OnLoadFromPC()
{
    QString path;
    if (!BrowseForPicture(path))
        return;
    if (m_document.step <= StepSceneChosen)
        m_document.journal.AddNewScene(path, 0);
    else
        AddFace(path, 0, LayerKindOwnFile);
}

void SceneTree::AddFace(const QString& path, int32_t number, int32_t type)
{
    const int32_t n = m_document.layers.GetCount();
    const bool faceSteps = m_document.step == StepChooseFace || m_document.step == StepFaceChosen;
    Layer* selected = faceSteps ? m_document.GetSelectedLayer() : nullptr;
    if (!selected) {
        AppendAddingGroup(m_document, Rect{}, path, QString(), number, type);
        return;
    }
    // The face that is already there, or on its way, stays. One whose download failed is replaced by
    // the same face, fetched again: the server may be back.
    if (selected->number == number && selected->kind == type && selected->path == path && !selected->LoadFailed())
        return;
    // A face the journal cannot record would leave the old one removed and no new one: keep the old one.
    if (number < 0 || number > MaxRecordedNumber)
        return;
    Journal& journal = m_document.journal;
    AppendGroup(journal, {[&] { return journal.AddSelectLayer(-1); },
                          [&] { return journal.AddRemoveLayer(n - 1); },
                          [&] { return journal.AddInsertLayer(Rect{}, path, QString(), number, type, n - 1); },
                          [&] { return journal.AddSelectLayer(n - 1); }});
}
