#pragma once

#include <QPoint>
#include <QRegion>
#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// A region as the region and clipping records carry it, decoded: reference-device units, each
// rectangle's right and bottom edges exclusive, as Windows keeps them.
struct MetafileRegion {
    QRegion area;
};

// GRADIENTFILL's vertices and meshes, decoded. Vertices are in logical units with their colours'
// 16-bit channels; each mesh names two vertices (the corners of a rectangle) or three (a
// triangle), all of them checked to be in vertices.
struct MetafileGradient {
    enum class Mode : uint8_t { Horizontal, Vertical, Triangle };
    struct Vertex {
        QPoint point;
        std::array<uint16_t, 3> colour{}; // red, green, blue
    };

    Mode mode = Mode::Horizontal;
    std::vector<Vertex> vertices;
    std::vector<std::array<uint32_t, 3>> meshes; // rectangles use the first two indices
};

} // namespace platform
