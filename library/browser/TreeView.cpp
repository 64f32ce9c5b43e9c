#include "library/browser/TreeView.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "library/browser/BrowserLayout.h"
#include "library/download/Request.h"
#include "platform/ResourceId.h"
#include "platform/Resources.h"
#include "platform/ui/FileDialogFolder.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>

using namespace browser_layout;

namespace {

constexpr int32_t ScrollToBottom = 9999999;  // the bar clamps it to its end

QFont BrowserFont(int pixels)
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

// Pictures are drawn as 32-bit pixels without alpha, the backing store's own kind: a 24-bit picture would
// be converted again at every paint. A picture with alpha keeps its bytes, as a block copy takes them.
QImage Paintable(const QImage& picture)
{
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    return QImage(picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(),
                  QImage::Format_RGB32)
        .copy();
}

QImage Bitmap(int32_t id)
{
    return Paintable(platform::Resources::Picture(platform::ResourceType::Bitmap, id));
}

} // namespace

TreeView::TreeView(Document& document, const Options& options, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(document), catalog(options.indexName, options.folder),
      initialCategory(options.initialCategory), showCaptions(options.showCaptions), showNote(options.showNote),
      hasLoadButton(options.hasLoadButton)
{
    setFrameShape(QFrame::NoFrame);
    // Every pixel is painted each time: nothing to erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(RowHeight);  // the mouse wheel; the bar's own actions go by rows
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(action); });

    if (hasLoadButton) {
        loadButton = new QPushButton(QStringLiteral("Load scene from PC..."), viewport());
        const QImage picture = platform::Resources::Picture(platform::ResourceType::Bitmap,
                                                            platform::ResourceId::LoadPicture);
        loadButton->setIcon(QIcon(QPixmap::fromImage(picture)));
        loadButton->setIconSize(picture.size());
        loadButton->setGeometry(0, 0, LoadButtonWidth, ButtonBandHeight);
        connect(loadButton, &QPushButton::clicked, this, [this] { OnLoadFromPC(); });
    }
    titleFont = BrowserFont(TitleFontPixels);
    smallFont = BrowserFont(SmallFontPixels);
    closedFolderBitmap = Bitmap(platform::ResourceId::FolderClosed);
    openFolderBitmap = Bitmap(platform::ResourceId::FolderOpen);
    placeholderBitmap = Bitmap(platform::ResourceId::ThumbPlaceholder);

    catalog.Parse(g_paths ? g_paths->cacheFolder + catalog.GetIndexName() + QStringLiteral(".txt") : QString());
    catalog.PrioritizeCategory(0, 0);
    rows = TreeRows(catalog.GetRowRange(initialCategory, 0), showNote);
    UpdateScrollBar();
    m_timer.Start();

    m_document.AddView(this);
}

TreeView::~TreeView()
{
    m_document.RemoveView(this);
}

void TreeView::OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect)
{
    UpdateEnabling();
    if (hint < HintRedraw)
        viewport()->update();
}

void TreeView::UpdateEnabling()
{
    setEnabled(TakesInput(m_document.step));
}

void TreeView::SetLoadButtonText(const QString& text)
{
    if (loadButton)
        loadButton->setText(text);
}

int32_t TreeView::ButtonBand() const
{
    return hasLoadButton ? ButtonBandHeight : 0;
}

int32_t TreeView::ScrollPosition() const
{
    return verticalScrollBar()->value();
}

int32_t TreeView::RowAtPoint(const QPoint& point) const
{
    const QRect area(0, ButtonBand(), viewport()->width(), viewport()->height() - ButtonBand());
    if (!area.contains(point))
        return -2;
    const int32_t row = rows.RowAtY(point.y() - area.top() + ScrollPosition());
    return row < rows.TotalRows() ? row : -1;
}

void TreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
}

void TreeView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();  // the press did all there is to do
}

void TreeView::OnLButtonDown(const QPoint& point)
{
    if (catalog.items.empty())
        return;  // the browser shows only its notice: there is nothing to click
    const int32_t r = RowAtPoint(point);
    const int32_t openCategory = rows.OpenCategory();
    const int32_t openSubcategory = rows.OpenSubcategory();
    if (rows.IsThumbnailRow(r)) {
        ChooseItem(catalog.GetSubcategoryFirstItem(openCategory, openSubcategory) + rows.ThumbnailAt(r));
        return;
    }
    if (rows.IsSubcategoryRow(r)) {
        // The open subcategory's own row closes it, unless it shows no thumbnails.
        const int32_t s = rows.SubcategoryAt(r);
        const bool closes = rows.Range().thumbnailCount > 0 && s == openSubcategory;
        Open(openCategory, closes ? -1 : s);
        return;
    }
    // A category row, or a click below the rows: the open category's row and the space below close it.
    const bool closes = r < 0 || r == openCategory;
    Open(closes ? -1 : rows.CategoryAt(r), -1);
}

