#include "library/browser/TreeView.h"

#include "library/browser/BrowserLayout.h"

#include <QPainter>

using namespace browser_layout;

namespace {

const QString NoteText = QStringLiteral(" *These images may be subject to copyright.");
const QString MissingText = QStringLiteral("Web Directory missing.");
const QString DownloadingText = QStringLiteral("(Downloading...)");

constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;

} // namespace

void TreeView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    // The button band: what the button's rounded corners let through.
    painter.fillRect(0, 0, viewport()->width(), ButtonBand(), palette().color(QPalette::Button));
    if (catalog.items.empty())
        DrawEmpty(painter);
    else
        DrawRows(painter);
}

void TreeView::DrawEmpty(QPainter& painter)
{
    const int32_t width = viewport()->width();
    const int32_t height = viewport()->height();
    painter.fillRect(0, ButtonBand(), width, height - ButtonBand(), palette().color(QPalette::Button));
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    const int32_t middle = height / 2;
    painter.drawText(QRect(0, middle - EmptyTextBandHeight, width, EmptyTextBandHeight),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, MissingText);
    painter.drawText(QRect(0, middle, width, EmptyTextBandHeight), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     DownloadingText);
}

void TreeView::DrawRows(QPainter& painter)
{
    const int32_t width = viewport()->width();
    const QRect area(0, ButtonBand(), width, viewport()->height() - ButtonBand());
    painter.setClipRect(area);
    painter.fillRect(area, Qt::white);
    const int32_t origin = area.top() - ScrollPosition();  // where the rows' y = 0 lands
    if (showNote) {
        painter.setFont(smallFont);
        painter.setPen(NoteColour);
        painter.drawText(QRect(0, origin, width, RowHeight), TextFlags, NoteText);
    }

    const int32_t openCategory = rows.OpenCategory();
    const int32_t openSubcategory = rows.OpenSubcategory();
    // From the row at the area's top down to the first row that starts below it.
    for (int32_t row = rows.RowAtY(area.top() - origin); row < rows.TotalRows(); ++row) {
        const int32_t y = origin + rows.RowTop(row);
        if (y >= area.top() + area.height())
            break;
        if (rows.IsThumbnailRow(row)) {
            DrawThumbnail(painter, row, y);
            continue;
        }
        painter.setFont(titleFont);
        painter.setPen(Qt::black);
        if (rows.IsSubcategoryRow(row)) {
            const int32_t s = rows.SubcategoryAt(row);
            painter.drawImage(SubcategoryIconX, y, s == openSubcategory ? openFolderBitmap : closedFolderBitmap);
            painter.drawText(QRect(SubcategoryTitleX, y, width - SubcategoryTitleX, RowHeight), TextFlags,
                             catalog.GetSubcategoryName(openCategory, s));
        } else {
            const int32_t c = rows.CategoryAt(row);
            painter.drawImage(CategoryIconX, y, c == openCategory ? openFolderBitmap : closedFolderBitmap);
            painter.drawText(QRect(CategoryTitleX, y, width - CategoryTitleX, RowHeight), TextFlags,
                             catalog.GetCategoryName(c));
        }
    }
}

void TreeView::DrawThumbnail(QPainter& painter, int32_t row, int32_t y)
{
    const int32_t j = rows.ThumbnailAt(row);
    int32_t cellWidth = CellWidth;
    if (IsLoaded(static_cast<size_t>(j))) {
        const QImage& picture = thumbnails[static_cast<size_t>(j)];
        painter.drawImage(ThumbnailX, y, picture);
        cellWidth = picture.width();
    } else {
        // The placeholder picture is narrower than its cell; the rest of the cell stays white.
        painter.drawImage(ThumbnailX, y, placeholderBitmap);
    }
    const int32_t item = catalog.GetSubcategoryFirstItem(rows.OpenCategory(), rows.OpenSubcategory()) + j;
    if (item == selectedItem) {
        painter.fillRect(ThumbnailX, y, cellWidth, FrameThickness, FrameColour);
        painter.fillRect(ThumbnailX, y, FrameThickness, CellHeight, FrameColour);
        painter.fillRect(ThumbnailX + cellWidth - FrameThickness, y, FrameThickness, CellHeight, FrameColour);
        painter.fillRect(ThumbnailX, y + CellHeight - FrameThickness, cellWidth, FrameThickness, FrameColour);
    }
    if (showCaptions) {
        painter.setFont(smallFont);
        painter.setPen(NoteColour);
        const QRect caption(ThumbnailX, y + CellHeight, viewport()->width() - ThumbnailX, CaptionBottom - CellHeight);
        painter.drawText(caption, TextFlags, catalog.GetItemName(item).mid(CaptionSkippedCharacters));
    }
}
