#pragma once

#include "platform/Rect.h"

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>

class QPainter;

namespace platform {

struct MetafileContent;

// An enhanced metafile, checked record by record when it is loaded and drawn with a QPainter.
// Copies share the loaded records, which never change.
class Metafile {
public:
    // Nullopt for anything malformed or truncated and for more than kMaxBytes; no record is
    // trusted before it is checked.
    static std::optional<Metafile> FromBytes(const QByteArray& bytes);
    // Nullopt also for a file that cannot be read.
    static std::optional<Metafile> FromFile(const QString& path);

    // Speech bubbles take a few kilobytes; the decoded records take several times the file's size.
    static constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

    Rect Bounds() const; // the header's bounds: reference-device units, inclusive
    Rect Frame() const;  // the header's frame: 0.01 mm, inclusive

    // Plays the records so that the frame maps onto target, in the painter's current coordinates
    // (its world transform is the caller's device context transform): the frame's left-top corner
    // lands on target.topLeft() and its right-bottom corner on target.bottomRight() (x + width,
    // y + height). The frame is brought to reference-device units through the header's device size
    // in pixels and millimetres. The painter's state is restored afterwards.
    void Play(QPainter& painter, const QRectF& target) const;

private:
    explicit Metafile(std::shared_ptr<const MetafileContent> content);

    std::shared_ptr<const MetafileContent> m_content;
};

} // namespace platform
