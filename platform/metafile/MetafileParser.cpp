#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileParseHelpers.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace platform {
namespace {

using namespace metafile_parse;

constexpr uint32_t kRecordAlignment = 4;
constexpr uint32_t kStockObjectFlag = U_STOCK_OBJECT;
// The file is copied into 4-byte aligned memory followed by zeroed bytes: libUEMF reads records
// through struct pointers, and a few of its checks read one fixed field before comparing it with
// the record size.
constexpr size_t kSlackBytes = 64;

// The points of the 32- and 16-bit poly records start at the same place.
static_assert(offsetof(U_EMRPOLYLINE, cptl) == offsetof(U_EMRPOLYLINE16, cpts));
static_assert(offsetof(U_EMRPOLYLINE, aptl) == offsetof(U_EMRPOLYLINE16, apts));
static_assert(offsetof(U_EMRPOLYPOLYLINE, aPolyCounts) == offsetof(U_EMRPOLYPOLYLINE16, aPolyCounts));
static_assert(offsetof(U_EMRPOLYDRAW, aptl) == offsetof(U_EMRPOLYDRAW16, apts));

// The record types libUEMF has no check for (its check only prints a warning for them); none of
// them is read here, so our frame checks are all they need. And those checked here instead.
bool LibraryChecks(uint32_t type)
{
    switch (type) {
    case U_EMR_UNDEF69: case U_EMR_POLYTEXTOUTA: case U_EMR_POLYTEXTOUTW: case U_EMR_GLSRECORD:
    case U_EMR_GLSBOUNDEDRECORD: case U_EMR_DRAWESCAPE: case U_EMR_EXTESCAPE: case U_EMR_UNDEF107:
    case U_EMR_FORCEUFIMAPPING: case U_EMR_NAMEDESCAPE: case U_EMR_COLORCORRECTPALETTE:
    case U_EMR_SETICMPROFILEA: case U_EMR_SETICMPROFILEW: case U_EMR_UNDEF117:
    case U_EMR_SETLINKEDUFIS: case U_EMR_SETTEXTJUSTIFICATION: case U_EMR_COLORMATCHTOTARGETW:
        return false;
    // Pictures and pattern brushes: libUEMF's check refuses the run-length bitmaps it cannot read
    // itself. Their fixed parts are read only from records long enough to hold them, and every
    // offset and size of their bitmaps is checked by MetafileDib.
    case U_EMR_BITBLT: case U_EMR_STRETCHBLT: case U_EMR_MASKBLT: case U_EMR_PLGBLT: case U_EMR_SETDIBITSTODEVICE:
    case U_EMR_STRETCHDIBITS: case U_EMR_ALPHABLEND: case U_EMR_TRANSPARENTBLT: case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    // Text: the library's check of SMALLTEXTOUT counts a rectangle that ETO_NO_RECT leaves out, and
    // refuses sound records; its decoder checks every field against the record.
    case U_EMR_SMALLTEXTOUT:
        return false;
    default:
        return type >= U_EMR_MIN && type <= U_EMR_MAX;
    }
}

// count points of PointType at offset, all inside the record.
template <class PointType>
bool ReadPoints(const char* record, uint32_t size, uint64_t offset, uint64_t count, std::vector<QPoint>& points)
{
    if (offset > size || count > (size - offset) / sizeof(PointType))
        return false;
    points.resize(count);
    for (uint64_t i = 0; i < count; ++i) {
        PointType point;
        std::memcpy(&point, record + offset + i * sizeof(PointType), sizeof(point));
        points[i] = ToPoint(point);
    }
    return true;
}

template <class PointType>
bool DecodePoly(const char* record, uint32_t size, MetafileRecord& out)
{
    constexpr size_t countOffset = offsetof(U_EMRPOLYLINE, cptl);
    constexpr size_t pointsOffset = offsetof(U_EMRPOLYLINE, aptl);
    return size >= pointsOffset
        && ReadPoints<PointType>(record, size, pointsOffset, Word(record, countOffset), out.points);
}

// The figures' point counts must add up to the record's total.
template <class PointType>
bool DecodePolyPoly(const char* record, uint32_t size, MetafileRecord& out)
{
    constexpr size_t figuresOffset = offsetof(U_EMRPOLYPOLYLINE, nPolys);
    constexpr size_t totalOffset = offsetof(U_EMRPOLYPOLYLINE, cptl);
    constexpr size_t countsOffset = offsetof(U_EMRPOLYPOLYLINE, aPolyCounts);
    if (size < countsOffset)
        return false;
    const uint64_t figures = Word(record, figuresOffset);
    const uint64_t total = Word(record, totalOffset);
    if (figures > (size - countsOffset) / sizeof(uint32_t))
        return false;
    out.counts.resize(figures);
    uint64_t sum = 0;
    for (uint64_t i = 0; i < figures; ++i) {
        out.counts[i] = Word(record, countsOffset + i * sizeof(uint32_t));
        sum += out.counts[i];
    }
    return sum == total
        && ReadPoints<PointType>(record, size, countsOffset + figures * sizeof(uint32_t), total, out.points);
}

// Points followed by one type byte a point.
template <class PointType>
bool DecodePolyDraw(const char* record, uint32_t size, MetafileRecord& out)
{
    constexpr size_t countOffset = offsetof(U_EMRPOLYDRAW, cptl);
    constexpr size_t pointsOffset = offsetof(U_EMRPOLYDRAW, aptl);
    if (size < pointsOffset)
        return false;
    const uint64_t count = Word(record, countOffset);
    if (!ReadPoints<PointType>(record, size, pointsOffset, count, out.points))
        return false;
    const uint64_t typesOffset = pointsOffset + count * sizeof(PointType);
    if (count > size - typesOffset)
        return false;
    const auto* types = reinterpret_cast<const uint8_t*>(record + typesOffset);
    out.counts.assign(types, types + count);
    return true;
}

// Records that only draw and change nothing later records rely on for their layout: one that cannot
// be read is left out and the rest of the file still plays.
bool IsDrawnOnly(uint32_t type)
{
    switch (type) {
    case U_EMR_EXTTEXTOUTA: case U_EMR_EXTTEXTOUTW: case U_EMR_POLYTEXTOUTA: case U_EMR_POLYTEXTOUTW:
    case U_EMR_SMALLTEXTOUT: case U_EMR_BITBLT: case U_EMR_STRETCHBLT: case U_EMR_MASKBLT: case U_EMR_PLGBLT:
    case U_EMR_SETDIBITSTODEVICE: case U_EMR_STRETCHDIBITS: case U_EMR_ALPHABLEND: case U_EMR_TRANSPARENTBLT:
    case U_EMR_FILLRGN: case U_EMR_FRAMERGN: case U_EMR_INVERTRGN: case U_EMR_PAINTRGN: case U_EMR_GRADIENTFILL:
    case U_EMR_SETPIXELV:
        return true;
    // A clip region that cannot be read changes only what is hidden; Windows plays on past it.
    case U_EMR_EXTSELECTCLIPRGN:
        return true;
    default:
        return false;
    }
}

MetafileRecord Kind(MetafileRecordKind kind)
{
    MetafileRecord record;
    record.kind = kind;
    return record;
}

MetafileRecord WithValue(MetafileRecordKind kind, uint32_t value)
{
    MetafileRecord record = Kind(kind);
    record.value = value;
    return record;
}

template <class T>
MetafileRecord WithPoint(MetafileRecordKind kind, const T& point)
{
    MetafileRecord record = Kind(kind);
    record.point = QPoint(point.x, point.y);
    return record;
}

MetafileRecord WithExtent(MetafileRecordKind kind, const U_SIZEL& extent)
{
    MetafileRecord record = Kind(kind);
    record.point = QPoint(extent.cx, extent.cy);
    return record;
}

MetafileRecord WithTransform(MetafileRecordKind kind, const U_XFORM& xform, uint32_t mode)
{
    MetafileRecord record = WithValue(kind, mode);
    record.transform = {xform.eM11, xform.eM12, xform.eM21, xform.eM22, xform.eDx, xform.eDy};
    return record;
}

MetafileRecord WithArc(MetafileRecordKind kind, const U_EMRARC& arc)
{
    MetafileRecord record = Kind(kind);
    record.box = ToRect(arc.rclBox);
    record.point = ToPoint(arc.ptlStart);
    record.endPoint = ToPoint(arc.ptlEnd);
    return record;
}

MetafileRecord WithScale(MetafileRecordKind kind, const U_EMRSCALEWINDOWEXTEX& scale)
{
    MetafileRecord record = Kind(kind);
    record.point = QPoint(scale.xNum, scale.yNum);
    record.endPoint = QPoint(scale.xDenom, scale.yDenom);
    return record;
}

} // namespace

