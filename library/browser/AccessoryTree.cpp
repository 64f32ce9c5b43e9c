#include "library/browser/AccessoryTree.h"

#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"
#include "library/browser/JournalGroups.h"

AccessoryTree::AccessoryTree(Document& document, QWidget* parent)
    : TreeView(document, Options::Plain(QStringLiteral("ThumbsA")), parent)
{
    UpdateEnabling();
}

bool AccessoryTree::TakesInput(int32_t state) const
{
    return state == StepAccessories - 1 || state == StepAccessories || state >= StepFinish;
}

void AccessoryTree::OnItemChosen()
{
    const int32_t i = SelectedItem();  // an item of the catalogue (ChooseItem)
    // An item in no subcategory gets no name.
    int32_t category = -1;
    int32_t subcategory = -1;
    const QString name = catalog.Locate(i, category, subcategory) ? catalog.GetSubcategoryName(category, subcategory)
                                                                 : QString();
    const FileItem& item = catalog.items[static_cast<size_t>(i)];
    AppendAddingGroup(m_document, item.rect, item.name, name, item.first, LayerKindAccessory);
}
