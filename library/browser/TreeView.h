#pragma once

#include "engine/base/ProgramTimer.h"
#include "library/browser/TreeRows.h"
#include "library/catalog/Catalog.h"
#include "platform/DocumentObserver.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class Document;
class QPainter;
class QPushButton;

// A content browser: one catalogue shown as a tree of categories, subcategories and thumbnails, one
// category and one of its subcategories open at a time, the open subcategory's items one a row.
// Thumbnails arrive through the request queue and are picked up by a 100 ms poll. A click on a
// thumbnail chooses its item (OnItemChosen); the scene browser also has a load button in a band at the
// top (OnLoadFromPC), captions and a note on image rights.
//
// A view of the document: it registers itself at construction and leaves at destruction, so the
// document must outlive it. Hints below HintRedraw repaint it; every hint re-decides whether it takes
// input (TakesInput of the wizard state). User-interface thread only.
class TreeView : public QAbstractScrollArea, public DocumentObserver {
public:
    struct Options {
        QString indexName;   // "<cache><indexName>.txt" is parsed at construction
        QString folder;      // of the thumbnails, on the server and in the cache
        bool showCaptions = false;
        bool showNote = false;
        bool hasLoadButton = false;
        int32_t initialCategory = 0;  // opened at construction with its first subcategory

        // A browser whose thumbnails lie in a folder of its index's name, without captions, note or
        // button, opening category 0.
        static Options Plain(const QString& indexName) { return {indexName, indexName, false, false, false, 0}; }
    };

    TreeView(Document& document, const Options& options, QWidget* parent = nullptr);
    ~TreeView() override;

    void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) override;
    // One poll: loads the open subcategory's finished thumbnails; stops polling once all are loaded.
    void OnTimer();
    // Chooses item i (a click on its thumbnail does): it becomes the selected item, OnItemChosen runs.
    // Nothing for an index outside the catalogue's items.
    void ChooseItem(int32_t i);
    // The load button's caption (the shell's SetBrowserButtonText); nothing without a load button.
    void SetLoadButtonText(const QString& text);

    const Catalog& GetCatalog() const { return catalog; }
    const TreeRows& Rows() const { return rows; }
    int32_t SelectedItem() const { return selectedItem; }
    bool IsPolling() const { return m_timer.IsActive(); }
    QPushButton* LoadButton() const { return loadButton; }
    // How far the rows are scrolled, in pixels.
    int32_t ScrollPosition() const;
    // The row at a point of the viewport: -2 outside the area below the button band, -1 below the rows.
    int32_t RowAtPoint(const QPoint& point) const;

protected:
    // What the subclasses add.
    virtual void OnItemChosen() {}
    virtual void OnLoadFromPC() {}
    virtual bool TakesInput(int32_t state) const { return true; }

    // Enables the browser by the document's wizard state.
    void UpdateEnabling();
    // The open-file dialog for a picture of the user's own, through the modal host; false when cancelled.
    bool BrowseForPicture(QString& path);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // A browser has no keys of its own (no scrolling by arrow or page keys): the main window's keys
    // act on the composition whichever pane has the focus.
    void keyPressEvent(QKeyEvent* event) override;

    Document& m_document;
    Catalog catalog;

private:
    int32_t ButtonBand() const;
    void OnLButtonDown(const QPoint& point);
    // Opens category c and its subcategory s (-1: none) and puts the rows, scroll bar and poll right.
    void Open(int32_t c, int32_t s);
    void UpdateScrollBar();
    // A scroll bar action (line, page, ends) moved to the row tops.
    void OnScrollAction(int action);
    void DrawEmpty(QPainter& painter);
    void DrawRows(QPainter& painter);
    void DrawThumbnail(QPainter& painter, int32_t row, int32_t y);
    bool IsLoaded(size_t j) const;

    // The open subcategory's loaded thumbnails by position (null: not loaded), held as 32-bit pictures
    // without alpha: what the view's backing store takes without a conversion at every paint.
    std::vector<QImage> thumbnails;
    QImage closedFolderBitmap;
    QImage openFolderBitmap;
    QImage placeholderBitmap;
    QFont titleFont;
    QFont smallFont;
    int32_t initialCategory = 0;
    TreeRows rows;
    int32_t selectedItem = 0;
    bool showCaptions = false;
    bool showNote = false;
    bool hasLoadButton = false;
    QPushButton* loadButton = nullptr;  // a child of the viewport
    ProgramTimer m_timer{ThumbnailTimerPeriodMs, [this] { OnTimer(); }};
};
