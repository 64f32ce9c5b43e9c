#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The one exception of the archive: a read past the end, a length that claims more bytes than are left,
// or a write the device did not take. Code catches it exactly where a failed read or write is expected.
class ArchiveError : public std::runtime_error {
public:
    explicit ArchiveError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace platform
