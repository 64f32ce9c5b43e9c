#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileParseHelpers.h"
#include "platform/metafile/MetafileRegion.h"

#include <QRect>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
namespace {

using namespace metafile_parse;
using K = MetafileRecordKind;

// Region coordinates are kept within this many device units of the origin, farther than any
// reference device reaches, so that offsetting and combining regions never overflows.
constexpr int32_t kRegionLimit = 1 << 27;

// Windows writes region data as bands from top to bottom, each of rectangles from left to right,
// which Qt takes as it stands. Rectangles in any other order are added up one by one, which costs
// by their overlaps: more of them than this and the region is not read.
constexpr size_t kMostLooseRectangles = 512;

constexpr uint32_t kRegionHeaderSize = sizeof(U_RGNDATAHEADER);

// One rectangle of region data, right and bottom exclusive.
struct Box {
    int32_t left, top, right, bottom;
};

int32_t Clamp(int32_t value)
{
    return std::clamp(value, -kRegionLimit, kRegionLimit);
}

// Adds box to the banded list, joining it to a rectangle it continues on the same band; false when
// it breaks the bands' order.
bool AppendBanded(std::vector<QRect>& rects, const Box& box)
{
    if (rects.empty())
        return rects.push_back(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top)), true;
    QRect& last = rects.back();
    const bool sameBand = box.top == last.top() && box.bottom == last.bottom() + 1;
    if (sameBand) {
        if (box.left < last.right() + 1)
            return false;
        if (box.left == last.right() + 1) {
            last.setRight(box.right - 1);
            return true;
        }
    } else if (box.top < last.bottom() + 1) {
        return false;
    }
    rects.push_back(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
    return true;
}

// The union of rectangles in any order, halves first so that each union stays small.
QRegion UnionOf(const Box* boxes, size_t count)
{
    if (count == 1)
        return QRegion(boxes->left, boxes->top, boxes->right - boxes->left, boxes->bottom - boxes->top);
    const size_t half = count / 2;
    return UnionOf(boxes, half).united(UnionOf(boxes + half, count - half));
}

// Region data (a header, then its rectangles) of bytes at offset, all inside the record; nullopt
// when it does not fit, is not made of rectangles, or its rectangles are too many to add up.
std::optional<QRegion> ReadRegion(const char* record, uint32_t size, uint64_t offset, uint64_t bytes)
{
    if (offset > size || bytes > size - offset || bytes < kRegionHeaderSize)
        return std::nullopt;
    U_RGNDATAHEADER header;
    std::memcpy(&header, record + offset, sizeof(header));
    const uint64_t count = header.nCount;
    if (header.iType != U_RDH_RECTANGLES || count > (bytes - kRegionHeaderSize) / sizeof(U_RECTL))
        return std::nullopt;
    std::vector<Box> boxes;
    boxes.reserve(count);
    const char* first = record + offset + kRegionHeaderSize;
    for (uint64_t i = 0; i < count; ++i) {
        U_RECTL rect;
        std::memcpy(&rect, first + i * sizeof(U_RECTL), sizeof(rect));
        const Box box{Clamp(rect.left), Clamp(rect.top), Clamp(rect.right), Clamp(rect.bottom)};
        if (box.left < box.right && box.top < box.bottom)
            boxes.push_back(box);
    }
    if (boxes.empty())
        return QRegion();
    std::vector<QRect> banded;
    banded.reserve(boxes.size());
    bool inBands = true;
    for (const Box& box : boxes)
        if (!(inBands = AppendBanded(banded, box)))
            break;
    if (inBands) {
        QRegion region;
        region.setRects(banded.data(), int(banded.size()));
        return region;
    }
    if (boxes.size() > kMostLooseRectangles)
        return std::nullopt;
    return UnionOf(boxes.data(), boxes.size());
}

// A record whose region data follows its fixed part of type T and is cbRgnData bytes long.
template <class T>
std::shared_ptr<const MetafileRegion> RegionOf(const char* record, uint32_t size)
{
    const auto fixed = Fixed<T>(record, size);
    auto region = ReadRegion(record, size, offsetof(T, RgnData), fixed.cbRgnData);
    if (!region)
        return nullptr;
    return std::make_shared<const MetafileRegion>(MetafileRegion{std::move(*region)});
}

// GRADIENTFILL's vertices, then its meshes of two or three vertex indices each, all inside the record
// and every index naming a vertex.
std::shared_ptr<const MetafileGradient> ReadGradient(const char* record, uint32_t size)
{
    constexpr uint64_t verticesOffset = sizeof(U_EMRGRADIENTFILL);
    const auto fixed = Fixed<U_EMRGRADIENTFILL>(record, size);
    auto gradient = std::make_shared<MetafileGradient>();
    uint64_t indicesPerMesh = 2;
    switch (fixed.ulMode) {
    case U_GRADIENT_FILL_RECT_H: gradient->mode = MetafileGradient::Mode::Horizontal; break;
    case U_GRADIENT_FILL_RECT_V: gradient->mode = MetafileGradient::Mode::Vertical; break;
    case U_GRADIENT_FILL_TRIANGLE:
        gradient->mode = MetafileGradient::Mode::Triangle;
        indicesPerMesh = 3;
        break;
    default: return nullptr;
    }
    const uint64_t vertices = fixed.nTriVert;
    const uint64_t meshes = fixed.nGradObj;
    if (size < verticesOffset || vertices > (size - verticesOffset) / sizeof(U_TRIVERTEX))
        return nullptr;
    const uint64_t meshesOffset = verticesOffset + vertices * sizeof(U_TRIVERTEX);
    if (meshes > (size - meshesOffset) / (indicesPerMesh * sizeof(uint32_t)))
        return nullptr;
    gradient->vertices.resize(vertices);
    for (uint64_t i = 0; i < vertices; ++i) {
        U_TRIVERTEX vertex;
        std::memcpy(&vertex, record + verticesOffset + i * sizeof(U_TRIVERTEX), sizeof(vertex));
        gradient->vertices[i] = {QPoint(vertex.x, vertex.y), {vertex.Red, vertex.Green, vertex.Blue}};
    }
    gradient->meshes.resize(meshes);
    for (uint64_t i = 0; i < meshes; ++i) {
        auto& mesh = gradient->meshes[i];
        for (uint64_t k = 0; k < indicesPerMesh; ++k) {
            mesh[k] = Word(record, meshesOffset + (i * indicesPerMesh + k) * sizeof(uint32_t));
            if (mesh[k] >= vertices)
                return nullptr;
        }
    }
    return gradient;
}

bool IsRegionMode(uint32_t mode)
{
    return mode >= U_RGN_MIN && mode <= U_RGN_MAX;
}

} // namespace

