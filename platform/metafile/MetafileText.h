#pragma once

namespace platform {

// A text-drawing record, decoded.
struct MetafileText {
};

// A logical font as EXTCREATEFONTINDIRECTW describes it.
struct MetafileFont {
};

} // namespace platform
