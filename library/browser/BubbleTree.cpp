#include "library/browser/BubbleTree.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"
#include "library/browser/JournalGroups.h"

BubbleTree::BubbleTree(Document& document, QWidget* parent)
    : TreeView(document, Options::Plain(QStringLiteral("ThumbsB")), parent)
{
    UpdateEnabling();
}

bool BubbleTree::TakesInput(int32_t state) const
{
    return state >= StepBubble - 1;
}

void BubbleTree::OnItemChosen()
{
    const int32_t i = SelectedItem();  // an item of the catalogue (ChooseItem)
    // The item's rectangle is the bubble's text rectangle.
    const FileItem& item = catalog.items[static_cast<size_t>(i)];
    AppendAddingGroup(m_document, item.rect, item.name, QString(), item.first, LayerKindBubble);
}
