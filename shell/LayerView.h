#pragma once

#include "engine/document/LayerViewLink.h"
#include "platform/DocumentObserver.h"

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <memory>

class Document;
class QPushButton;
class QTreeWidget;
class Settings;

// The layers panel under the content tabs (form template 199): the layers by name in list order, with
// Up, Down and Delete above them. From wizard step 10 on a click selects a layer (when the document
// allows it at this step), a drag of the selected row moves it, recorded as one reorder at the release,
// and the buttons move or delete it; every change goes through the journal. The panel also shows the
// start prompt of a new project. Installed as g_layerView while it lives; a view of the document.
class LayerView final : public QWidget, public LayerViewLink, public DocumentObserver {
public:
    LayerView(Document& document, Settings& settings, QWidget* parent = nullptr);
    ~LayerView() override;

    // The panel installed as g_layerView, or null.
    static LayerView* Installed();

    void FillList(const LayerList& layers) override;
    void SelectLayer(int32_t index) override;
    // Hints below 100 repaint the panel.
    void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) override;

    // At step 0 of a new project, once: "Please press Start." on the step bar and, with tips on, tips 1
    // and 2. The panel asks at each size change; a panel hidden at step 0 gets none, so the main window
    // asks after it shows a new project.
    void ShowStartPrompt();

    void OnMoveLayerUp();
    void OnMoveLayerDown();
    void OnDeleteLayer();

    QTreeWidget* List() const { return m_list; }
    QPushButton* UpButton() const { return m_upButton; }
    QPushButton* DownButton() const { return m_downButton; }
    QPushButton* DeleteButton() const { return m_deleteButton; }
    bool IsDragging() const { return m_dragging; }
    // The row under the mouse pointer, or -1.
    int32_t RowUnderCursor() const;

    static constexpr int32_t ListId = 1010;
    static constexpr int32_t UpId = 1050;
    static constexpr int32_t DownId = 1051;
    static constexpr int32_t DeleteId = 1052;
    static constexpr int32_t ButtonHeight = 32;
    // From this wizard state on the panel takes clicks, drags and buttons.
    static constexpr int32_t FirstEditingStep = 10;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class DragGrab;

    bool CanChangeSelection() const;
    void OnItemChanged(int32_t row);
    bool OnBeginDrag(int32_t row);
    void OnMouseMove(QPoint point);
    void OnLButtonUp();
    // A drag that lost the mouse: no record, and the list shows the document again.
    void CancelDrag();
    void RefillFromDocument();
    void SwapRowTexts(int32_t a, int32_t b);
    int32_t RowAt(QPoint point) const;
    // The row that a drag at point (list coordinates) reaches, or -1.
    int32_t DragTargetRow(QPoint point) const;
    void UpdateButtons();
    void LayOutControls();
    QPushButton* MakeButton(int32_t id, const QString& text, int32_t picture, const QString& tooltip);

    Document& m_document;
    Settings& m_settings;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_upButton = nullptr;
    QPushButton* m_downButton = nullptr;
    QPushButton* m_deleteButton = nullptr;

    bool m_dragging = false;
    int32_t m_dragRow = -1;
    int32_t m_dragStartRow = -1;
    bool m_selectingFromCode = false;
    bool m_selectingFromList = false;
    int32_t m_pressRow = -1;  // the row a left-button press fell on while it is held
    bool m_pressDragged = false;  // that press began a drag
    QPoint m_pressPoint;
    std::unique_ptr<DragGrab> m_dragGrab;
};
