#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The one exception of the archive: a read past the end, a length that claims more bytes than are left,
// a length no writer produces, or a write the device did not take. Code catches it exactly where a failed
// read or write is expected. Malformed tells a value no writer produces (the file is damaged there) from
// a file that ends too soon.
class ArchiveError : public std::runtime_error {
public:
    explicit ArchiveError(const std::string& what, bool malformed = false)
        : std::runtime_error(what), m_malformed(malformed)
    {
    }
    bool Malformed() const { return m_malformed; }

private:
    bool m_malformed;
};

} // namespace platform
