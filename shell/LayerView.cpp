#include "shell/LayerView.h"

#include "engine/base/Settings.h"
#include "engine/document/Document.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "platform/DialogTemplate.h"
#include "platform/DialogUnits.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/DialogControls.h"
#include "shell/StepBar.h"
#include "shell/StepTable.h"
#include "shell/Tutor.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <utility>

namespace {

LayerView* s_installed = nullptr;

// Form template 199: the list under the three buttons, which are placed at every size change.
platform::DialogTemplate LayerViewTemplate()
{
    platform::DialogTemplate form{199, QString(), {159, 97}, QStringLiteral("MS Shell Dlg"), 8,
                                  platform::DialogFrame::Child, {}};
    form.controls = {
        {LayerView::ListId, platform::ControlKind::List, QStringLiteral("Layers"), {0, 20, 159, 77},
         platform::ControlStyle::SingleSelection, 0},
    };
    return form;
}

// Every change of a row's state asks first, the focus row's as well as the selection; a refused click
// or key leaves every row as it is.
class VetoSelectionModel final : public QItemSelectionModel {
public:
    VetoSelectionModel(QAbstractItemModel* model, std::function<bool()> allow, QObject* parent)
        : QItemSelectionModel(model, parent), m_allow(std::move(allow))
    {
    }

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override
    {
        if (command != QItemSelectionModel::NoUpdate && !m_allow())
            return;
        QItemSelectionModel::select(selection, command);
    }

    void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override
    {
        if (index != currentIndex() && !m_allow())
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    std::function<bool()> m_allow;
};

// Holds a widget's drawing off while it lives.
class RedrawSuspension {
public:
    explicit RedrawSuspension(QWidget& widget) : m_widget(widget) { m_widget.setUpdatesEnabled(false); }
    ~RedrawSuspension() { m_widget.setUpdatesEnabled(true); }
    RedrawSuspension(const RedrawSuspension&) = delete;
    RedrawSuspension& operator=(const RedrawSuspension&) = delete;

private:
    QWidget& m_widget;
};

bool IsMouseEvent(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

} // namespace

// The mouse held by the list during a drag. A mouse event that goes to any other widget meanwhile
// means the grab was lost (another grab, a popup, a dialog): the drag is cancelled. The keys do nothing
// until the drag ends, as during a drag in the editing view: no window key (an arrow moving the layer,
// Delete, Undo) runs and no pane takes a key while the row is held.
class LayerView::DragGrab final : public QObject {
public:
    DragGrab(LayerView& owner, QWidget& grabber) : m_owner(owner), m_grabber(grabber)
    {
        m_grabber.grabMouse();
        qApp->installEventFilter(this);
    }
    ~DragGrab() override
    {
        qApp->removeEventFilter(this);
        if (QWidget::mouseGrabber() == &m_grabber)
            m_grabber.releaseMouse();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            event->accept();  // taken, so that no shortcut runs
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            break;
        }
        if (watched != &m_grabber && watched->isWidgetType() && IsMouseEvent(*event)) {
            m_owner.CancelDrag();  // deletes this filter: only return afterwards
            return false;
        }
        return false;
    }

    bool StillHeld() const { return QWidget::mouseGrabber() == &m_grabber; }

private:
    LayerView& m_owner;
    QWidget& m_grabber;
};

LayerView::LayerView(Document& document, Settings& settings, QWidget* parent)
    : QWidget(parent), m_document(document), m_settings(settings)
{
    const platform::DialogControls controls = platform::DialogControls::Build(LayerViewTemplate(), *this);
    m_list = controls.Get<QTreeWidget>(ListId);
    auto* selection = new VetoSelectionModel(m_list->model(), [this] { return CanChangeSelection(); }, m_list);
    QItemSelectionModel* previous = m_list->selectionModel();
    m_list->setSelectionModel(selection);
    delete previous;
    m_list->setDragEnabled(false);
    m_list->setAutoScroll(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(true);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection&) {
                for (const QModelIndex& index : selected.indexes()) {
                    if (index.column() == 0)
                        OnItemChanged(index.row());
                }
            });

