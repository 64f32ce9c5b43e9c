#include "platform/metafile/Metafile.h"

#include "platform/metafile/MetafileContent.h"
#include "platform/metafile/MetafileParser.h"
#include "platform/metafile/MetafilePlayer.h"

#include <QFile>
#include <QPainter>
#include <cmath>

namespace platform {
namespace {

constexpr qreal kHundredthsPerMillimetre = 100.0;

// Saves the painter's state for one playback.
class PainterStateGuard {
public:
    explicit PainterStateGuard(QPainter& painter) : m_painter(painter) { m_painter.save(); }
    ~PainterStateGuard() { m_painter.restore(); }
    PainterStateGuard(const PainterStateGuard&) = delete;
    PainterStateGuard& operator=(const PainterStateGuard&) = delete;

private:
    QPainter& m_painter;
};

// Reference-device units to the target's coordinates: device units to 0.01 mm through the
// device's pixels per millimetre, then the frame onto the target rectangle.
QTransform DeviceToTarget(const MetafileHeader& header, const QRectF& target)
{
    const qreal frameWidth = qreal(header.frame.right) - header.frame.left;
    const qreal frameHeight = qreal(header.frame.bottom) - header.frame.top;
    const qreal hundredthsX = kHundredthsPerMillimetre * header.deviceMillimetresX / header.devicePixelsX;
    const qreal hundredthsY = kHundredthsPerMillimetre * header.deviceMillimetresY / header.devicePixelsY;
    const qreal sx = target.width() / frameWidth;
    const qreal sy = target.height() / frameHeight;
    return QTransform(hundredthsX * sx, 0, 0, hundredthsY * sy, target.left() - header.frame.left * sx,
                      target.top() - header.frame.top * sy);
}

// The picture the painter draws on, in device pixels. Its clip is left out on purpose: a part drawn
// under a clip must come out as the same part of the whole drawing.
QRectF DeviceArea(const QPainter& painter)
{
    return QRectF(0, 0, painter.device()->width(), painter.device()->height());
}

} // namespace

Metafile::Metafile(std::shared_ptr<const MetafileContent> content)
    : m_content(std::move(content))
{
}

std::optional<Metafile> Metafile::FromBytes(const QByteArray& bytes)
{
    MetafileParser parser;
    if (bytes.size() > kMaxBytes || !parser.Parse(bytes))
        return std::nullopt;
    auto content = std::make_shared<MetafileContent>();
    content->header = parser.Header();
    content->records = parser.TakeRecords();
    return Metafile(std::move(content));
}

std::optional<Metafile> Metafile::FromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
        return std::nullopt;
    return FromBytes(file.readAll());
}

Rect Metafile::Bounds() const
{
    return m_content->header.bounds;
}

Rect Metafile::Frame() const
{
    return m_content->header.frame;
}

void Metafile::Play(QPainter& painter, const QRectF& target) const
{
    const MetafileHeader& header = m_content->header;
    // An empty frame cannot be mapped onto anything, nor can anything be mapped onto a target
    // that is not a number.
    const bool finiteTarget = std::isfinite(target.x()) && std::isfinite(target.y())
        && std::isfinite(target.width()) && std::isfinite(target.height());
    if (header.frame.right == header.frame.left || header.frame.bottom == header.frame.top || !finiteTarget
        || !painter.isActive())
        return;
    PainterStateGuard guard(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    MetafilePlayer player(painter, header, DeviceToTarget(header, target) * painter.worldTransform(),
                          DeviceArea(painter));
    player.Play(m_content->records);
}

} // namespace platform
