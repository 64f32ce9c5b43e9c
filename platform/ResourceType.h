#pragma once

namespace platform {

// The kinds of resource the program looks up by id; each kind has its own numbering.
enum class ResourceType {
    Bitmap,  // pictures in a fixed depth (8, 24 or 32 bits a pixel)
    Png,     // pictures kept as PNG files and decoded by their user (the help tips)
    Cursor,  // a picture and a hot spot, at one or more square sizes
    Icon,    // the program icon at several square sizes
    String,  // the string table
};

} // namespace platform
