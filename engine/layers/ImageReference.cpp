#include "engine/layers/ImageReference.h"

#include "engine/base/Scramble.h"
#include "engine/layers/ImageBusy.h"
#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageHelpers.h"
#include "platform/DeviceContext.h"
#include "platform/PicturePrefetch.h"
#include "platform/PixelOps.h"
#include "platform/PngDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t ColourBits = 24;
constexpr int32_t AlphaBits = 32;
constexpr auto ScrambledExtension = QLatin1StringView("bki");
// Small pictures are enlarged until their height reaches this, unless their width reaches the other first.
constexpr int32_t UpScaleHeight = 768;
constexpr int32_t UpScaleWidth = 1024;

// The largest picture the program decodes: room for today's phone photos (48 and 50 megapixels) and an
// 8000 x 8000 scan. A bigger one, or a small file that claims to be one (a decompression bomb), fails to
// load like a file that is not a picture. Held as a 24-bit source and a 32-bit working image, the largest
// face takes 7 bytes a pixel, about 450 MB.
constexpr int64_t MaxPicturePixels = 64'000'000;
constexpr int64_t DecodedBytesPerPixel = 8;  // the decoders' widest output: 16-bit RGBA
constexpr int64_t BytesPerMegabyte = 1024 * 1024;

// The decoders' own allocation limit (a process-wide setting of Qt's), raised once from its default
// (128 MB), which turns away every photo above 32 megapixels. The pixel count above is the real bound.
void SetDecoderAllocationLimit()
{
    static const bool set = [] {
        const int64_t bytes = MaxPicturePixels * DecodedBytesPerPixel;
        QImageReader::setAllocationLimit(static_cast<int>((bytes + BytesPerMegabyte - 1) / BytesPerMegabyte));
        return true;
    }();
    (void)set;
}

// Brings a decoded picture to one of our two layouts. Palette, grey, 16-bit and the like become 24 bits,
// or 32 bits when they carry alpha; the 32-bit bytes hold the colours as decoded, not premultiplied.
//
// A picture already in straight ARGB32 (as a PNG with alpha decodes) is taken over, not converted: while
// a second QImage shared its pixels, relabelling the format would first copy every one of them.
QImage ToPictureLayout(QImage decoded)
{
    if (!decoded.hasAlphaChannel())
        return decoded.convertToFormat(QImage::Format_BGR888);
    QImage straight = decoded.format() == QImage::Format_ARGB32 ? std::move(decoded)
                                                                 : decoded.convertToFormat(QImage::Format_ARGB32);
    straight.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return straight;
}

uint8_t* Row(QImage& picture, int32_t y, int32_t x)
{
    return picture.scanLine(y) + static_cast<ptrdiff_t>(x) * (picture.depth() / 8);
}

} // namespace

ImageReference::ImageReference() = default;

ImageReference::~ImageReference()
{
    Clear();
}

void ImageReference::UpdateInfo()
{
    width = picture ? picture->width() : 0;
    height = picture ? picture->height() : 0;
    pitch = picture ? static_cast<int32_t>(picture->bytesPerLine()) : 0;
    bitsPerPixel = picture ? picture->depth() : 0;
}

void ImageReference::Clear()
{
    m_dc.reset();
    m_dcUsers = 0;
    busy = 0;
    picture.reset();
    UpdateInfo();
}

bool ImageReference::Allocate(int32_t w, int32_t h, int32_t bpp)
{
    Clear();
    if (w <= 0 || h <= 0 || (bpp != ColourBits && bpp != AlphaBits))
        return false;
    auto created =
        std::make_unique<QImage>(w, h, bpp == ColourBits ? QImage::Format_BGR888 : QImage::Format_ARGB32_Premultiplied);
    if (created->isNull())
        return false;
    picture = std::move(created);
    UpdateInfo();
    return true;
}

bool ImageReference::Create(int32_t w, int32_t h, int32_t bpp, bool alpha)
{
    if (!Allocate(w, h, bpp))
        return false;
    // Without an alpha channel a 32-bit picture stays opaque, so that blending it never shows through.
    // Every other new picture is all zero bytes, which one memset writes far faster than QImage::fill
    // (which sets 3-byte pixels one at a time).
    if (bpp == AlphaBits && !alpha)
        picture->fill(qRgba(0, 0, 0, platform::pixels::Opaque));
    else
        std::memset(picture->bits(), 0, static_cast<size_t>(picture->sizeInBytes()));
    return true;
}

