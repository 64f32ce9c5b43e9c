#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileBlit.h"
#include "platform/metafile/MetafileDib.h"
#include "platform/metafile/MetafileParseHelpers.h"

#include <QTransform>
#include <cmath>

namespace platform {
namespace {

using namespace metafile_parse;
using Alpha = MetafileDib::Alpha;

// The raster operation that leaves the destination as it is.
constexpr uint8_t kKeepDestination = 0xAA;

// The raster operation index of a ternary ROP code (its third byte), and MASKBLT's background one.
uint8_t RopIndex(uint32_t rop) { return uint8_t(rop >> 16); }
uint8_t BackgroundRopIndex(uint32_t rop) { return uint8_t(rop >> 24); }

// The transform from the source device context's logical units to the bitmap's pixels; writers that
// leave it empty mean none.
QTransform SourceTransform(const U_XFORM& xform)
{
    const QTransform t(xform.eM11, xform.eM12, xform.eM21, xform.eM22, xform.eDx, xform.eDy);
    const bool usable = std::isfinite(t.determinant()) && t.determinant() != 0 && std::isfinite(t.dx())
        && std::isfinite(t.dy()) && t.isAffine();
    return usable ? t : QTransform();
}

// A source rectangle given in the source's logical units, in the bitmap's pixels (its extents keep
// their signs: a negative one mirrors).
QRectF SourceRect(const U_POINTL& origin, const U_POINTL& extent, const U_XFORM& xform)
{
    const QTransform t = SourceTransform(xform);
    const QPointF from = t.map(QPointF(origin.x, origin.y));
    const QPointF to = t.map(QPointF(qreal(origin.x) + extent.x, qreal(origin.y) + extent.y));
    return QRectF(from, to);
}

// The record's source bitmap and its mask, where they lie (every picture record names them alike).
template <class Record>
MetafileDibSpan SourceSpan(const char* record, uint32_t size, const Record& r)
{
    return MetafileDibSpan{record, size, r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc};
}

template <class Record>
MetafileDibSpan MaskSpan(const char* record, uint32_t size, const Record& r)
{
    return MetafileDibSpan{record, size, r.offBmiMask, r.cbBmiMask, r.offBitsMask, r.cbBitsMask, r.iUsageMask};
}

// A rectangle-to-rectangle transfer: its destination, its source of sourceExtent and its operation.
template <class Record>
void PlaceTransfer(MetafileBlit& blit, const Record& r, const U_POINTL& sourceExtent, uint8_t rop)
{
    blit.destination = ToPoint(r.Dest);
    blit.destinationExtent = ToPoint(r.cDest);
    blit.source = SourceRect(r.Src, sourceExtent, r.xformSrc);
    blit.rop = rop;
}

size_t FixedSize(uint32_t type)
{
    switch (type) {
    case U_EMR_BITBLT: return sizeof(U_EMRBITBLT);
    case U_EMR_STRETCHBLT: return sizeof(U_EMRSTRETCHBLT);
    case U_EMR_MASKBLT: return sizeof(U_EMRMASKBLT);
    case U_EMR_PLGBLT: return sizeof(U_EMRPLGBLT);
    case U_EMR_SETDIBITSTODEVICE: return sizeof(U_EMRSETDIBITSTODEVICE);
    case U_EMR_STRETCHDIBITS: return sizeof(U_EMRSTRETCHDIBITS);
    case U_EMR_ALPHABLEND: return sizeof(U_EMRALPHABLEND);
    case U_EMR_TRANSPARENTBLT: return sizeof(U_EMRTRANSPARENTBLT);
    default: return 0;
    }
}

std::shared_ptr<const QImage> Shared(QImage image)
{
    return image.isNull() ? nullptr : std::make_shared<const QImage>(std::move(image));
}

MetafileRecord BlitRecord(std::shared_ptr<MetafileBlit> blit)
{
    MetafileRecord out;
    out.kind = MetafileRecordKind::Blit;
    out.blit = std::move(blit);
    return out;
}

// A mask of more runs of equal pixels than this is not drawn: each run is a rectangle of the clip.
constexpr size_t kMostMaskRuns = size_t(1) << 18;

// The mask's 1 and 0 pixels as regions of one-pixel-high runs, placed at offset on the bitmap; false
// for a mask that is missing or too fragmented to draw.
bool SetMask(MetafileBlit& blit, const QImage& mask, QPoint offset)
{
    if (mask.isNull())
        return false;
    std::vector<QRect> runs[2];
    size_t total = 0;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* line = mask.constScanLine(y);
        int start = 0;
        for (int x = 1; x <= mask.width(); ++x) {
            const bool bit = line[(x - 1) / 8] & (0x80 >> ((x - 1) % 8));
            if (x < mask.width() && bool(line[x / 8] & (0x80 >> (x % 8))) == bit)
                continue;
            if (++total > kMostMaskRuns)
                return false;
            runs[bit].emplace_back(offset.x() + start, offset.y() + y, x - start, 1);
            start = x;
        }
    }
    blit.masked = true;
    blit.maskSet.setRects(runs[1].data(), int(runs[1].size()));
    blit.maskClear.setRects(runs[0].data(), int(runs[0].size()));
    return true;
}

// TRANSPARENTBLT: the pixels of the transparent colour are left out.
void LeaveOut(QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == (colour | 0xFF000000))
                line[x] = 0;
        }
    }
}

} // namespace