bool MetafileParser::Parse(const QByteArray& bytes)
{
    m_header = MetafileHeader();
    m_records.clear();
    m_decodedPixels = 0;
    if (bytes.size() < qsizetype(U_SIZE_EMRHEADER_MIN) || bytes.size() > qsizetype(UINT32_MAX))
        return false;
    const auto fileSize = uint32_t(bytes.size());

    std::vector<uint32_t> words((fileSize + kSlackBytes) / sizeof(uint32_t) + 1, 0);
    std::memcpy(words.data(), bytes.constData(), fileSize);
    const char* base = reinterpret_cast<const char*>(words.data());

    const uint32_t headerSize = Word(base, offsetof(U_EMR, nSize));
    if (!ParseHeader(base, headerSize, fileSize))
        return false;

    // Records run to the header's byte count; bytes after it are not part of the metafile.
    const uint32_t end = Word(base, offsetof(U_EMRHEADER, nBytes));
    uint32_t offset = headerSize;
    while (offset < end) {
        if (end - offset < sizeof(U_EMR))
            return false;
        const char* record = base + offset;
        const uint32_t type = Word(record, offsetof(U_EMR, iType));
        const uint32_t size = Word(record, offsetof(U_EMR, nSize));
        if (size < sizeof(U_EMR) || size % kRecordAlignment != 0 || size > end - offset)
            return false;
        if (LibraryChecks(type) && !U_emf_record_safe(record)) {
            // A text, picture or region record that fails its check is left out: it only draws.
            if (!IsDrawnOnly(type))
                return false;
            offset += size;
            continue;
        }
        if (!Decode(type, record, size))
            return false;
        if (type == U_EMR_EOF)
            return true;
        offset += size;
    }
    return false; // no end-of-file record: truncated
}

