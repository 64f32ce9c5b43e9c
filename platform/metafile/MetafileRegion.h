#pragma once

namespace platform {

// A region as the region and clipping records carry it, decoded.
struct MetafileRegion {
};

// GRADIENTFILL's vertices and meshes, decoded.
struct MetafileGradient {
};

} // namespace platform
