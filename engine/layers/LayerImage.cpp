#include "engine/layers/LayerImage.h"

#include "engine/base/Geometry.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageHelpers.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/layers/PixelJournal.h"
#include "platform/ArchiveError.h"
#include "platform/ArchiveWriter.h"
#include "platform/ColourAdjustment.h"
#include "platform/DeviceContext.h"

#include <QTransform>
#include <vector>

namespace {

constexpr int32_t ColourBits = 24;
constexpr int32_t AlphaBits = 32;
constexpr uint8_t OpaqueAlpha = 255;
constexpr float InitialCropLow = 0.25f;
constexpr float InitialCropHigh = 0.75f;

std::unique_ptr<ImageReference> AsReference(std::unique_ptr<Image> image)
{
    return std::unique_ptr<ImageReference>(dynamic_cast<ImageReference*>(image.release()));
}

} // namespace

LayerImage::LayerImage(const QString& baseName, int32_t flags, int32_t tag) : Layer(flags, tag)
{
    const QString base = !baseName.isEmpty() ? baseName
                         : (flags & LayerFlagPaint) ? QStringLiteral("Face")
                                                    : QStringLiteral("@BG@");
    const int32_t n = g_document ? g_document->NextLayerNumber(base) : 1;
    name = QStringLiteral("%1 %2").arg(base).arg(n);
    const int32_t step = g_document ? g_document->step : Document::StepEmpty;
    if ((flags & LayerFlagCrop) && step < StepFinish) {
        cropTopLeft = {InitialCropLow, InitialCropLow};
        cropBottomRight = {InitialCropHigh, InitialCropHigh};
    }
}

LayerImage::~LayerImage() = default;

Image* LayerImage::GetImage()
{
    return m_working.get();
}

Image* LayerImage::GetSourceImage()
{
    return m_source.get();
}

bool LayerImage::LoadFile(const QString& path)
{
    m_working.reset();
    m_source.reset();
    m_working = std::make_unique<ImageReference>();
    if (!m_working->Load(path, true)) {
        m_working.reset();
        return false;
    }
    return FinishLoad(false);
}

bool LayerImage::Load(platform::ArchiveReader& archive)
{
    if (!(flags & LayerFlagPaint)) {
        Init(path, number, kind, false);
        return true;
    }
    m_working.reset();
    m_source.reset();
    m_working = std::make_unique<ImageReference>();
    if (!ImageReference::Read(archive, *m_working)) {
        m_working.reset();
        return false;
    }
    return FinishLoad(true);
}

bool LayerImage::FinishLoad(bool fromArchive)
{
    const int32_t depth = m_working->bitsPerPixel;
    if (depth != ColourBits && depth != AlphaBits) {
        m_working.reset();  // the image layer converts every other depth; never read it as 32 bits
        return false;
    }
    const Rect whole{0, 0, m_working->width - 1, m_working->height - 1};
    if (flags & LayerFlagPaint) {
        if (depth == ColourBits) {
            m_source = std::move(m_working);
            m_working = AsReference(m_source->Clone(AlphaBits, true));
            if (!m_working) {
                m_source.reset();
                return false;
            }
            // The clone is opaque, so its colours are premultiplied as they are; a stored picture is
            // shown with the stored colour adjustment.
            if (fromArchive)
                RecolourKeepingMask();
        } else {
            // One pass over the decoded picture makes the source of its straight colours and
            // premultiplies the working image by its alpha (the mask). A stored picture with a colour
            // adjustment then has its colours redrawn through it.
            m_source = m_working->SplitColours();
            if (!m_source) {
                m_working.reset();
                return false;
            }
            if (fromArchive && !Adjustment().Tables().identity)
                RecolourKeepingMask();
        }
    } else if (depth == AlphaBits) {
        m_working->PremultiplyFrom(*m_working, whole);
    }
    size = {static_cast<float>(m_working->width), static_cast<float>(m_working->height)};
    centre = {size.x / 2, size.y / 2};
    return true;
}

void LayerImage::RedrawColor(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!m_working || !m_source)
        return;
    const ImageDC dc(*m_working);
    if (!dc)
        return;
    dc->SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    dc->SetStretchMode(platform::StretchMode::Halftone);
    dc->SetClipRegion(std::nullopt);
    dc->SetColourAdjustment(Adjustment());
    m_source->Draw(ImageDrawStretch, *dc, x, y, x, y, width, height, OpaqueAlpha);
}

platform::ColourAdjustment LayerImage::Adjustment() const
{
    platform::ColourAdjustment adjustment;
    adjustment.redGamma = redGamma;
    adjustment.greenGamma = greenGamma;
    adjustment.blueGamma = blueGamma;
    adjustment.brightness = brightness;
    adjustment.contrast = contrast;
    return adjustment;
}

void LayerImage::RecolourKeepingMask()
{
    const int32_t w = m_working->width;
    const int32_t h = m_working->height;
    // When the adjustment leaves every level as it is (as for every picture never adjusted), the redraw
    // would copy the source's colours unchanged and the mask would then multiply them by the alpha: one
    // pass does the same, without the copy of the mask and the redraw. The test is the one the device
    // context makes before it applies an adjustment.
    if (Adjustment().Tables().identity) {
        m_working->PremultiplyFrom(*m_source, Rect{0, 0, w - 1, h - 1});
        return;
    }
    std::vector<uint8_t> alpha(static_cast<size_t>(w) * static_cast<size_t>(h));
    CopyAlphaToBuffer(w, alpha.data(), w, *m_working, 0, 0, 0, 0, h);
    RedrawColor(0, 0, w, h);
    m_working->ApplyMask(alpha.data(), w, 0, 0, 0, 0, w, h);
}