bool MetafileParser::ParseHeader(const char* record, uint32_t size, uint32_t fileSize)
{
    if (Word(record, offsetof(U_EMR, iType)) != U_EMR_HEADER || size < U_SIZE_EMRHEADER_MIN
        || size % kRecordAlignment != 0 || size > fileSize || !U_emf_record_safe(record))
        return false;
    const auto header = Fixed<U_EMRHEADER>(record, size);
    if (header.dSignature != U_ENHMETA_SIGNATURE || header.nBytes < size || header.nBytes > fileSize
        || header.nBytes % kRecordAlignment != 0)
        return false;
    // The frame maps onto the target through the reference device's pixels per millimetre.
    if (header.szlDevice.cx <= 0 || header.szlDevice.cy <= 0 || header.szlMillimeters.cx <= 0
        || header.szlMillimeters.cy <= 0)
        return false;
    // Users take width and height as right - left and bottom - top.
    if (!ExtentsFit(header.rclBounds) || !ExtentsFit(header.rclFrame))
        return false;
    m_header.bounds = ToRect(header.rclBounds);
    m_header.frame = ToRect(header.rclFrame);
    m_header.devicePixelsX = header.szlDevice.cx;
    m_header.devicePixelsY = header.szlDevice.cy;
    m_header.deviceMillimetresX = header.szlMillimeters.cx;
    m_header.deviceMillimetresY = header.szlMillimeters.cy;
    m_header.handleCount = header.nHandles;
    return true;
}

bool MetafileParser::IsCreatableIndex(uint32_t index) const
{
    return index >= 1 && index < m_header.handleCount;
}

bool MetafileParser::IsSelectableIndex(uint32_t index) const
{
    return (index & kStockObjectFlag) != 0 || IsCreatableIndex(index);
}

