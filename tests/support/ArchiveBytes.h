#pragma once

#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

#include <QByteArray>
#include <functional>

// The bytes an archive writer puts into memory while write runs with it.
QByteArray WrittenBytes(const std::function<void(platform::ArchiveWriter&)>& write);
// Runs read with an archive reader over bytes; archive errors pass through.
void ReadBytes(const QByteArray& bytes, const std::function<void(platform::ArchiveReader&)>& read);
