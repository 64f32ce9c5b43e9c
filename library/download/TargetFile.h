#pragma once

#include <cstddef>
#include <string>

// The file a download writes: created anew (an existing one is emptied), written through, closed with
// its error reported. Closes itself, ignoring errors, when it goes out of scope open.
class TargetFile {
public:
    TargetFile() = default;
    ~TargetFile();
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    // Writes all the bytes; false when any could not be written.
    bool Write(const char* data, size_t size);
    // False when the system reports that the data may not have reached the file.
    bool Close();

    // Removes what a failed or abandoned download left at path; never anything but a regular file.
    static void RemoveIfRegular(const std::string& path);

private:
    int m_fd = -1;
};