bool MetafileParser::Decode(uint32_t type, const char* record, uint32_t size)
{
    using K = MetafileRecordKind;
    MetafileRecord out;
    switch (type) {
    case U_EMR_POLYBEZIER: return AddDecoded(K::PolyBezier, DecodePoly<U_POINTL>, record, size);
    case U_EMR_POLYGON: return AddDecoded(K::Polygon, DecodePoly<U_POINTL>, record, size);
    case U_EMR_POLYLINE: return AddDecoded(K::Polyline, DecodePoly<U_POINTL>, record, size);
    case U_EMR_POLYBEZIERTO: return AddDecoded(K::PolyBezierTo, DecodePoly<U_POINTL>, record, size);
    case U_EMR_POLYLINETO: return AddDecoded(K::PolylineTo, DecodePoly<U_POINTL>, record, size);
    case U_EMR_POLYBEZIER16: return AddDecoded(K::PolyBezier, DecodePoly<U_POINT16>, record, size);
    case U_EMR_POLYGON16: return AddDecoded(K::Polygon, DecodePoly<U_POINT16>, record, size);
    case U_EMR_POLYLINE16: return AddDecoded(K::Polyline, DecodePoly<U_POINT16>, record, size);
    case U_EMR_POLYBEZIERTO16: return AddDecoded(K::PolyBezierTo, DecodePoly<U_POINT16>, record, size);
    case U_EMR_POLYLINETO16: return AddDecoded(K::PolylineTo, DecodePoly<U_POINT16>, record, size);
    case U_EMR_POLYPOLYLINE: return AddDecoded(K::PolyPolyline, DecodePolyPoly<U_POINTL>, record, size);
    case U_EMR_POLYPOLYGON: return AddDecoded(K::PolyPolygon, DecodePolyPoly<U_POINTL>, record, size);
    case U_EMR_POLYPOLYLINE16: return AddDecoded(K::PolyPolyline, DecodePolyPoly<U_POINT16>, record, size);
    case U_EMR_POLYPOLYGON16: return AddDecoded(K::PolyPolygon, DecodePolyPoly<U_POINT16>, record, size);
    case U_EMR_POLYDRAW: return AddDecoded(K::PolyDraw, DecodePolyDraw<U_POINTL>, record, size);
    case U_EMR_POLYDRAW16: return AddDecoded(K::PolyDraw, DecodePolyDraw<U_POINT16>, record, size);

    case U_EMR_SETWINDOWEXTEX: out = WithExtent(K::SetWindowExt, Fixed<U_EMRSETWINDOWEXTEX>(record, size).szlExtent); break;
    case U_EMR_SETVIEWPORTEXTEX: out = WithExtent(K::SetViewportExt, Fixed<U_EMRSETVIEWPORTEXTEX>(record, size).szlExtent); break;
    case U_EMR_SETWINDOWORGEX: out = WithPoint(K::SetWindowOrg, Fixed<U_EMRSETWINDOWORGEX>(record, size).ptlOrigin); break;
    case U_EMR_SETVIEWPORTORGEX: out = WithPoint(K::SetViewportOrg, Fixed<U_EMRSETVIEWPORTORGEX>(record, size).ptlOrigin); break;
    case U_EMR_SCALEWINDOWEXTEX: out = WithScale(K::ScaleWindowExt, Fixed<U_EMRSCALEWINDOWEXTEX>(record, size)); break;
    case U_EMR_SCALEVIEWPORTEXTEX: out = WithScale(K::ScaleViewportExt, Fixed<U_EMRSCALEVIEWPORTEXTEX>(record, size)); break;
    case U_EMR_SETMAPMODE: out = WithValue(K::SetMapMode, Fixed<U_EMRSETMAPMODE>(record, size).iMode); break;
    case U_EMR_SETBKMODE: out = WithValue(K::SetBkMode, Fixed<U_EMRSETBKMODE>(record, size).iMode); break;
    case U_EMR_SETPOLYFILLMODE: out = WithValue(K::SetPolyFillMode, Fixed<U_EMRSETPOLYFILLMODE>(record, size).iMode); break;
    case U_EMR_SETROP2: out = WithValue(K::SetRop2, Fixed<U_EMRSETROP2>(record, size).iMode); break;
    case U_EMR_SETBKCOLOR: out = WithValue(K::SetBkColor, ToColourRef(Fixed<U_EMRSETBKCOLOR>(record, size).crColor)); break;
    case U_EMR_SETARCDIRECTION: out = WithValue(K::SetArcDirection, Fixed<U_EMRSETARCDIRECTION>(record, size).iArcDirection); break;
    case U_EMR_SETMITERLIMIT: out = WithValue(K::SetMiterLimit, Fixed<U_EMRSETMITERLIMIT>(record, size).eMiterLimit); break;
    case U_EMR_MOVETOEX: out = WithPoint(K::MoveTo, Fixed<U_EMRMOVETOEX>(record, size).ptl); break;
    case U_EMR_LINETO: out = WithPoint(K::LineTo, Fixed<U_EMRLINETO>(record, size).ptl); break;
    case U_EMR_SAVEDC: out = Kind(K::SaveDc); break;
    case U_EMR_RESTOREDC: out = WithValue(K::RestoreDc, uint32_t(Fixed<U_EMRRESTOREDC>(record, size).iRelative)); break;
    case U_EMR_SETWORLDTRANSFORM:
        out = WithTransform(K::SetWorldTransform, Fixed<U_EMRSETWORLDTRANSFORM>(record, size).xform, 0);
        break;
    case U_EMR_MODIFYWORLDTRANSFORM: {
        const auto modify = Fixed<U_EMRMODIFYWORLDTRANSFORM>(record, size);
        out = WithTransform(K::ModifyWorldTransform, modify.xform, modify.iMode);
        break;
    }
    case U_EMR_SELECTOBJECT:
    case U_EMR_DELETEOBJECT: {
        const uint32_t index = Fixed<U_EMRSELECTOBJECT>(record, size).ihObject;
        if (!IsSelectableIndex(index))
            return false;
        out = WithValue(type == U_EMR_SELECTOBJECT ? K::SelectObject : K::DeleteObject, index);
        break;
    }
    case U_EMR_ANGLEARC: {
        const auto arc = Fixed<U_EMRANGLEARC>(record, size);
        out = WithPoint(K::AngleArc, arc.ptlCenter);
        out.value = arc.nRadius;
        out.angles = {arc.eStartAngle, arc.eSweepAngle};
        break;
    }
    case U_EMR_ELLIPSE: out = Kind(K::Ellipse); out.box = ToRect(Fixed<U_EMRELLIPSE>(record, size).rclBox); break;
    case U_EMR_RECTANGLE: out = Kind(K::Rectangle); out.box = ToRect(Fixed<U_EMRRECTANGLE>(record, size).rclBox); break;
    case U_EMR_ROUNDRECT: {
        const auto round = Fixed<U_EMRROUNDRECT>(record, size);
        out = WithExtent(K::RoundRect, round.szlCorner);
        out.box = ToRect(round.rclBox);
        break;
    }
    case U_EMR_ARC: out = WithArc(K::Arc, Fixed<U_EMRARC>(record, size)); break;
    case U_EMR_CHORD: out = WithArc(K::Chord, Fixed<U_EMRCHORD>(record, size)); break;
    case U_EMR_PIE: out = WithArc(K::Pie, Fixed<U_EMRPIE>(record, size)); break;
    case U_EMR_ARCTO: out = WithArc(K::ArcTo, Fixed<U_EMRARCTO>(record, size)); break;
    case U_EMR_BEGINPATH: out = Kind(K::BeginPath); break;
    case U_EMR_ENDPATH: out = Kind(K::EndPath); break;
    case U_EMR_CLOSEFIGURE: out = Kind(K::CloseFigure); break;
    case U_EMR_FILLPATH: out = Kind(K::FillPath); break;
    case U_EMR_STROKEANDFILLPATH: out = Kind(K::StrokeAndFillPath); break;
    case U_EMR_STROKEPATH: out = Kind(K::StrokePath); break;
    case U_EMR_ABORTPATH: out = Kind(K::AbortPath); break;
    case U_EMR_EXTTEXTOUTA: case U_EMR_EXTTEXTOUTW: case U_EMR_POLYTEXTOUTA: case U_EMR_POLYTEXTOUTW:
    case U_EMR_SMALLTEXTOUT: case U_EMR_SETTEXTALIGN: case U_EMR_SETTEXTCOLOR:
        return DecodeText(type, record, size);
    case U_EMR_BITBLT: case U_EMR_STRETCHBLT: case U_EMR_MASKBLT: case U_EMR_PLGBLT: case U_EMR_SETDIBITSTODEVICE:
    case U_EMR_STRETCHDIBITS: case U_EMR_ALPHABLEND: case U_EMR_TRANSPARENTBLT: case U_EMR_SETSTRETCHBLTMODE:
    case U_EMR_SETBRUSHORGEX:
        return DecodeBitmap(type, record, size);
    case U_EMR_INTERSECTCLIPRECT: case U_EMR_EXCLUDECLIPRECT: case U_EMR_EXTSELECTCLIPRGN: case U_EMR_SELECTCLIPPATH:
    case U_EMR_OFFSETCLIPRGN: case U_EMR_SETMETARGN: case U_EMR_FILLRGN: case U_EMR_FRAMERGN: case U_EMR_INVERTRGN:
    case U_EMR_PAINTRGN: case U_EMR_WIDENPATH: case U_EMR_FLATTENPATH: case U_EMR_GRADIENTFILL: case U_EMR_SETPIXELV:
        return DecodeRegion(type, record, size);
    case U_EMR_CREATEPEN: case U_EMR_EXTCREATEPEN: case U_EMR_CREATEBRUSHINDIRECT:
    case U_EMR_CREATEMONOBRUSH: case U_EMR_CREATEDIBPATTERNBRUSHPT: case U_EMR_EXTCREATEFONTINDIRECTW:
    case U_EMR_CREATEPALETTE: case U_EMR_CREATECOLORSPACE: case U_EMR_CREATECOLORSPACEW:
        return DecodeCreate(type, record, size);
    default:
        return true; // header, end of file, comments and everything the player does not draw
    }
    Add(std::move(out));
    return true;
}

