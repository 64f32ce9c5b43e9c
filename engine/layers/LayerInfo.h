#pragma once

#include "engine/base/Angle.h"
#include "engine/layers/LayerKind.h"
#include "engine/layers/PointF.h"
#include "platform/Rect.h"

#include <QString>
#include <cstdint>
#include <optional>

class QTransform;
namespace platform {
class ArchiveReader;
class ArchiveWriter;
} // namespace platform

// A layer's content identity, placement and colour adjustment: a plain value, also the working copy that
// the frame tracker edits. Content coordinates are pixels of the layer's whole content; the pivot is the
// centre of the crop rectangle in those pixels.
class LayerInfo {
public:
    int32_t number = 0;          // content item number; 0 for an own file
    int32_t kind = LayerKindOwnFile;
    QString path;                // own file path, or the download address of a scene or face photo
    QString name;                // as the layers panel shows it
    PointF position{0.0f, 0.0f}; // document position of the pivot
    PointF scale{1.0f, 1.0f};    // a mirrored layer has a negative x
    PointF size{1.0f, 1.0f};     // content size in pixels
    PointF centre{0.5f, 0.5f};   // half the content size once loaded
    PointF cropTopLeft{0.0f, 0.0f};
    PointF cropBottomRight{1.0f, 1.0f};
    Angle angle = 0;
    int32_t redGamma = DefaultGamma;
    int32_t greenGamma = DefaultGamma;
    int32_t blueGamma = DefaultGamma;
    int32_t contrast = 0;
    int32_t brightness = 0;

    static constexpr int32_t DefaultGamma = 10000;  // 1.0
    static constexpr int32_t MinColourLevel = -100; // brightness and contrast
    static constexpr int32_t MaxColourLevel = 100;

    PointF GetCropCentre() const;
    PointF GetCropExtent() const;
    PointF GetPivot() const; // size x crop centre

    // Position, scale, size, centre and angle to their defaults; identity, crop and colour stay.
    void ResetTransform();

    // Appends the layer-to-document mapping to m; with fromUnit the input is in content fractions.
    void BuildXForm(QTransform& m, bool fromUnit) const;
    // Appends the document-to-content-pixel mapping to m. False, with m unchanged, when the layer's
    // scale is zero or not finite: such a layer has no inverse.
    [[nodiscard]] bool BuildInverseXForm(QTransform& m) const;
    // The document point in fractions of the whole content (the crop ignored); none without an inverse.
    std::optional<PointF> DocToLayer(PointF p) const;

    // In place: the integer bounds of r mapped to content pixels, or to the document. A layer without
    // an inverse gives the empty rectangle from InverseBounds.
    void InverseBounds(Rect& r) const;
    void ForwardBounds(Rect& r) const;

    // Whether p, in the coordinates of the given view mode, lies inside the crop rectangle (edges
    // included). The one-argument form uses the document's current view mode.
    bool HitTest(PointF p) const;
    bool HitTest(PointF p, int32_t viewMode) const;

    // The content file's place in the cache and on the content server. An unknown kind leaves out as it
    // was.
    void GetLocalPath(QString& out) const;
    void GetRemotePath(QString& out) const;

    // The stored record: number, kind, path, name, position, scale, size, centre, angle, crop, the three
    // gammas, brightness, contrast. Archive errors pass to the caller. Load brings the crop and the
    // colour levels read into their valid ranges (a well-formed record is unchanged by that).
    void Store(platform::ArchiveWriter& archive) const;
    void Load(platform::ArchiveReader& archive);
    void ClampToValidRanges();
};