QImage ImageReference::DecodePicture(QIODevice& device)
{
    SetDecoderAllocationLimit();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    // The size from the file's header, before any pixel memory is taken.
    const QSize claimed = reader.size();
    if (claimed.isValid() && int64_t{claimed.width()} * claimed.height() > MaxPicturePixels)
        return {};
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return {};
    // The header's size is only a claim: some files give none, and an icon's entry names a small picture
    // while it holds a PNG of any size. The decoded picture is held to the same bound before its
    // conversion (which would take 3 or 4 bytes a pixel from a 1-bit picture) is made.
    if (int64_t{decoded.width()} * decoded.height() > MaxPicturePixels)
        return {};
    return ToPictureLayout(std::move(decoded));
}

QImage ImageReference::DecodePicture(const QByteArray& bytes)
{
    if (std::optional<QImage> plain = platform::DecodePlainPng(bytes, MaxPicturePixels))
        return ToPictureLayout(std::move(*plain));
    QBuffer stream;
    stream.setData(bytes);
    return stream.open(QIODevice::ReadOnly) ? DecodePicture(stream) : QImage();
}

QImage ImageReference::ReadPicture(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString extension = dot < 0 ? path : path.sliced(dot + 1);
    if (extension.compare(ScrambledExtension, Qt::CaseInsensitive) == 0) {
        std::optional<QByteArray> bytes = ReadScrambledFile(path);
        return bytes ? DecodePicture(*bytes) : QImage();
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? DecodePicture(file) : QImage();
}

bool ImageReference::TakePicture(QImage decoded)
{
    if (decoded.isNull())
        return false;
    picture = std::make_unique<QImage>(std::move(decoded));
    UpdateInfo();
    return true;
}

int32_t ImageReference::UpScaleFactor(int32_t w, int32_t h)
{
    int32_t factor = 1;
    if (w <= 0 || h <= 0 || w >= UpScaleWidth)
        return factor;
    for (int64_t total = h; total < UpScaleHeight;) {
        ++factor;
        total += h;
        if (static_cast<int64_t>(w) * factor >= UpScaleWidth)
            break;
    }
    return factor;
}

bool ImageReference::Load(const QString& path, bool scaleUp)
{
    Clear();
    std::optional<QImage> prefetched = platform::PicturePrefetch::Take(path);
    if (!TakePicture(prefetched ? std::move(*prefetched) : ReadPicture(path))) {
        Clear();
        return false;
    }
    if (scaleUp)
        Enlarge(UpScaleFactor(width, height));
    return true;
}

void ImageReference::Enlarge(int32_t factor)
{
    // While its device context is out the picture keeps its pixels where the context draws them.
    if (factor < 2 || !picture || m_dc)
        return;
    const int64_t w = static_cast<int64_t>(width) * factor;
    const int64_t h = static_cast<int64_t>(height) * factor;
    if (w > INT32_MAX || h > INT32_MAX)
        return;
    auto enlarged = std::make_unique<QImage>(static_cast<int>(w), static_cast<int>(h), picture->format());
    if (enlarged->isNull())
        return;
    {
        platform::DeviceContext dc(*enlarged);
        dc.SetStretchMode(platform::StretchMode::Halftone);
        if (!dc.StretchCopy(enlarged->rect(), *picture, picture->rect()))
            return;
    }
    picture = std::move(enlarged);
    UpdateInfo();
}

std::unique_ptr<Image> ImageReference::Clone(int32_t bpp, bool alpha)
{
    // Every pixel of the clone is written below, so it is not cleared first.
    auto clone = std::make_unique<ImageReference>();
    if (!picture || !clone->Allocate(width, height, bpp))
        return nullptr;
    if (bitsPerPixel == AlphaBits && bpp == AlphaBits && alpha) {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(Row(*clone->picture, y, 0), Row(*picture, y, 0), static_cast<size_t>(width) * 4);
        return clone;
    }
    // A copy between the depths: from 24 bits every pixel becomes opaque, from 32 bits the colours are
    // taken. The remaining 32-bit case without alpha keeps the source's alpha bytes as they are.
    {
        const ImageDC dc(*clone);
        dc->BlockCopy(0, 0, width, height, *picture, 0, 0, platform::BlockOp::SourceCopy);
    }
    return clone;
}

std::unique_ptr<ImageReference> ImageReference::SplitColours()
{
    auto colours = std::make_unique<ImageReference>();
    if (!picture || bitsPerPixel != AlphaBits || !colours->Allocate(width, height, ColourBits))
        return nullptr;
    const ImageBusy marker(*this);
    for (int32_t y = 0; y < height; ++y)
        platform::pixels::SplitStraightRow(Row(*picture, y, 0), Row(*colours->picture, y, 0), width);
    return colours;
}

void ImageReference::ApplyMask(const uint8_t* mask, int32_t maskStride, int32_t x, int32_t y, int32_t maskX,
                               int32_t maskY, int32_t columns, int32_t rows)
{
    if (!picture || bitsPerPixel != AlphaBits || !mask)
        return;
    const BlockPart part = VisiblePart(*this, x, y, columns, rows);
    const ImageBusy marker(*this);
    for (int32_t i = part.row; i < part.row + part.rows; ++i) {
        const uint8_t* maskRow = mask + static_cast<ptrdiff_t>(maskY + i) * maskStride + maskX + part.column;
        platform::pixels::ApplyMaskRow(Row(*picture, y + i, x + part.column), maskRow, part.columns);
    }
}

void ImageReference::PremultiplyFrom(Image& source, const Rect& rect)
{
    uint8_t* sourceBits = source.GetBits();
    if (!picture || bitsPerPixel != AlphaBits || !sourceBits ||
        (source.bitsPerPixel != ColourBits && source.bitsPerPixel != AlphaBits))
        return;
    // Only pixels that both pictures have.
    const int32_t left = std::max(rect.left, 0);
    const int32_t top = std::max(rect.top, 0);
    const int32_t right = std::min({rect.right, width - 1, source.width - 1});
    const int32_t bottom = std::min({rect.bottom, height - 1, source.height - 1});
    if (right < left || bottom < top)
        return;
    const int sourceBytes = source.bitsPerPixel / 8;
    const ImageBusy marker(*this);
    for (int32_t y = top; y <= bottom; ++y) {
        const uint8_t* from = sourceBits + static_cast<ptrdiff_t>(y) * source.pitch + static_cast<ptrdiff_t>(left) * sourceBytes;
        platform::pixels::PremultiplyRow(Row(*picture, y, left), from, sourceBytes, right - left + 1);
    }
}

platform::DeviceContext* ImageReference::GetDC()
{
    if (!picture)
        return nullptr;
    if (!m_dc)
        m_dc = std::make_unique<platform::DeviceContext>(*picture);
    ++m_dcUsers;
    busy = 1;
    return m_dc.get();
}

void ImageReference::ReleaseDC()
{
    if (m_dcUsers == 0 || --m_dcUsers > 0)
        return;
    m_dc.reset();
    busy = 0;
}

uint8_t* ImageReference::GetBits()
{
    return picture ? picture->bits() : nullptr;
}

void ImageReference::Draw(int32_t mode, platform::DeviceContext& dc, int32_t x, int32_t y, int32_t srcX, int32_t srcY,
                          int32_t w, int32_t h, uint8_t alpha)
{
    if (!picture)
        return;
    switch (mode) {
    case ImageDrawCopy:
        dc.BlockCopy(x, y, w, h, *picture, srcX, srcY, platform::BlockOp::SourceCopy);
        break;
    case ImageDrawAlphaBlend:
        dc.AlphaBlend(QRect(x, y, w, h), *picture, QRect(srcX, srcY, w, h), alpha);
        break;
    case ImageDrawInvert:
        dc.BlockCopy(x, y, w, h, *picture, srcX, srcY, platform::BlockOp::SourceInvert);
        break;
    case ImageDrawStretch:
        dc.StretchCopy(QRect(x, y, w, h), *picture, QRect(srcX, srcY, w, h));
        break;
    default:
        break;
    }
}

void ImageReference::DrawOpaque(platform::DeviceContext& dc, int32_t x, int32_t y, int32_t srcX, int32_t srcY,
                                int32_t w, int32_t h)
{
    Draw(ImageDrawCopy, dc, x, y, srcX, srcY, w, h, platform::pixels::Opaque);
}