void TreeView::ChooseItem(int32_t i)
{
    if (i < 0 || static_cast<size_t>(i) >= catalog.items.size())
        return;
    selectedItem = i;
    OnItemChosen();
    viewport()->update();
}

void TreeView::Open(int32_t c, int32_t s)
{
    rows = TreeRows(catalog.GetRowRange(c, s), showNote);
    thumbnails.clear();
    const int32_t position = ScrollPosition();
    UpdateScrollBar();
    verticalScrollBar()->setValue(position);
    if (rows.OpenSubcategory() >= 0) {
        catalog.RequestFailedThumbnails(c, s);
        catalog.PrioritizeCategory(c, s);
        m_timer.Start();
    }
    viewport()->update();
}

void TreeView::UpdateScrollBar()
{
    // The bar's maximum is inclusive of the last page: its last position shows the page that ends there.
    const int32_t page = std::max(viewport()->height() - ButtonBand(), 0);
    const int32_t maximum = rows.ScrollMaximum(ButtonBand());
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(page);
    bar->setRange(0, std::max(maximum - std::max(page - 1, 0), 0));
}

void TreeView::OnScrollAction(int action)
{
    // The bar has moved its slider by its own steps already; its value is still the old position.
    const int32_t p = ScrollPosition();
    const int32_t page = std::max(viewport()->height() - ButtonBand(), 0);
    int32_t position = p;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        position = rows.LineScrollPos(p, p - 1);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        position = rows.LineScrollPos(p, p + rows.GetRowHeight(rows.RowAtY(p)));
        break;
    case QAbstractSlider::SliderPageStepSub:
        position = rows.LineScrollPos(p, p + rows.GetRowHeight(rows.RowAtY(p)) - page - 1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        position = rows.LineScrollPos(p, p + page);
        break;
    case QAbstractSlider::SliderToMinimum:
        position = 0;
        break;
    case QAbstractSlider::SliderToMaximum:
        position = ScrollToBottom;
        break;
    default:
        return;  // the thumb, dragged or placed, keeps its track position
    }
    verticalScrollBar()->setSliderPosition(position);
}

void TreeView::keyPressEvent(QKeyEvent* event)
{
    event->ignore();  // to the parent, as a widget without key handling does
}

void TreeView::scrollContentsBy(int dx, int dy)
{
    viewport()->update();
}

void TreeView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
    if (loadButton)
        loadButton->setGeometry(0, 0, viewport()->width(), ButtonBandHeight);
}

bool TreeView::IsLoaded(size_t j) const
{
    return j < thumbnails.size() && !thumbnails[j].isNull();
}

void TreeView::OnTimer()
{
    const int32_t count = rows.Range().thumbnailCount;
    int32_t loaded = 0;
    const int32_t openSubcategory = rows.OpenSubcategory();
    if (openSubcategory >= 0) {
        const int32_t first = catalog.GetSubcategoryFirstItem(rows.OpenCategory(), openSubcategory);
        if (thumbnails.size() < static_cast<size_t>(count))
            thumbnails.resize(static_cast<size_t>(count));
        for (int32_t j = 0; j < count; ++j) {
            const size_t position = static_cast<size_t>(j);
            if (IsLoaded(position)) {
                ++loaded;
                continue;
            }
            if (catalog.ThumbnailStatus(first + j) != RequestDone)
                continue;  // still on its way, or failed: the placeholder stays
            ImageReference picture;
            if (catalog.LoadThumbnail(first + j, picture)) {
                thumbnails[position] = Paintable(*picture.Picture());
                ++loaded;
                viewport()->update();
            }
        }
    }
    if (loaded == count)
        m_timer.Stop();
}

bool TreeView::BrowseForPicture(QString& path)
{
    const QString title = m_document.step <= StepSceneChosen ? QStringLiteral("Select a scene to open")
                                                             : QStringLiteral("Select a face to open");
    QFileDialog dialog(this, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setNameFilter(QStringLiteral("JPEG Images (*.jpg)"));
    if (platform::RunFileDialog(dialog, QStringLiteral("*.jpg")) != QDialog::Accepted ||
        dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().first();
    return true;
}
