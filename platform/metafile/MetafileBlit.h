#pragma once

namespace platform {

// A picture-drawing record (the block transfers and stretches), decoded.
struct MetafileBlit {
};

} // namespace platform