// Records that cannot be read are left out; the file still plays.
bool MetafileParser::DecodeRegion(uint32_t type, const char* record, uint32_t size)
{
    MetafileRecord out;
    switch (type) {
    case U_EMR_INTERSECTCLIPRECT:
    case U_EMR_EXCLUDECLIPRECT:
        out.kind = type == U_EMR_INTERSECTCLIPRECT ? K::IntersectClipRect : K::ExcludeClipRect;
        out.box = ToRect(Fixed<U_EMRINTERSECTCLIPRECT>(record, size).rclClip);
        break;
    case U_EMR_EXTSELECTCLIPRGN: {
        const auto fixed = Fixed<U_EMREXTSELECTCLIPRGN>(record, size);
        out.kind = K::SelectClipRegion;
        out.value = fixed.iMode;
        // Without region data only a copy means anything: no clip at all.
        if (!IsRegionMode(fixed.iMode) || (fixed.cbRgnData == 0 && fixed.iMode != U_RGN_COPY))
            return true;
        if (fixed.cbRgnData != 0 && !(out.region = RegionOf<U_EMREXTSELECTCLIPRGN>(record, size)))
            return true;
        break;
    }
    case U_EMR_SELECTCLIPPATH:
        out.kind = K::SelectClipPath;
        out.value = Fixed<U_EMRSELECTCLIPPATH>(record, size).iMode;
        if (!IsRegionMode(out.value))
            return true;
        break;
    case U_EMR_OFFSETCLIPRGN:
        out.kind = K::OffsetClipRegion;
        out.point = ToPoint(Fixed<U_EMROFFSETCLIPRGN>(record, size).ptlOffset);
        break;
    case U_EMR_SETMETARGN: out.kind = K::SetMetaRegion; break;
    case U_EMR_WIDENPATH: out.kind = K::WidenPath; break;
    case U_EMR_FLATTENPATH: out.kind = K::FlattenPath; break;
    case U_EMR_FILLRGN: {
        out.kind = K::FillRegion;
        out.value = Fixed<U_EMRFILLRGN>(record, size).ihBrush;
        if (!IsSelectableIndex(out.value) || !(out.region = RegionOf<U_EMRFILLRGN>(record, size)))
            return true;
        break;
    }
    case U_EMR_FRAMERGN: {
        const auto fixed = Fixed<U_EMRFRAMERGN>(record, size);
        out.kind = K::FrameRegion;
        out.value = fixed.ihBrush;
        out.point = QPoint(fixed.szlStroke.cx, fixed.szlStroke.cy);
        if (!IsSelectableIndex(out.value) || !(out.region = RegionOf<U_EMRFRAMERGN>(record, size)))
            return true;
        break;
    }
    case U_EMR_INVERTRGN:
    case U_EMR_PAINTRGN:
        out.kind = type == U_EMR_INVERTRGN ? K::InvertRegion : K::PaintRegion;
        if (!(out.region = RegionOf<U_EMRINVERTRGN>(record, size)))
            return true;
        break;
    case U_EMR_GRADIENTFILL:
        out.kind = K::GradientFill;
        if (!(out.gradient = ReadGradient(record, size)))
            return true;
        break;
    case U_EMR_SETPIXELV: {
        const auto fixed = Fixed<U_EMRSETPIXELV>(record, size);
        out.kind = K::SetPixel;
        out.point = ToPoint(fixed.ptlPixel);
        out.value = ToColourRef(fixed.crColor);
        break;
    }
    default: return true;
    }
    Add(std::move(out));
    return true;
}

} // namespace platform
