#pragma once

#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

namespace platform {

// The archive as a document's Serialize sees it: storing through a writer or loading through a reader.
class Archive {
public:
    explicit Archive(ArchiveWriter& writer) : m_writer(&writer) {}
    explicit Archive(ArchiveReader& reader) : m_reader(&reader) {}

    bool IsStoring() const { return m_writer != nullptr; }
    // Only the side the archive was made with exists.
    ArchiveWriter& Writer() const { return *m_writer; }
    ArchiveReader& Reader() const { return *m_reader; }

private:
    ArchiveWriter* m_writer = nullptr;
    ArchiveReader* m_reader = nullptr;
};

} // namespace platform