    using platform::ResourceId::LayerDelete;
    using platform::ResourceId::LayerDown;
    using platform::ResourceId::LayerUp;
    m_upButton = MakeButton(UpId, QStringLiteral("Up"), LayerUp, QStringLiteral("Move layer up"));
    m_downButton = MakeButton(DownId, QStringLiteral("Down"), LayerDown, QStringLiteral("Move layer down"));
    m_deleteButton = MakeButton(DeleteId, QStringLiteral("Delete"), LayerDelete, QStringLiteral("Delete layer"));
    connect(m_upButton, &QPushButton::clicked, this, [this] { OnMoveLayerUp(); });
    connect(m_downButton, &QPushButton::clicked, this, [this] { OnMoveLayerDown(); });
    connect(m_deleteButton, &QPushButton::clicked, this, [this] { OnDeleteLayer(); });

    LayOutControls();
    UpdateButtons();
    m_document.AddView(this);
    s_installed = this;
    g_layerView = this;
}

LayerView::~LayerView()
{
    m_dragGrab.reset();
    // The list goes first, while this panel is whole: its last selection changes are nobody's business.
    QTreeWidget* list = std::exchange(m_list, nullptr);
    disconnect(list->selectionModel(), nullptr, this, nullptr);
    delete list;
    m_document.RemoveView(this);
    if (g_layerView == this)
        g_layerView = nullptr;
    if (s_installed == this)
        s_installed = nullptr;
}

LayerView* LayerView::Installed()
{
    return g_layerView == s_installed ? s_installed : nullptr;
}

QPushButton* LayerView::MakeButton(int32_t id, const QString& text, int32_t picture, const QString& tooltip)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::number(id));
    const QPixmap pixmap =
        QPixmap::fromImage(platform::Resources::Picture(platform::ResourceType::Bitmap, picture));
    // The style greys the picture of a disabled button, as it does its text.
    button->setIcon(QIcon(pixmap));
    button->setIconSize(pixmap.size());
    button->setToolTip(tooltip);
    return button;
}

void LayerView::OnUpdate(DocumentObserver*, int32_t hint, const Rect*)
{
    if (hint < HintRedraw)
        update();
}

void LayerView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ShowStartPrompt();
    LayOutControls();
}

void LayerView::ShowStartPrompt()
{
    if (m_document.step != StepStart || m_document.startPromptShown)
        return;
    if (StepBar* bar = StepBar::Installed())
        bar->ShowStartText();
    // Set before the tip: its loop may resize the panel again, which must not prompt a second time.
    m_document.startPromptShown = true;
    if (m_settings.IsTutorialOff() != 0 || m_document.journal.IsBusy())
        return;
    const StepRow row = StepRowFor(StepStart);
    Tutor::Run(m_settings, row.tip, row.step, row.nextTip);
}

void LayerView::LayOutControls()
{
    const int32_t w = width();
    const int32_t t1 = w / 3;
    const int32_t t2 = (2 * w) / 3;
    m_upButton->setGeometry(0, 0, t1, ButtonHeight);
    m_downButton->setGeometry(t1, 0, t2 - t1, ButtonHeight);
    m_deleteButton->setGeometry(t2, 0, w - t2, ButtonHeight);
    if (!m_list)
        return;
    const int32_t top = m_list->y();  // stays 20 dialog units from the top
    m_list->setGeometry(0, top, w, std::max(0, height() - top));
    m_list->setColumnWidth(0, m_list->viewport()->width());
}

void LayerView::FillList(const LayerList& layers)
{
    if (!m_list || m_selectingFromList)
        return;
    const QScopedValueRollback<bool> fromCode(m_selectingFromCode, true);
    m_list->clear();
    const int32_t count = layers.GetCount();
    for (int32_t i = 0; i < count; ++i)
        new QTreeWidgetItem(m_list, QStringList{layers.GetAt(i)->name});
}