// Every object-creating record names its table slot in the word after the type and size.
bool MetafileParser::AddDecoded(MetafileRecordKind kind, Decoder decode, const char* record, uint32_t size)
{
    MetafileRecord out = Kind(kind);
    if (!decode(record, size, out))
        return false;
    Add(std::move(out));
    return true;
}

bool MetafileParser::DecodeCreate(uint32_t type, const char* record, uint32_t size)
{
    const uint32_t index = Word(record, sizeof(U_EMR));
    if (size < sizeof(U_EMR) + sizeof(uint32_t) || !IsCreatableIndex(index))
        return false;
    MetafileRecord out = WithValue(MetafileRecordKind::CreateOther, index);
    MetafileObject& object = out.object;
    switch (type) {
    case U_EMR_CREATEPEN: {
        const U_LOGPEN pen = Fixed<U_EMRCREATEPEN>(record, size).lopn;
        out.kind = MetafileRecordKind::CreatePen;
        object.kind = MetafileObject::Kind::Pen;
        object.style = pen.lopnStyle;
        object.width = uint32_t(std::max(pen.lopnWidth.x, 0));
        object.colour = ToRgb(pen.lopnColor);
        break;
    }
    case U_EMR_EXTCREATEPEN: {
        constexpr size_t penOffset = offsetof(U_EMREXTCREATEPEN, elp);
        constexpr size_t entriesOffset = penOffset + offsetof(U_EXTLOGPEN, elpStyleEntry);
        if (size < entriesOffset)
            return false;
        const U_EXTLOGPEN pen = Fixed<U_EMREXTCREATEPEN>(record, size).elp;
        const uint64_t entries = pen.elpNumEntries;
        if (entries > (size - entriesOffset) / sizeof(uint32_t))
            return false;
        out.kind = MetafileRecordKind::CreatePen;
        object.kind = MetafileObject::Kind::Pen;
        object.extended = true;
        object.style = pen.elpPenStyle;
        object.width = pen.elpWidth;
        object.colour = ToRgb(pen.elpColor);
        object.penBrushStyle = pen.elpBrushStyle;
        object.hatch = pen.elpHatch;
        object.dashes.resize(entries);
        for (uint64_t i = 0; i < entries; ++i)
            object.dashes[i] = Word(record, entriesOffset + i * sizeof(uint32_t));
        break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        const U_LOGBRUSH brush = Fixed<U_EMRCREATEBRUSHINDIRECT>(record, size).lb;
        out.kind = MetafileRecordKind::CreateBrush;
        object.kind = MetafileObject::Kind::Brush;
        object.style = brush.lbStyle;
        object.colour = ToRgb(brush.lbColor);
        object.hatch = brush.lbHatch;
        break;
    }
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
        DecodePatternBrush(type, record, size, out);
        break;
    case U_EMR_EXTCREATEFONTINDIRECTW:
        DecodeFont(record, size, out);
        break;
    default:
        break; // a font, palette or colour space: a slot the player only keeps
    }
    Add(std::move(out));
    return true;
}

} // namespace platform