// Decodes a record's bitmap once, within the file's allowance of decoded pixels; a null image when
// it does not fit its record, does not decode, or the allowance is spent.
QImage MetafileParser::DecodeDib(const MetafileDibSpan& span, DibDecoding decoding, int rows)
{
    const MetafileDib dib(span);
    if (!dib.Valid() || dib.Pixels() > kMaxDecodedPixels - m_decodedPixels)
        return QImage();
    QImage image = decoding == DibDecoding::Bits ? dib.DecodeBits()
        : dib.Decode(decoding == DibDecoding::Premultiplied ? Alpha::Premultiplied : Alpha::Opaque, rows);
    m_decodedPixels += uint64_t(image.width()) * uint64_t(image.height());
    return image;
}

bool MetafileParser::DecodeBitmap(uint32_t type, const char* record, uint32_t size)
{
    if (type == U_EMR_SETSTRETCHBLTMODE || type == U_EMR_SETBRUSHORGEX) {
        MetafileRecord out;
        if (type == U_EMR_SETSTRETCHBLTMODE) {
            out.kind = MetafileRecordKind::SetStretchBltMode;
            out.value = Fixed<U_EMRSETSTRETCHBLTMODE>(record, size).iMode;
        } else {
            out.kind = MetafileRecordKind::SetBrushOrg;
            out.point = ToPoint(Fixed<U_EMRSETBRUSHORGEX>(record, size).ptlOrigin);
        }
        Add(std::move(out));
        return true;
    }

    // A record too short for its fixed part is left out.
    const size_t fixedSize = FixedSize(type);
    if (fixedSize == 0 || size < fixedSize)
        return true;
    auto blit = std::make_shared<MetafileBlit>();
    const uint64_t before = m_decodedPixels;
    // A record whose bitmap is given but cannot be decoded is left out.
    auto withBitmap = [&](uint32_t cbBmi, const MetafileDibSpan& span, DibDecoding decoding, int rows = -1) {
        if (cbBmi == 0)
            return true;
        blit->image = Shared(DecodeDib(span, decoding, rows));
        return blit->image != nullptr;
    };
    bool drawn = true;
    switch (type) {
    case U_EMR_BITBLT: {
        const auto r = Fixed<U_EMRBITBLT>(record, size);
        PlaceTransfer(*blit, r, r.cDest, RopIndex(r.dwRop));
        drawn = withBitmap(r.cbBmiSrc, SourceSpan(record, size, r),
                           DibDecoding::Opaque);
        break;
    }
    case U_EMR_STRETCHBLT: {
        const auto r = Fixed<U_EMRSTRETCHBLT>(record, size);
        PlaceTransfer(*blit, r, r.cSrc, RopIndex(r.dwRop));
        drawn = withBitmap(r.cbBmiSrc, SourceSpan(record, size, r),
                           DibDecoding::Opaque);
        break;
    }
    case U_EMR_STRETCHDIBITS: {
        const auto r = Fixed<U_EMRSTRETCHDIBITS>(record, size);
        blit->destination = ToPoint(r.Dest);
        blit->destinationExtent = ToPoint(r.cDest);
        blit->rop = RopIndex(r.dwRop);
        const MetafileDibSpan span = SourceSpan(record, size, r);
        drawn = withBitmap(r.cbBmiSrc, span, DibDecoding::Opaque);
        // The source of a bottom-up bitmap is measured from its lower-left corner.
        const MetafileDib dib(span);
        const qreal top = dib.Valid() && dib.BottomUp() ? qreal(dib.Height()) - r.Src.y - r.cSrc.y : r.Src.y;
        blit->source = QRectF(r.Src.x, top, r.cSrc.x, r.cSrc.y);
        break;
    }
    case U_EMR_SETDIBITSTODEVICE: {
        // The bits hold cScans scan lines from iStartScan; the picture is drawn unscaled, one bitmap pixel
        // on one device pixel.
        const auto r = Fixed<U_EMRSETDIBITSTODEVICE>(record, size);
        const MetafileDibSpan span = SourceSpan(record, size, r);
        const MetafileDib dib(span);
        if (!dib.Valid() || r.cScans == 0 || r.iStartScan >= uint32_t(dib.Height()))
            return true;
        const int rows = int(std::min<uint64_t>(r.cScans, uint64_t(dib.Height()) - r.iStartScan));
        blit->shape = MetafileBlit::Shape::Unscaled;
        blit->destination = ToPoint(r.Dest);
        blit->destinationExtent = ToPoint(r.cSrc);
        blit->rop = RopIndex(U_SRCCOPY);
        drawn = withBitmap(r.cbBmiSrc, span, DibDecoding::Opaque, rows);
        const qreal bandTop = dib.BottomUp() ? qreal(dib.Height()) - r.iStartScan - rows : r.iStartScan;
        const qreal top = dib.BottomUp() ? qreal(dib.Height()) - r.Src.y - r.cSrc.y : r.Src.y;
        blit->source = QRectF(r.Src.x, top - bandTop, r.cSrc.x, r.cSrc.y);
        break;
    }
    case U_EMR_ALPHABLEND: {
        const auto r = Fixed<U_EMRALPHABLEND>(record, size);
        PlaceTransfer(*blit, r, r.cSrc, RopIndex(U_SRCCOPY));
        blit->constantAlpha = r.Blend.Global;
        const DibDecoding alpha = r.Blend.Op == U_AC_SRC_ALPHA ? DibDecoding::Premultiplied : DibDecoding::Opaque;
        drawn = r.cbBmiSrc != 0
            && withBitmap(r.cbBmiSrc, SourceSpan(record, size, r), alpha);
        break;
    }
    case U_EMR_TRANSPARENTBLT: {
        const auto r = Fixed<U_EMRTRANSPARENTBLT>(record, size);
        PlaceTransfer(*blit, r, r.cSrc, RopIndex(U_SRCCOPY));
        QImage image = DecodeDib(SourceSpan(record, size, r),
                                 DibDecoding::Opaque);
        drawn = !image.isNull();
        if (drawn) {
            LeaveOut(image, qRgb(int(r.TColor & 0xFF), int(r.TColor >> 8 & 0xFF), int(r.TColor >> 16 & 0xFF)));
            blit->image = std::make_shared<const QImage>(std::move(image));
        }
        break;
    }
    case U_EMR_MASKBLT: {
        const auto r = Fixed<U_EMRMASKBLT>(record, size);
        PlaceTransfer(*blit, r, r.cDest, RopIndex(r.dwRop));
        blit->backgroundRop = BackgroundRopIndex(r.dwRop);
        drawn = withBitmap(r.cbBmiSrc, SourceSpan(record, size, r),
                           DibDecoding::Opaque);
        if (drawn && r.cbBmiMask != 0) {
            const QImage mask = DecodeDib(MaskSpan(record, size, r), DibDecoding::Bits);
            drawn = SetMask(*blit, mask, QPoint(r.Src.x - r.Mask.x, r.Src.y - r.Mask.y));
        } else {
            blit->backgroundRop = blit->rop; // no mask: the foreground operation everywhere
        }
        break;
    }
    case U_EMR_PLGBLT: {
        const auto r = Fixed<U_EMRPLGBLT>(record, size);
        blit->shape = MetafileBlit::Shape::Parallelogram;
        blit->corners = {ToPoint(r.aptlDst[0]), ToPoint(r.aptlDst[1]), ToPoint(r.aptlDst[2])};
        blit->source = SourceRect(r.Src, r.cSrc, r.xformSrc);
        blit->rop = RopIndex(U_SRCCOPY);
        drawn = r.cbBmiSrc != 0
            && withBitmap(r.cbBmiSrc, SourceSpan(record, size, r),
                          DibDecoding::Opaque);
        if (drawn && r.cbBmiMask != 0) {
            const QImage mask = DecodeDib(MaskSpan(record, size, r), DibDecoding::Bits);
            blit->backgroundRop = kKeepDestination;
            drawn = SetMask(*blit, mask, QPoint(r.Src.x - r.Mask.x, r.Src.y - r.Mask.y));
        } else {
            blit->backgroundRop = blit->rop;
        }
        break;
    }
    default:
        return true;
    }
    if (!drawn)
        return true;
    blit->pixels = m_decodedPixels - before;
    Add(BlitRecord(std::move(blit)));
    return true;
}

// Selecting a pattern brush replaces the current brush, even one that cannot be drawn: its pattern
// stays null and it fills nothing. A monochrome brush keeps its bits (0 and 1) and takes its colours
// from the device context when it fills.
void MetafileParser::DecodePatternBrush(uint32_t type, const char* record, uint32_t size, MetafileRecord& out)
{
    out.kind = MetafileRecordKind::CreateBrush;
    out.object.kind = MetafileObject::Kind::Brush;
    const bool mono = type == U_EMR_CREATEMONOBRUSH;
    out.object.style = mono ? U_BS_PATTERN : U_BS_DIBPATTERNPT;
    if (size < sizeof(U_EMRCREATEDIBPATTERNBRUSHPT))
        return;
    const auto r = Fixed<U_EMRCREATEDIBPATTERNBRUSHPT>(record, size);
    out.object.pattern = Shared(DecodeDib(MetafileDibSpan{record, size, r.offBmi, r.cbBmi, r.offBits, r.cbBits, r.iUsage},
                                          mono ? DibDecoding::Bits : DibDecoding::Opaque));
}

} // namespace platform
