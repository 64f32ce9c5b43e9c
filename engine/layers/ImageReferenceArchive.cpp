#include "engine/layers/ImageReference.h"

#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/PixelOps.h"
#include "platform/PngEncoder.h"


namespace {

constexpr auto BlockTag = QLatin1StringView("IMG");
constexpr int32_t AlphaBits = 32;
constexpr int32_t ColourBits = 24;

} // namespace

bool ImageReference::Read(platform::ArchiveReader& archive, ImageReference& image)
{
    image.Clear();
    if (archive.ReadString().compare(BlockTag, Qt::CaseInsensitive) != 0)
        return false;
    const uint32_t count = archive.ReadU32();
    if (count == 0)
        return false;
    // A block that claims more bytes than the file holds is a damaged file, not a bad picture: the read
    // throws before anything is allocated, and the open procedure reports it.
    // Decoded at once, so a project read from memory lends its bytes instead of copying them.
    if (!image.TakePicture(DecodePicture(archive.ReadBytesInPlace(count)))) {
        image.Clear();
        return false;
    }
    return true;
}

// The picture travels as a PNG with 8-bit red, green, blue and alpha: the colour of source (the 24-bit
// colours before any adjustment), not premultiplied, and this image's alpha (the mask). Any PNG reader
// opens it. The encoder's workers merge the rows themselves, so the save makes no merged copy of the
// picture on the user's thread first.
bool ImageReference::Write(platform::ArchiveWriter& archive, Image& source)
{
    if (!picture || bitsPerPixel != AlphaBits || source.bitsPerPixel != ColourBits || source.width < width ||
        source.height < height)
        return false;
    // Both pictures' rows are found here, on the caller's thread: the workers only read them.
    const uint8_t* alphaPixels = GetBits();
    const uint8_t* colours = source.GetBits();
    if (!alphaPixels || !colours)
        return false;
    const ptrdiff_t alphaPitch = pitch;
    const ptrdiff_t colourPitch = source.pitch;
    const int32_t columns = width;
    const QByteArray png = platform::EncodePng(width, height, [=](int y, uint8_t* rgba) {
        platform::pixels::RgbaFromColourAndAlphaRow(rgba, colours + y * colourPitch, alphaPixels + y * alphaPitch,
                                                    columns);
    });
    if (png.isEmpty() || png.size() > static_cast<qsizetype>(UINT32_MAX))
        return false;
    archive.WriteString(BlockTag);
    archive.WriteU32(static_cast<uint32_t>(png.size()));
    archive.WriteBytes(png);
    return true;
}
