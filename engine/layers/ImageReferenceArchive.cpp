#include "engine/layers/ImageReference.h"

#include "engine/layers/ImageHelpers.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/PngEncoder.h"

#include <QBuffer>

namespace {

constexpr auto BlockTag = QLatin1StringView("IMG");
constexpr int32_t AlphaBits = 32;
// A block that claims more bytes than the archive holds is passed over in pieces of this size, so that
// its length never decides an allocation.
constexpr int64_t SkipChunk = 64 * 1024;

void SkipToEnd(platform::ArchiveReader& archive)
{
    for (int64_t left = archive.BytesLeft(); left > 0; left = archive.BytesLeft())
        archive.ReadBytes(std::min(left, SkipChunk));
}

} // namespace

bool ImageReference::Read(platform::ArchiveReader& archive, ImageReference& image)
{
    image.Clear();
    if (archive.ReadString().compare(BlockTag, Qt::CaseInsensitive) != 0)
        return false;
    const uint32_t count = archive.ReadU32();
    if (count == 0)
        return false;
    if (count > archive.BytesLeft()) {
        SkipToEnd(archive);
        return false;
    }
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