void LayerImage::ApplyColor()
{
    if (m_source && m_working)
        RecolourKeepingMask();
}

uint8_t* LayerImage::BeginEdit()
{
    Layer::BeginEdit();
    m_editBuffer.reset();
    if (m_working) {
        const size_t bytes = static_cast<size_t>(m_working->width) * static_cast<size_t>(m_working->height);
        m_editBuffer = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    }
    return m_editBuffer.get();
}

void LayerImage::AddDirty(const Rect& r)
{
    const Rect before = dirty;
    Layer::AddDirty(r);
    if (m_working && m_editBuffer)
        CopyAlphaOutsideRect(dirty, *m_working, m_editBuffer.get(), m_working->width, before);
}

bool LayerImage::EndEdit(PixelJournal& journal, int32_t layerIndex)
{
    bool appended = false;
    // An edit without any AddDirty has an empty rectangle, which must stay empty for a 1 x 1 picture too.
    if (m_working && m_editBuffer && !IsEmptyRect(dirty)) {
        ClampRect(dirty, Rect{0, 0, m_working->width - 1, m_working->height - 1});
        if (!IsEmptyRect(dirty)) {
            XorMaskWithAlpha(m_editBuffer.get(), dirty, *m_working);
            appended = journal.AddPixels(dirty, m_editBuffer.get(), m_working->width, layerIndex);
        }
    }
    m_editBuffer.reset();
    return appended;
}

void LayerImage::RestorePixels(const uint8_t* bytes, const Rect& r)
{
    const int32_t columns = r.right - r.left + 1;
    const int32_t rows = r.bottom - r.top + 1;
    if (!m_working || !bytes || columns <= 0 || rows <= 0)
        return;
    std::vector<uint8_t> block(bytes, bytes + static_cast<size_t>(columns) * static_cast<size_t>(rows));
    XorMaskWithAlphaBlock(rows, block.data(), *m_working, r.left, r.top, columns);
    RedrawColor(r.left, r.top, columns, rows);
    m_working->ApplyMask(block.data(), columns, r.left, r.top, 0, 0, columns, rows);
}

Rect LayerImage::CropPixels() const
{
    Rect r;
    r.left = static_cast<int32_t>(cropTopLeft.x * size.x);
    r.top = static_cast<int32_t>(cropTopLeft.y * size.y);
    r.right = r.left + static_cast<int32_t>((cropBottomRight.x - cropTopLeft.x) * size.x) - 1;
    r.bottom = r.top + static_cast<int32_t>((cropBottomRight.y - cropTopLeft.y) * size.y) - 1;
    return r;
}

void LayerImage::Draw(platform::DeviceContext& dc, const Rect& clip, const Rect& source, int32_t mode)
{
    if (pendingTask || !m_working) {
        DrawPlaceholder(dc, mode);
        return;
    }
    Rect d = clip;
    Rect s{0, 0, 0, 0};
    switch (mode) {
    case ViewModeAllLayers:
        InverseBounds(d);
        s = CropPixels();
        break;
    case ViewModeCropLayer:
        s = {0, 0, static_cast<int32_t>(size.x) - 1, static_cast<int32_t>(size.y) - 1};
        break;
    case ViewModePaintLayer: {
        const Rect crop = CropPixels();
        d = {clip.left + crop.left, clip.top + crop.top, clip.right + crop.left, clip.bottom + crop.top};
        s = crop;
        break;
    }
    case DrawModeSelected:
        s = source;
        break;
    default:
        break;
    }
    if (d.left > s.right || d.right < s.left || d.top > s.bottom || d.bottom < s.top)
        return;
    ClampRect(d, s);

    QTransform m;
    switch (mode) {
    case ViewModeAllLayers:
        BuildXForm(m, false);
        dc.SetWorldTransform(m);
        break;
    case ViewModePaintLayer:
        AppendTranslate(m, -(cropTopLeft.x * size.x), -(cropTopLeft.y * size.y));
        dc.SetWorldTransform(m);
        break;
    case DrawModeSelected:
        if (!SelectedLayerMapping(m))
            return;
        dc.SetWorldTransform(m);
        break;
    default:
        break;  // the Crop Layer view draws under the caller's transform
    }
    const int32_t w = d.right - d.left + 1;
    const int32_t h = d.bottom - d.top + 1;
    if (m_working->bitsPerPixel == AlphaBits)
        m_working->Draw(ImageDrawAlphaBlend, dc, d.left, d.top, d.left, d.top, w, h, OpaqueAlpha);
    else
        m_working->DrawOpaque(dc, d.left, d.top, d.left, d.top, w, h);
}

bool LayerImage::Store(platform::ArchiveWriter& archive)
{
    Layer::Store(archive);
    if (!(flags & LayerFlagPaint))
        return true;
    if (!m_working || !m_source) {
        // A painted layer whose picture failed to load keeps its place in the file: an empty block,
        // which reads back as a layer without a picture.
        archive.WriteString(QStringLiteral("IMG"));
        archive.WriteU32(0);
        return true;
    }
    if (!m_working->Write(archive, *m_source))
        throw platform::ArchiveError("the picture could not be encoded");
    return true;
}