void LayerView::SelectLayer(int32_t index)
{
    if (m_list && !m_selectingFromList && index != -1) {
        QTreeWidgetItem* item = m_list->topLevelItem(index);
        if (item && !item->isSelected()) {
            const QScopedValueRollback<bool> fromCode(m_selectingFromCode, true);
            m_list->scrollToItem(item);
            m_list->setCurrentItem(item);
        }
    }
    UpdateButtons();
}

void LayerView::UpdateButtons()
{
    const int32_t selected = m_document.selectedIndex;
    const int32_t count = m_document.layers.GetCount();
    // A selection that names no row (a document being emptied or read) enables nothing.
    const int32_t rows = m_list ? m_list->topLevelItemCount() : count;
    const bool named = selected >= 0 && selected < count && selected < rows;
    const bool editing = m_document.step >= FirstEditingStep && m_document.viewMode == ViewModeAllLayers && named;
    m_upButton->setEnabled(editing && selected > 0);
    m_downButton->setEnabled(editing && selected != count - 1);
    m_deleteButton->setEnabled(editing);
}

int32_t LayerView::RowAt(QPoint point) const
{
    QTreeWidgetItem* item = m_list ? m_list->itemAt(point) : nullptr;
    return item ? m_list->indexOfTopLevelItem(item) : -1;
}

int32_t LayerView::RowUnderCursor() const
{
    if (!m_list)
        return -1;
    const QPoint point = m_list->viewport()->mapFromGlobal(QCursor::pos());
    return m_list->viewport()->rect().contains(point) ? RowAt(point) : -1;
}

// The decision takes the row under the pointer, not the row that changes, so that one click decides
// alike for the row losing and the row gaining the selection; a click on no row changes nothing.
bool LayerView::CanChangeSelection() const
{
    if (!m_list || m_dragging || m_selectingFromCode)
        return true;
    if (m_document.step < FirstEditingStep)
        return false;
    return m_document.CanSelectLayer(RowUnderCursor());
}

void LayerView::OnItemChanged(int32_t row)
{
    if (m_dragging || m_selectingFromCode)
        return;
    const QScopedValueRollback<bool> fromList(m_selectingFromList, true);
    m_document.OnSelectLayerCommand(Document::SelectLayerCommandFirst + row);
}

void LayerView::OnMoveLayerUp()
{
    if (m_document.selectedIndex > 0)
        m_document.journal.AddReorder(-1);
}

void LayerView::OnMoveLayerDown()
{
    const int32_t selected = m_document.selectedIndex;
    if (selected != -1 && selected < m_document.layers.GetCount() - 1)
        m_document.journal.AddReorder(+1);
}

void LayerView::OnDeleteLayer()
{
    m_document.OnDeleteLayer();
}

void LayerView::SwapRowTexts(int32_t a, int32_t b)
{
    QTreeWidgetItem* first = m_list->topLevelItem(a);
    QTreeWidgetItem* second = m_list->topLevelItem(b);
    if (!first || !second)
        return;
    const QString text = first->text(0);
    first->setText(0, second->text(0));
    second->setText(0, text);
}

