#pragma once

#include "engine/layers/Image.h"

#include <QImage>
#include <memory>

class QIODevice;

namespace platform {
class ArchiveReader;
class ArchiveWriter;
}

// A picture of 24 bits (QImage::Format_BGR888: blue, green, red) or 32 bits
// (QImage::Format_ARGB32_Premultiplied: blue, green, red, alpha) a pixel.
//
// Every picture is held top-down: GetBits points at the top row and pitch is positive, also for
// decoded files (code that steps by pitch would work with a bottom-up picture and a negative pitch too).
// Pictures of other depths are converted right after decoding: to 32 bits when they carry alpha, else to
// 24. A decoded 32-bit picture holds its colours as the file does, not premultiplied; the layer that loads
// it premultiplies them (PremultiplyFrom).
class ImageReference final : public Image {
public:
    ImageReference();
    ~ImageReference() override;

    // A new picture is black; a 32-bit one is transparent, or opaque when it has no alpha channel.
    bool Create(int32_t width, int32_t height, int32_t bitsPerPixel, bool alpha) override;
    bool Load(const QString& path, bool scaleUp) override;
    void Clear() override;
    std::unique_ptr<Image> Clone(int32_t bitsPerPixel, bool alpha) override;
    void ApplyMask(const uint8_t* mask, int32_t maskStride, int32_t x, int32_t y, int32_t maskX, int32_t maskY,
                   int32_t columns, int32_t rows) override;
    void PremultiplyFrom(Image& source, const Rect& rect) override;
    // The same context until the last matching ReleaseDC; a fresh one (default state) after that.
    platform::DeviceContext* GetDC() override;
    void ReleaseDC() override;
    uint8_t* GetBits() override;
    void Draw(int32_t mode, platform::DeviceContext& dc, int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
              int32_t h, uint8_t alpha) override;

    // For a 32-bit picture whose colours are still straight (as decoded): a new 24-bit picture of its
    // colours, made in the same pass that premultiplies this picture's colours by its alpha. Nothing,
    // and this picture unchanged, when it is not 32 bits or the new picture cannot be made.
    std::unique_ptr<ImageReference> SplitColours();

    // The "IMG" block of a project file. Read lets archive errors (a string or count cut off) pass.
    static bool Read(platform::ArchiveReader& archive, ImageReference& image);
    bool Write(platform::ArchiveWriter& archive, Image& source);

    void UpdateInfo();
    void Enlarge(int32_t factor);
    void DrawOpaque(platform::DeviceContext& dc, int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t w,
                    int32_t h);

    // A picture file (a scrambled one by its extension "bki") read and decoded into one of the two layouts
    // above; null when it cannot be read or decoded. Any thread.
    static QImage ReadPicture(const QString& path);
    // The whole factor by which Load enlarges a picture of this size when asked to scale up.
    static int32_t UpScaleFactor(int32_t width, int32_t height);
    const QImage* Picture() const { return picture.get(); }

private:
    static QImage DecodePicture(QIODevice& device);
    // The same for a file in memory: a PNG laid out as the project's own pictures are is decoded by the
    // program's own PNG decoder, any other file as above.
    static QImage DecodePicture(const QByteArray& bytes);
    // A decoded picture becomes this one's; false for a null one.
    bool TakePicture(QImage decoded);
    // Create without clearing: for a picture whose every pixel is written next.
    bool Allocate(int32_t width, int32_t height, int32_t bitsPerPixel);

    std::unique_ptr<QImage> picture;
    std::unique_ptr<platform::DeviceContext> m_dc;
    int32_t m_dcUsers = 0;
};
