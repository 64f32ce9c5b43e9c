#include "engine/document/Document.h"

#include "engine/base/Geometry.h"
#include "engine/document/GraphicsMode.h"
#include "engine/document/PictureDialogLink.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageHelpers.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "platform/DeviceContext.h"
#include "platform/DocumentPrompts.h"
#include "platform/SaveFileCommit.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <cmath>
#include <limits>

PictureDialogLink* g_pictureDialog = nullptr;

namespace {

constexpr int32_t PictureBits = 24;
const QColor PaintViewBackground(255, 0, 255);  // magenta: what the layer leaves transparent
const QColor SceneChoiceBackground(255, 255, 255);
const QString PictureExtension = QStringLiteral(".jpg");
const QString PictureFailedText = QStringLiteral("Could not save the picture \"%1\".");

// The whole picture of width x height as an inclusive rectangle.
Rect WholeRect(int32_t width, int32_t height)
{
    return Rect{0, 0, width - 1, height - 1};
}

// A rendered side from a float size: at least one pixel and within what a picture can hold; 0 otherwise.
int32_t PictureSide(double side)
{
    if (!std::isfinite(side) || side < 1.0 || side > std::numeric_limits<int32_t>::max())
        return 0;
    return static_cast<int32_t>(side);
}

void DrawList(const LayerList& layers, const Layer* until, platform::DeviceContext& dc, const Rect& clip,
              const Rect& source, int32_t mode)
{
    for (Node* node = layers.next; node != &layers && node != until; node = node->next)
        static_cast<Layer*>(node)->Draw(dc, clip, source, mode);
}

} // namespace

QString PictureFileName(const QString& chosen)
{
    const QFileInfo file(chosen);
    return file.absolutePath() + QLatin1Char('/') + file.completeBaseName() + PictureExtension;
}

bool Document::RenderRegion(const Rect& rect)
{
    Layer* active = GetActiveLayer();
    if (!active)
        return false;
    const int32_t width = GetWorkWidth();
    const int32_t height = GetWorkHeight();
    const Rect work = WholeRect(width, height);
    if (renderBuffer->width != width || renderBuffer->height != height || renderBuffer->bitsPerPixel != PictureBits) {
        if (!renderBuffer->Create(width, height, PictureBits, false))
            return false;
    }
    const ImageDC dc(*renderBuffer);
    if (!dc)
        return false;
    const GraphicsMode mode(*dc);
    Rect r = rect;
    ClampRect(r, work);
    const QRect area(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1);
    if (viewMode != ViewModePaintLayer)
        dc->SetClipRegion(QRegion(area));

    if (viewMode == ViewModePaintLayer)
        dc->FillRect(area, PaintViewBackground);
    else if (viewMode == ViewModeCropLayer)
        FillRectWithBkColor(r.left, r.top, r.right + 1, r.bottom + 1, *dc);

    if (step == StepChooseScene) {
        // The start-up picture is not shown while the person chooses a scene.
        dc->SetBackgroundColour(SceneChoiceBackground);
        FillRectWithBkColor(r.left, r.top, r.right + 1, r.bottom + 1, *dc);
    } else {
        active->Draw(*dc, r, work, viewMode);
    }
    if (viewMode == ViewModeAllLayers)
        DrawList(layers, nullptr, *dc, r, work, viewMode);
    return true;
}

std::unique_ptr<ImageReference> Document::RenderSelectedLayer()
{
    Layer* selected = GetSelectedLayer();
    Layer* active = GetActiveLayer();
    if (!selected || !active || !selected->GetImage())
        return nullptr;
    const float cropWidth = (selected->cropBottomRight.x - selected->cropTopLeft.x) * selected->size.x;
    const float cropHeight = (selected->cropBottomRight.y - selected->cropTopLeft.y) * selected->size.y;
    const int32_t width = PictureSide(std::ceil(cropWidth));
    const int32_t height = PictureSide(std::ceil(cropHeight));
    if (width < 1 || height < 1)
        return nullptr;
    auto picture = std::make_unique<ImageReference>();
    if (!picture->Create(width, height, PictureBits, false))
        return nullptr;
    const Rect work = WholeRect(GetWorkWidth(), GetWorkHeight());
    {
        const ImageDC dc(*picture);
        if (!dc)
            return nullptr;
        const GraphicsMode mode(*dc);
        dc->SetClipRegion(std::nullopt);
        active->Draw(*dc, work, work, DrawModeSelected);
        DrawList(layers, selected, *dc, work, work, DrawModeSelected);
    }
    return picture;
}

bool Document::SavePicture(const QString& path)
{
    if (!scene)
        return false;
    const int32_t width = PictureSide(scene->size.x);
    const int32_t height = PictureSide(scene->size.y);
    ImageReference picture;
    if (width < 1 || height < 1 || !picture.Create(width, height, PictureBits, false))
        return false;

    // The composition is drawn as the All Layers view shows it, whatever the view and the wizard state.
    const int32_t keptViewMode = viewMode;
    viewMode = ViewModeAllLayers;
    bool drawn = false;
    {
        const ImageDC dc(picture);
        if (dc) {
            const GraphicsMode mode(*dc);
            const Rect whole = WholeRect(width, height);
            scene->Draw(*dc, whole, whole, ViewModeAllLayers);
            DrawList(layers, nullptr, *dc, whole, whole, ViewModeAllLayers);
            drawn = true;
        }
    }
    viewMode = keptViewMode;
    if (!drawn)
        return false;

    // The encoder follows the name's extension; the file is replaced only once the picture is written.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    QImageWriter writer(&file, QFileInfo(path).suffix().toLower().toLatin1());
    QString error;
    return picture.Picture() && file.open(QIODevice::WriteOnly) && writer.write(*picture.Picture()) &&
           platform::CommitSaveFile(file, error);
}

void Document::OnSavePicture()
{
    if (!g_pictureDialog)
        return;
    const std::optional<QString> path = g_pictureDialog->Run();
    if (!path)
        return;
    if (!SavePicture(*path) && GetPrompts())
        GetPrompts()->ReportFailure(PictureFailedText.arg(*path));
}