// The drag follows the list's own mouse: a press keeps its row, a move past the drag distance with the
// button held begins the drag, and while the button is held the list does no drag-selecting of its own.
bool LayerView::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_list)
        return false;
    if (watched == m_list) {
        if (m_dragging && event->type() == QEvent::FocusOut)
            CancelDrag();
        return false;
    }
    if (watched != m_list->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (m_dragging) {
            CancelDrag();  // a press during a drag: the release was missed
            return true;
        }
        m_pressRow = RowAt(mouse->position().toPoint());
        m_pressDragged = false;
        m_pressPoint = mouse->position().toPoint();
        return false;  // the list selects the row (through the veto) before any drag
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool held = (mouse->buttons() & Qt::LeftButton) != 0;
        if (m_dragging) {
            if (held && m_dragGrab->StillHeld())
                OnMouseMove(mouse->position().toPoint());
            else
                CancelDrag();
            return true;
        }
        if (!held)
            return false;
        const QPoint point = mouse->position().toPoint();
        if (m_pressRow >= 0 && (point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance() &&
            OnBeginDrag(m_pressRow))
            OnMouseMove(point);  // the row follows from this move on
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_pressRow = -1;
        if (m_dragging)
            OnLButtonUp();
        // The release of a press that began a drag belongs to the drag, also to one that was lost: the
        // list must not take it as a click.
        return std::exchange(m_pressDragged, false);
    }
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        if (m_dragging)
            CancelDrag();
        return false;
    default:
        return false;
    }
}

void LayerView::hideEvent(QHideEvent* event)
{
    if (m_dragging)
        CancelDrag();
    QWidget::hideEvent(event);
}

// Only the document's selected layer can be dragged: the reorder record moves the selected layer, and
// the press that began the drag has selected its row (or been refused) already.
bool LayerView::OnBeginDrag(int32_t row)
{
    if (m_document.step < FirstEditingStep || !m_document.CanSelectLayer(row) || row != m_document.selectedIndex)
        return false;
    m_dragging = true;
    m_pressDragged = true;
    m_dragStartRow = row;
    m_dragRow = row;
    m_dragGrab = std::make_unique<DragGrab>(*this, *m_list->viewport());
    return true;
}

int32_t LayerView::DragTargetRow(QPoint point) const
{
    const int32_t hit = RowAt(point);
    if (hit >= 0)
        return hit;
    const QWidget* viewport = m_list->viewport();
    const QModelIndex top = m_list->indexAt(QPoint(0, 0));
    if (!top.isValid())
        return -1;
    const int32_t rowHeight = std::max(1, m_list->visualRect(top).height());
    const int32_t page = viewport->height() / rowHeight;  // rows that fit the list's page
    if (point.y() >= viewport->height())
        return top.row() + page;
    if (point.y() < 0)
        return top.row() - 1;
    return -1;
}

void LayerView::OnMouseMove(QPoint point)
{
    const RedrawSuspension suspension(*m_list);
    const int32_t row = DragTargetRow(point);
    const int32_t count = m_list->topLevelItemCount();
    if (row < 0 || row >= count || row == m_dragRow)
        return;
    const int32_t d = row - m_dragRow;
    QList<int32_t> rows;
    for (QTreeWidgetItem* item : m_list->selectedItems())
        rows << m_list->indexOfTopLevelItem(item);
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty())
        rows << m_dragRow;
    if (d > 0)
        std::reverse(rows.begin(), rows.end());
    for (const int32_t r : rows) {
        const int32_t target = r + d;
        if (target < 0 || target >= count)
            break;
        m_list->topLevelItem(r)->setSelected(false);
        for (int32_t k = r; k != target; k += d > 0 ? 1 : -1)
            SwapRowTexts(k, d > 0 ? k + 1 : k - 1);
        QTreeWidgetItem* moved = m_list->topLevelItem(target);
        m_list->scrollToItem(moved);
        m_list->setCurrentItem(moved);
    }
    m_dragRow = row;
}

void LayerView::OnLButtonUp()
{
    m_dragGrab.reset();
    m_dragging = false;
    if (m_dragRow == m_dragStartRow)
        return;
    // The texts moved already; the document follows in one record, or the list shows it as it is.
    if (m_document.journal.AddReorder(m_dragRow - m_dragStartRow))
        SelectLayer(m_dragRow);
    else
        RefillFromDocument();
}

void LayerView::CancelDrag()
{
    m_dragging = false;
    m_pressRow = -1;
    m_dragGrab.reset();
    RefillFromDocument();
}

void LayerView::RefillFromDocument()
{
    FillList(m_document.layers);
    SelectLayer(m_document.selectedIndex);
}
