#include "engine/layers/ImageReference.h"

#include "engine/layers/ImageHelpers.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/PngEncoder.h"

#include <QBuffer>

namespace {

constexpr auto BlockTag = QLatin1StringView("IMG");
constexpr int32_t AlphaBits = 32;

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
    QByteArray bytes = archive.ReadBytesInPlace(count);
    QBuffer stream(&bytes);
    if (!stream.open(QIODevice::ReadOnly) || !image.Decode(stream)) {
        image.Clear();
        return false;
    }
    return true;
}

// The picture travels as a PNG with 8-bit red, green, blue and alpha: the colour of source (the 24-bit
// colours before any adjustment), not premultiplied, and this image's alpha (the mask). Any PNG reader
// opens it; it is encoded for speed (the save runs on the user's thread), at some cost in bytes.
bool ImageReference::Write(platform::ArchiveWriter& archive, Image& source)
{
    ImageReference merged;
    if (!picture || !merged.Create(width, height, AlphaBits, true) || !MergeColourAndAlpha(*this, source, merged))
        return false;
    const QImage straight(merged.GetBits(), merged.width, merged.height, merged.pitch, QImage::Format_ARGB32);
    const QByteArray png = platform::EncodePng(straight);
    if (png.isEmpty() || png.size() > static_cast<qsizetype>(UINT32_MAX))
        return false;
    archive.WriteString(BlockTag);
    archive.WriteU32(static_cast<uint32_t>(png.size()));
    archive.WriteBytes(png);
    return true;
}
