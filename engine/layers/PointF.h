#pragma once

namespace platform {
class ArchiveReader;
class ArchiveWriter;
} // namespace platform

// Two single-precision floats, x then y: the program's point and vector type for layer geometry and
// for the editing view's coordinates.
struct PointF {
    float x = 0.0f;
    float y = 0.0f;

    friend PointF operator-(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
    friend bool operator==(const PointF&, const PointF&) = default;
};

// Stored as two 32-bit floats, x first.
platform::ArchiveWriter& operator<<(platform::ArchiveWriter& archive, const PointF& point);
platform::ArchiveReader& operator>>(platform::ArchiveReader& archive, PointF& point);
