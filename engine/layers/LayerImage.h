#pragma once

#include "engine/layers/Layer.h"
#include "platform/ColourAdjustment.h"

#include <memory>

class ImageReference;

// The layer of every picture: scenes and their backgrounds, photos, faces, accessories. The working image
// is drawn; for a paintable layer it is 32 bits with the mask as alpha and colours premultiplied by it,
// and the 24-bit source keeps the colours before the colour adjustment, so that an adjustment or an
// undone stroke can redraw them.
class LayerImage final : public Layer {
public:
    // Named "<base> <n>" with the document's next number for the base name; without one, "Face" for a
    // paintable layer and "@BG@" otherwise. A croppable layer made before the last wizard step starts
    // cropped to its middle half.
    LayerImage(const QString& baseName, int32_t flags, int32_t tag);
    ~LayerImage() override;

    void Draw(platform::DeviceContext& dc, const Rect& clip, const Rect& source, int32_t mode) override;
    uint8_t* BeginEdit() override;
    bool EndEdit(PixelJournal& journal, int32_t layerIndex) override;
    void AddDirty(const Rect& r) override;
    void RestorePixels(const uint8_t* bytes, const Rect& r) override;
    Image* GetImage() override;
    Image* GetSourceImage() override;
    bool Store(platform::ArchiveWriter& archive) override;
    bool LoadFile(const QString& path) override;
    bool Load(platform::ArchiveReader& archive) override;
    void ApplyColor() override;

    // Turns a freshly decoded working image into the layer's pair of images and takes its size.
    bool FinishLoad(bool fromArchive);
    // Redraws the working image's colours from the source through the colour adjustment over the block;
    // the block's alpha is not valid afterwards, so every caller puts the mask back.
    void RedrawColor(int32_t x, int32_t y, int32_t width, int32_t height);

    // The crop rectangle in content pixels (inclusive).
    Rect CropPixels() const;

private:
    // The layer's colour adjustment as the device context takes it.
    platform::ColourAdjustment Adjustment() const;
    // Redraws all colours and puts the current mask back over them.
    void RecolourKeepingMask();

    std::unique_ptr<ImageReference> m_working;
    std::unique_ptr<ImageReference> m_source;
    std::unique_ptr<uint8_t[]> m_editBuffer;  // W x H bytes between BeginEdit and EndEdit
};
