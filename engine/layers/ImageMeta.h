#pragma once

#include "engine/layers/Image.h"

#include <memory>

namespace platform {
class Metafile;
}

// A speech bubble's drawing: an enhanced metafile, sized by its header's bounds (device units) and
// played through the device context's world transform.
class ImageMeta final : public Image {
public:
    ImageMeta();
    ~ImageMeta() override;

    // scaleUp is not used: a metafile scales with the transform it is played under.
    bool Load(const QString& path, bool scaleUp) override;
    void Clear() override;
    // Plays the whole metafile onto (0, 0) - (width - 1, height - 1) of the context's logical space;
    // mode, position, source and alpha do not matter (the caller places it with the world transform).
    void Draw(int32_t mode, platform::DeviceContext& dc, int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
              int32_t h, uint8_t alpha) override;

private:
    std::unique_ptr<platform::Metafile> metafile;
};
